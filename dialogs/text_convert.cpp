#include "dialogs/text_convert.h"

#include "lib/cp1253.h"

namespace termdex {

QString ToQString(Cp1253View text) { return QString::fromStdString(Cp1253ToUtf8(text)); }

Cp1253 ToCp1253(const QString &text)
{
    Cp1253 out;
    out.reserve(static_cast<size_t>(text.size()));
    for (const char32_t cp : text.toUcs4())
        if (const auto byte = CodePointToCp1253(cp))
            out += static_cast<char>(*byte);
    return out;
}

bool FitsCp1253(const QString &text)
{
    for (const char32_t cp : text.toUcs4())
        if (!CodePointToCp1253(cp))
            return false;
    return true;
}

QValidator::State Cp1253Validator::validate(QString &input, int &) const
{
    return FitsCp1253(input) ? Acceptable : Invalid;
}

} // namespace termdex
