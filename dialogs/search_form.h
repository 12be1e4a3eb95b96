// TSearchForm: the search-criteria dialog. It collects three texts, exactly as typed, and the
// reader's OK or Cancel; the window decides what they mean.
#pragma once

#include "main/main_lex.h"

#include <QDialog>
#include <QHash>

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

protected:
    // A click on a criterion's label empties its edit and puts the caret there.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLineEdit *m_startEdit;
    QLineEdit *m_containEdit;
    QLineEdit *m_endEdit;
    QHash<QObject *, QLineEdit *> m_labelEdits;
};

} // namespace termdex
