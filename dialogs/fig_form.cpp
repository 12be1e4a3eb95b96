#include "dialogs/fig_form.h"

#include <QFileInfo>
#include <QFrame>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>

namespace termdex {

TFigForm::TFigForm(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFigForm"));
    setWindowTitle(QStringLiteral("Termdex"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    resize(688, 446);

    // The black panel frames the picture; its top edge lies one pixel above the window.
    m_figPanel = new QFrame(this);
    m_figPanel->setObjectName(QStringLiteral("FigPanel"));
    m_figPanel->setAutoFillBackground(true);
    QPalette black = m_figPanel->palette();
    black.setColor(QPalette::Window, Qt::black);
    m_figPanel->setPalette(black);
    m_figPanel->setGeometry(0, -1, 688, 447);

    m_figImage = new QLabel(m_figPanel);
    m_figImage->setObjectName(QStringLiteral("FigImage"));
    m_figImage->move(2, 2);
    m_figImage->resize(0, 0);
}

bool TFigForm::CanShow(const QString &file)
{
    QImageReader reader(file);
    return reader.canRead();
}

void TFigForm::showEvent(QShowEvent *event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TFigForm::FormShow()
{
    if (!QFileInfo(m_figFileName).isFile())
        return;
    QImageReader reader(m_figFileName);
    const QImage image = reader.read();
    if (!image.isNull()) {
        m_figImage->setPixmap(QPixmap::fromImage(image));
        m_figImage->resize(image.size());
        m_figPanel->resize(image.width() + 4, image.height() + 4);
        resize(m_figPanel->size());
    }
    if (QWidget *owner = parentWidget()) {
        const QRect frame = owner->window()->frameGeometry();
        move(frame.center() - QPoint(width() / 2, height() / 2));
    }
}

void TFigForm::mousePressEvent(QMouseEvent *event)
{
    // The panel and the picture pass their clicks on to the window: each closes it.
    event->accept();
    accept();
}

} // namespace termdex
