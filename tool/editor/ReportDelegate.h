// Paints the report grid's cells: the cell's background and text colours (the palette's for
// system colours, the highlight for selected rows) and its text on one line, cut with an
// ellipsis when it does not fit. Lighter than the style's item painting, which lays every
// cell's text out anew; a full grid repaints within a few milliseconds.
#pragma once

#include <QStyledItemDelegate>

class ReportDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
};
