// TMessageForm: the word dialog of the full-text search. It hands back the word, or nothing for
// Cancel.
#pragma once

#include "lib/text.h"

#include <QDialog>

#include <optional>

class QLineEdit;

namespace termdex {

class TMessageForm final : public QDialog
{
    Q_OBJECT
public:
    explicit TMessageForm(QWidget *parent = nullptr);

    // The word after OK (possibly empty); nullopt before and after Cancel.
    std::optional<Cp1253> Word() const;

private:
    QLineEdit *m_edit;
};

} // namespace termdex
