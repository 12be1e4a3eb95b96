// The window tests' home folder: HOME and the XDG config and cache folders point into a
// temporary folder, so the settings file and folders of the person running the tests stay out
// of them.
#pragma once

#include <QTemporaryDir>
#include <QTest>

namespace termdex::testing {

inline void UseScratchHome(const QTemporaryDir &home)
{
    QVERIFY(home.isValid());
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    qputenv("XDG_CACHE_HOME", (home.path() + QStringLiteral("/cache")).toUtf8());
}

} // namespace termdex::testing
