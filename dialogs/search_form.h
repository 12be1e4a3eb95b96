// TSearchForm: the search-criteria dialog. It collects three texts, exactly as typed, and the
// reader's OK or Cancel; the window decides what they mean.
#pragma once

#include "main/main_lex.h"

#include <QDialog>

#include <optional>

class QLineEdit;

namespace termdex {

class TSearchForm final : public QDialog
{
    Q_OBJECT
public:
    explicit TSearchForm(QWidget *parent = nullptr);

    // The three texts after OK; nullopt before and after Cancel.
    std::optional<SearchCriteria> Criteria() const;

private:
    QLineEdit *m_startEdit;
    QLineEdit *m_containEdit;
    QLineEdit *m_endEdit;
};

} // namespace termdex
