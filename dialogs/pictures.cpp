#include "dialogs/pictures.h"

#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSvgRenderer>

#include <memory>

// The pictures are compiled into this static library; nothing else refers to them, so they
// are registered on first use.
static void RegisterPictures() { Q_INIT_RESOURCE(termdex); }

namespace termdex {

namespace {

// One renderer per resource for the program's life; the glyphs are few and small.
QSvgRenderer &Renderer(const QString &resource)
{
    static const bool registered = (RegisterPictures(), true);
    (void)registered;
    static QHash<QString, std::shared_ptr<QSvgRenderer>> renderers;
    auto found = renderers.find(resource);
    if (found == renderers.end())
        found = renderers.insert(resource, std::make_shared<QSvgRenderer>(resource));
    return **found;
}

} // namespace

bool IsValidSvg(const QString &resource) { return Renderer(resource).isValid(); }

void PaintSvg(QPainter &painter, const QString &resource, const QRectF &target)
{
    QSvgRenderer &renderer = Renderer(resource);
    if (!renderer.isValid() || target.isEmpty())
        return;
    QSizeF size = renderer.defaultSize();
    size.scale(target.size(), Qt::KeepAspectRatio);
    const QRectF at(target.center() - QPointF(size.width() / 2, size.height() / 2), size);
    renderer.render(&painter, at);
}

QIcon ProgramIcon()
{
    const QString resource = QStringLiteral(":/termdex/pictures/termdex.svg");
    QIcon icon;
    for (const int side : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QPixmap pixmap(side, side);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        PaintSvg(painter, resource, QRectF(0, 0, side, side));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QColor ForcedSelectionColour() { return {0, 90, 180}; }

void ForceColours(QWidget &control, const QColor &background, const QColor &text)
{
    QPalette palette = control.palette();
    for (const auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        palette.setColor(group, QPalette::Window, background);
        palette.setColor(group, QPalette::Base, background);
        palette.setColor(group, QPalette::AlternateBase, background);
        palette.setColor(group, QPalette::Highlight, ForcedSelectionColour());
        palette.setColor(group, QPalette::HighlightedText, Qt::white);
    }
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Text, text);
        palette.setColor(group, QPalette::WindowText, text);
        palette.setColor(group, QPalette::ButtonText, text);
    }
    // Greyed, as the platform greys a disabled control, yet still legible.
    const QColor greyed(105, 105, 105);
    palette.setColor(QPalette::Disabled, QPalette::Text, greyed);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, greyed);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, greyed);
    palette.setColor(QPalette::PlaceholderText, greyed);
    control.setPalette(palette);
}

FocusRing::FocusRing(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("FocusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusRing::Surround(QWidget *target)
{
    m_target = target;
    if (target == nullptr || target->width() <= 0 || target->height() <= 0) {
        hide();
        return;
    }
    constexpr int kRing = 2;
    setGeometry(target->geometry().adjusted(-kRing, -kRing, kRing, kRing));
    raise();
    show();
    update();
}

void FocusRing::paintEvent(QPaintEvent *)
{
    // Only the band outside the target: the target shows through the middle. Navy stands out
    // from the window's blue and from the white controls alike.
    QPainter painter(this);
    const int w = width(), h = height();
    for (const QRect band :
         {QRect(0, 0, w, 2), QRect(0, h - 2, w, 2), QRect(0, 0, 2, h), QRect(w - 2, 0, 2, h)})
        painter.fillRect(band, QColor(0, 32, 96));
}

SvgPicture::SvgPicture(const QString &resource, QWidget *parent)
    : QWidget(parent), m_resource(resource)
{
    setAttribute(Qt::WA_TranslucentBackground);
}

void SvgPicture::SetResource(const QString &resource)
{
    m_resource = resource;
    update();
}

void SvgPicture::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QSize natural = Renderer(m_resource).defaultSize();
    QRectF target(QPointF(0, 0), QSizeF(natural).boundedTo(QSizeF(size())));
    target.moveCenter(QRectF(rect()).center());
    PaintSvg(painter, m_resource, target);
}

void LineImage::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(0, 0, width(), 1, QColor(0, 64, 160));
    painter.fillRect(0, 1, width(), 1, QColor(190, 220, 255));
    painter.fillRect(0, 2, width(), height() - 2, QColor(0, 96, 200));
}

ToolbarButton::ToolbarButton(const QString &glyph, QWidget *parent)
    : QAbstractButton(parent), m_glyph(glyph)
{
    setMouseTracking(true);
    setAttribute(Qt::WA_Hover); // repaint on entering and leaving
    setFocusPolicy(Qt::NoFocus);
}

void ToolbarButton::SetGlyph(const QString &glyph)
{
    m_glyph = glyph;
    update();
}

void ToolbarButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    // A raised button (the one under the mouse) is one pixel larger on each side and lighter.
    const bool raised = underMouse() || isDown();
    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    if (isDown()) {
        fill.setColorAt(0, QColor(150, 185, 235));
        fill.setColorAt(1, QColor(205, 225, 250));
    } else {
        fill.setColorAt(0, raised ? QColor(255, 255, 255) : QColor(236, 243, 253));
        fill.setColorAt(1, raised ? QColor(214, 230, 252) : QColor(190, 212, 243));
    }
    QPainterPath path;
    path.addRoundedRect(face, 3, 3);
    painter.fillPath(path, fill);
    painter.setPen(QPen(raised ? QColor(0, 48, 130) : QColor(30, 80, 160), 1));
    painter.drawPath(path);

    const qreal side = std::min(width(), height()) - 10.0;
    QRectF glyph(0, 0, std::max(6.0, std::min(width() - 4.0, side)), std::max(6.0, side));
    glyph.moveCenter(QRectF(rect()).center() + (isDown() ? QPointF(1, 1) : QPointF()));
    if (!isEnabled())
        painter.setOpacity(0.4);
    PaintSvg(painter, m_glyph, glyph);
}

void ToolbarButton::mouseMoveEvent(QMouseEvent *event)
{
    QAbstractButton::mouseMoveEvent(event);
    if (event->buttons() == Qt::NoButton)
        emit mouseMoved();
}

} // namespace termdex
