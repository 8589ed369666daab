#pragma once

#include <QStyledItemDelegate>

// Draws the grid lines of a report view: a light line under and to the right
// of every cell, so the list reads like a table.
class CGridLineDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
