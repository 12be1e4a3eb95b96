#include "main/ui/headword_list.h"

#include "dialogs/text_convert.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

namespace termdex {

bool HeadwordListModel::SetItems(const std::vector<Cp1253> &items)
{
    if (items == m_items)
        return false;
    beginResetModel();
    m_items = items;
    endResetModel();
    return true;
}

int HeadwordListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_items.size());
}

QVariant HeadwordListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || static_cast<size_t>(index.row()) >= m_items.size())
        return {};
    if (role == Qt::DisplayRole)
        return ToQString(m_items[static_cast<size_t>(index.row())]);
    return {};
}

QSize FixedHeightDelegate::sizeHint(const QStyleOptionViewItem &option,
                                    const QModelIndex &index) const
{
    // No wider than the view: a longer text is elided rather than cut off at the edge.
    int width = QStyledItemDelegate::sizeHint(option, index).width();
    if (const auto *view = qobject_cast<const QAbstractItemView *>(option.widget))
        width = std::min(width, view->viewport()->width());
    return {width, kListItemHeight};
}

void FixedHeightDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                                const QModelIndex &index) const
{
    QStyleOptionViewItem item = option;
    initStyleOption(&item, index);
    const QString text = item.text;
    item.text.clear();
    const QWidget *view = option.widget;
    const QStyle *style = view != nullptr ? view->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &item, painter, view); // selection and focus
    // The style centres the font's whole line, taller than the item in most fonts, and so cuts
    // the descenders off ("gap" read "qap"); the letters themselves are centred instead.
    const QFontMetrics metrics(item.font);
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    const QRect room = item.rect.adjusted(margin, 0, -margin, 0);
    const int inked = metrics.capHeight() + metrics.descent();
    const int baseline =
        item.rect.top() + std::max(0, item.rect.height() - inked) / 2 + metrics.capHeight();
    const QPalette::ColorGroup group = !(item.state & QStyle::State_Enabled) ? QPalette::Disabled
                                       : (item.state & QStyle::State_Active) ? QPalette::Active
                                                                             : QPalette::Inactive;
    painter->save();
    painter->setFont(item.font);
    painter->setPen(item.palette.color(
        group, (item.state & QStyle::State_Selected) ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(room.left(), baseline,
                      metrics.elidedText(text, item.textElideMode, room.width()));
    painter->restore();
}

EntriesListView::EntriesListView(QWidget *parent) : QListView(parent)
{
    setUniformItemSizes(true);
    setItemDelegate(new FixedHeightDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideRight);
    setResizeMode(QListView::Adjust); // the rows follow the viewport's width
    setMouseTracking(true);
}

int EntriesListView::IntegralHeight(int wanted) const
{
    const int frame = 2 * frameWidth();
    const int items = std::max(0, (wanted - frame) / kListItemHeight);
    return frame + items * kListItemHeight;
}

bool EntriesListView::IsElided(const QModelIndex &item) const
{
    if (!item.isValid())
        return false;
    // The margin the item delegate keeps on each side of the text.
    const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
    const int room = visualRect(item).width() - 2 * margin;
    return fontMetrics().horizontalAdvance(item.data(Qt::DisplayRole).toString()) > room;
}

void EntriesListView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        emit returnPressed();
        return;
    }
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid())
        emit keyboardSelected();
}

void EntriesListView::mouseMoveEvent(QMouseEvent *event)
{
    QListView::mouseMoveEvent(event);
    emit mouseMoved(event->position().toPoint());
}

} // namespace termdex
