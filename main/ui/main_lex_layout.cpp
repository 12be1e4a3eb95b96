// The main window's layout: where each control goes for the client size, the focus ring, and
// the toolbar's raised buttons.
#include "main/ui/main_lex_window.h"

#include "dialogs/pictures.h"
#include "main/ui/entry_edit.h"
#include "main/ui/headword_list.h"
#include "main/ui/main_lex_design.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QTextEdit>

namespace termdex {

void TMainLex::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    painter.fillRect(0, m_bottomBarTop, width(), height() - m_bottomBarTop, kTextPlateColour);
}

void TMainLex::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

QRect TMainLex::LayOut()
{
    // Below the minimum size (a window manager may not enforce it) the window clips the
    // layout of the minimum size rather than pile controls onto each other.
    const QSize client = size().expandedTo(kMinimumSize);
    const int dx = client.width() - kDesignSize.width();
    const int dy = client.height() - kDesignSize.height();
    m_lineImage->setGeometry(0, 43, std::max(0, 596 + dx), 3);
    m_line2Image->setGeometry(241, 108, std::max(0, 355 + dx), 3);
    // The list follows the bottom edge and shows whole items only.
    m_entriesList->setGeometry(4, 88, 229, m_entriesList->IntegralHeight(std::max(0, 212 + dy)));
    m_suggestionSpace = 0;
    LayOutSuggestions();

    const int bottomTop = 304 + dy;
    m_bottomBarTop = bottomTop - 3;
    m_installLabel->move(5, bottomTop);
    m_copyrightLabel->move(m_copyrightLeft, bottomTop);
    PlacePublisher(client.width(), bottomTop);
    // The description follows all four edges; FormResize fits it to the list and the right
    // edge before placing it, so that its text is laid out once.
    return {241, 114, std::max(0, 350 + dx), std::max(0, 187 + dy)};
}

void TMainLex::PlacePublisher(int width, int bottomTop)
{
    // The label keeps its design place at the shown design width and follows the right edge,
    // never closer to it than the margin; the picture stands 24 pixels before it.
    constexpr int kShownDesignWidth = 604, kLabelLeft = 478, kPictureGap = 24, kMargin = 6;
    const int labelWidth = m_vorantisLabel->width();
    int left = std::min(kLabelLeft + width - kShownDesignWidth, width - kMargin - labelWidth);
    // In a narrow window the pair stops beside the other bottom labels and is clipped instead.
    int clear = 0;
    for (const QLabel *label : {m_installLabel, m_copyrightLabel})
        if (!label->isHidden())
            clear = std::max(clear, label->x() + label->width() + kMargin);
    left = std::max(left, clear + kPictureGap);
    m_vorantisLabel->move(left, bottomTop);
    m_vorantisImage->move(left - kPictureGap, bottomTop - 3);
}

void TMainLex::FormResize()
{
    QRect description = LayOut();
    const int listBottom = m_entriesList->y() + m_entriesList->height();
    if (description.y() + description.height() != listBottom)
        description.setHeight(std::max(0, listBottom - description.y()));
    const int windowWidth = std::max(width(), kMinimumSize.width());
    if (description.x() < windowWidth && description.x() + description.width() > windowWidth - 20)
        description.setWidth(std::max(0, windowWidth - description.x() - 15));
    m_descriptionText->setGeometry(description);
    m_core->SetDescriptionAreaShown(DescriptionAreaShown());
    if (!m_medicalImage->isHidden())
        CentreMedicalImage();
    m_canvasFont = m_entryLabel->font();
    FitEntryLabels();
    SurroundFocus();
}

void TMainLex::SurroundFocus()
{
    QWidget *focus = QApplication::focusWidget();
    QWidget *target = nullptr;
    if (focus == m_entryText)
        target = m_panel2; // the field has no frame of its own
    else if (focus == m_entriesList || focus == m_descriptionText)
        target = focus;
    m_focusRing->Surround(target);
}

bool TMainLex::DescriptionAreaShown() const
{
    return m_descriptionText->width() > 0 && m_descriptionText->height() > 0;
}

void TMainLex::CentreMedicalImage()
{
    // Integer division truncates toward zero, as the image's place always has. A description
    // narrower than the banner clips it to its own column, off the entry field and the list.
    const int column = m_descriptionText->x();
    const int left = column + (m_descriptionText->width() - kMedicalImageWidth) / 2;
    QRect banner(left, m_medicalImage->y(), kMedicalImageWidth, kMedicalImageHeight);
    banner &= QRect(column, banner.y(), m_descriptionText->width(), banner.height());
    m_medicalImage->setGeometry(banner.isEmpty() ? QRect(column, banner.y(), 0, 0) : banner);
}

void TMainLex::FitEntryLabels()
{
    const int left = m_descriptionText->x();
    const int width = m_descriptionText->width();
    m_entryLabel->setGeometry(left, m_entryLabel->y(), width, 28);
    m_transLabel->setGeometry(left, m_transLabel->y(), width, 32);
}

void TMainLex::LayOutSuggestions()
{
    // The line sits between the entry field's panel and the list, which gives up whole items
    // at its top for it (so it still shows whole items); its bottom stays where the window's
    // layout put it.
    if (m_suggestionsLabel == nullptr)
        return;
    QRect list = m_entriesList->geometry();
    int wanted = 0;
    if (!m_suggestionsLabel->text().isEmpty() && m_suggestionsLabel->isVisibleTo(this)) {
        const int height = std::max(m_suggestionsLabel->heightForWidth(list.width()), 16) + 2;
        wanted = (height + kListItemHeight - 1) / kListItemHeight * kListItemHeight;
        const int room = (list.height() + m_suggestionSpace) / kListItemHeight * kListItemHeight;
        wanted = std::min(wanted, room);
    }
    if (wanted != m_suggestionSpace) {
        list.setTop(list.top() + wanted - m_suggestionSpace);
        m_suggestionSpace = wanted;
        m_entriesList->setGeometry(list);
    }
    m_suggestionsLabel->setGeometry(list.x(), list.top() - wanted, list.width(),
                                    std::max(0, wanted - 2));
}

void TMainLex::HighlightToolbarButton(int index)
{
    const auto &groups = ToolbarHoverGroups();
    for (int g = 1; g <= static_cast<int>(groups.size()); ++g) {
        const HoverGroup &group = groups[static_cast<size_t>(g - 1)];
        auto *lead = findChild<QWidget *>(QLatin1String(group.buttons.front().name),
                                          Qt::FindDirectChildrenOnly);
        if (lead == nullptr)
            continue;
        const int top = lead->y();
        if (g == index) {
            if (top != group.buttons.front().normal.top())
                continue; // already raised, or placed elsewhere
            for (const HoverGroupButton &b : group.buttons) {
                auto *button =
                    findChild<QWidget *>(QLatin1String(b.name), Qt::FindDirectChildrenOnly);
                button->setGeometry(b.raised);
                button->raise();
            }
        } else if (top == group.buttons.front().raised.top() || index == -1) {
            for (const HoverGroupButton &b : group.buttons) {
                auto *button =
                    findChild<QWidget *>(QLatin1String(b.name), Qt::FindDirectChildrenOnly);
                button->setGeometry(b.normal);
                if (g == 1)
                    button->raise();
            }
        }
    }
}

void TMainLex::mouseMoveEvent(QMouseEvent *event)
{
    // FormMouseMove: only the window's background reports here; the labels, the description
    // and the entry field report no movement.
    if (event->buttons() == Qt::NoButton && childAt(event->position().toPoint()) == nullptr)
        HighlightToolbarButton(0);
    QWidget::mouseMoveEvent(event);
}

} // namespace termdex
