#include "main/ui/headword_list.h"

#include "main/ui/text_convert.h"

#include <QKeyEvent>
#include <QMouseEvent>

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
    return {QStyledItemDelegate::sizeHint(option, index).width(), kListItemHeight};
}

EntriesListView::EntriesListView(QWidget *parent) : QListView(parent)
{
    setUniformItemSizes(true);
    setItemDelegate(new FixedHeightDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setTextElideMode(Qt::ElideNone);
    setMouseTracking(true);
}

int EntriesListView::IntegralHeight(int wanted) const
{
    const int frame = 2 * frameWidth();
    const int items = std::max(0, (wanted - frame) / kListItemHeight);
    return frame + items * kListItemHeight;
}

void EntriesListView::keyPressEvent(QKeyEvent *event)
{
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
