// The window's pictures: glyphs and images drawn as SVG from the program's resources, so they
// stay sharp at any device pixel ratio.
#pragma once

#include <QAbstractButton>
#include <QIcon>
#include <QPalette>
#include <QString>
#include <QWidget>

namespace termdex {

// Paints an SVG resource into a rectangle (centred, keeping its aspect ratio).
void PaintSvg(class QPainter &painter, const QString &resource, const QRectF &target);
// True when the resource is a valid SVG.
bool IsValidSvg(const QString &resource);

// The program's icon, drawn from its SVG at the sizes taskbars and title bars ask for (no image
// plugin needed).
QIcon ProgramIcon();

// Gives a control whose background the window forces its text and selection colours too, so it
// reads the same under a light or a dark system palette.
void ForceColours(QWidget &control, const QColor &background, const QColor &text);
// The selection colour of the forced controls: white text on it reads at better than 4.5:1.
QColor ForcedSelectionColour();

// The ring that shows which control of the window has the keyboard focus: drawn just outside
// the control, transparent to the mouse.
class FocusRing final : public QWidget
{
    Q_OBJECT
public:
    explicit FocusRing(QWidget *parent);
    // Surrounds target (a child of the ring's parent), or hides for nullptr.
    void Surround(QWidget *target);
    QWidget *Target() const { return m_target; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *m_target = nullptr;
};

// A picture control: its SVG at its natural size, centred in the control.
class SvgPicture final : public QWidget
{
    Q_OBJECT
public:
    explicit SvgPicture(const QString &resource, QWidget *parent = nullptr);
    QString Resource() const { return m_resource; }
    void SetResource(const QString &resource);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_resource;
};

// A separator line image: a dark line over a light one, as wide as the control.
class LineImage final : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// A bitmap button of the toolbar: a face and its glyph. It reports mouse movement (without a
// button held) so that the window can raise it.
class ToolbarButton final : public QAbstractButton
{
    Q_OBJECT
public:
    explicit ToolbarButton(const QString &glyph, QWidget *parent = nullptr);
    QString Glyph() const { return m_glyph; }
    void SetGlyph(const QString &glyph);

signals:
    void mouseMoved();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    QString m_glyph;
};

} // namespace termdex
