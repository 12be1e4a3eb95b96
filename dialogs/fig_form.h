// TFigForm: a figure of a description, shown over the main window without a border and closed
// by a click anywhere on it. One is made for each showing.
#pragma once

#include <QDialog>
#include <QString>

class QFrame;
class QLabel;

namespace termdex {

class TFigForm final : public QDialog
{
    Q_OBJECT
public:
    explicit TFigForm(QWidget *parent = nullptr);

    // The bitmap to show; set before the window is shown.
    void SetFigFileName(const QString &file) { m_figFileName = file; }
    QString FigFileName() const { return m_figFileName; }
    // True when file holds a picture that can be read (what the window shows).
    static bool CanShow(const QString &file);

protected:
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    // Loads the picture and frames it with the panel: the panel is the picture + 4 pixels each
    // way, the window as large as the panel. A file that is gone leaves the design size.
    void FormShow();

    QFrame *m_figPanel;
    QLabel *m_figImage;
    QString m_figFileName;
};

} // namespace termdex
