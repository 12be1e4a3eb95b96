#include "dialogs/dialog_pictures.h"

#include "dialogs/pictures.h"

#include <QPainter>
#include <QPixmap>

// Compiled into the static window library, where nothing refers to them: registered on use.
static void RegisterDialogPictures() { Q_INIT_RESOURCE(dialog_pictures); }

namespace termdex {

QString DialogPicture(const char *name)
{
    static const bool registered = (RegisterDialogPictures(), true);
    (void)registered;
    return QStringLiteral(":/termdex/dialogs/pictures/") + QLatin1String(name) +
           QStringLiteral(".svg");
}

QIcon SvgIcon(const QString &resource, int pixels)
{
    QIcon icon;
    for (const int scale : {1, 2}) {
        QPixmap pixmap(pixels * scale, pixels * scale);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            PaintSvg(painter, resource, QRectF(0, 0, pixmap.width(), pixmap.height()));
        }
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace termdex
