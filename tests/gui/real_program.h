// The program as it starts on a real X display (the end-to-end tests run under xvfb-run): the
// real platform services and the forms the program creates, its main window shown.
#pragma once

#include "main/ui/main_lex_window.h"
#include "main/ui/program.h"
#include "platform/platform.h"
#include "tests/environment_folders.h"
#include "tests/gui/gui_fixture.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include <memory>

namespace termdex::testing {

struct RealProgram
{
    // From initTestCase; the caller returns when QTest::currentTestFailed().
    void Start()
    {
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        platform = std::make_unique<SystemPlatform>(EnvironmentFolders());
        forms =
            std::make_unique<ProgramForms>(CreateProgramForms(platform->Services(), BuildFolder()));
        window = forms->mainLex.get();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        entry = window->findChild<QLineEdit *>(QStringLiteral("Entry_Text"));
        QVERIFY(entry != nullptr);
    }
    // From cleanupTestCase: the forms go before the services they use.
    void Stop()
    {
        forms.reset();
        platform.reset();
    }

    std::unique_ptr<SystemPlatform> platform;
    std::unique_ptr<ProgramForms> forms;
    TMainLex *window = nullptr;
    QLineEdit *entry = nullptr;
};

} // namespace termdex::testing
