// Paints the report grid's cells: the cell's background and text colours (the palette's for
// system colours), a highlight frame above and below the cells of selected rows, and its text on one line, cut with an
// ellipsis when it does not fit. Laid-out texts are kept for the next paint: a grid repeats
// few distinct texts, and laying them out is most of the cost of a repaint.
#pragma once

#include <QFont>
#include <QHash>
#include <QStaticText>
#include <QStyledItemDelegate>

class ReportDelegate final : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    const QStaticText& laidOut(const QString& text, const QFont& font) const;

    mutable QHash<QString, QStaticText> laidOut_;
    mutable QFont laidOutFont_;
};
