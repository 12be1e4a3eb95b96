// Code page 1253 text at the window's edge: widgets hold Unicode, the core holds code page bytes.
#pragma once

#include "lib/text.h"

#include <QString>
#include <QValidator>

namespace termdex {

QString ToQString(Cp1253View text);
// The text as code page 1253; characters the code page cannot hold are left out.
Cp1253 ToCp1253(const QString &text);
// True when every character of text has a code page 1253 byte.
bool FitsCp1253(const QString &text);

// Refuses input holding a character that code page 1253 cannot hold, so that what the reader
// types is what the core compares.
class Cp1253Validator final : public QValidator
{
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString &input, int &position) const override;
};

} // namespace termdex
