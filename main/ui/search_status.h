// What the last search found, said where the entry would be displayed: a line at the top of the
// empty description area, there while no entry is displayed and gone with the next lookup. It
// follows the description area through every resize, and it never takes the focus or a click.
#pragma once

#include <QLabel>

class QTextEdit;

namespace termdex {

class SearchStatus final : public QLabel
{
    Q_OBJECT
public:
    explicit SearchStatus(QTextEdit *description);
    // report: what the core says (empty: nothing); shown only while the description is empty.
    void Show(const QString &report, bool descriptionEmpty);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Place();
    QWidget *m_area;
};

} // namespace termdex
