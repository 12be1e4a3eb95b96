// Entries_List: a list view over the core's list items, so that a lookup listing 30,000
// headwords builds no widget per item. Items are 16 pixels high, the view shows whole items.
#pragma once

#include "lib/text.h"

#include <QAbstractListModel>
#include <QListView>
#include <QStyledItemDelegate>

#include <vector>

namespace termdex {

constexpr int kListItemHeight = 16;

// The item texts as the core lists them, converted when the view asks for one.
class HeadwordListModel final : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    // Shows items; a list equal to the shown one changes nothing (the view keeps its scroll
    // position). Returns true when the items changed.
    bool SetItems(const std::vector<Cp1253> &items);
    const std::vector<Cp1253> &Items() const { return m_items; }

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

private:
    std::vector<Cp1253> m_items;
};

// Draws every item in one fixed height, as the owner-drawn list box did.
class FixedHeightDelegate final : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;
};

// The view; it reports the reader's own selections (click, keys) apart from the window's.
class EntriesListView final : public QListView
{
    Q_OBJECT
public:
    explicit EntriesListView(QWidget *parent = nullptr);

    // The height that shows whole items only, for a wanted height.
    int IntegralHeight(int wanted) const;
    // True when item's text does not fit its row and shows elided.
    bool IsElided(const QModelIndex &item) const;

signals:
    // The reader moved the current item with a key.
    void keyboardSelected();
    // The mouse moved over the list (no button needed).
    void mouseMoved(const QPoint &viewportPosition);
    // Return or Enter with the list focused; the key goes no further.
    void returnPressed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
};

} // namespace termdex
