#include "editor/ReportDelegate.h"

#include <QPainter>

namespace {

// Space between the cell's edges and its text.
constexpr int kTextMargin = 4;

}  // namespace

void ReportDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        option.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    const QVariant background = index.data(Qt::BackgroundRole);
    const QVariant foreground = index.data(Qt::ForegroundRole);

    painter->fillRect(option.rect, selected                 ? option.palette.brush(group, QPalette::Highlight)
                                   : background.isValid() ? QBrush(background.value<QColor>())
                                                          : option.palette.brush(group, QPalette::Base));
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return;

    const QRect area = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QColor color = selected                ? option.palette.color(group, QPalette::HighlightedText)
                         : foreground.isValid() ? foreground.value<QColor>()
                                                : option.palette.color(group, QPalette::Text);
    // Measuring a text costs as much as drawing it: short texts surely fit without it.
    const QFontMetrics& metrics = option.fontMetrics;
    const int alignment = index.data(Qt::TextAlignmentRole).toInt();
    const bool leftAligned = (alignment & (Qt::AlignRight | Qt::AlignHCenter)) == 0;
    const bool surelyFits = leftAligned && text.size() * metrics.maxWidth() <= area.width();
    const int width = surelyFits ? 0 : metrics.horizontalAdvance(text);
    const bool elided = width > area.width();
    const QString shown = elided ? metrics.elidedText(text, Qt::ElideRight, area.width()) : text;
    const int shownWidth = elided ? metrics.horizontalAdvance(shown) : width;
    int x = area.left();
    if (alignment & Qt::AlignRight) x = area.right() + 1 - shownWidth;
    else if (alignment & Qt::AlignHCenter) x = area.left() + (area.width() - shownWidth) / 2;
    // A text drawn at a point skips the layout a text drawn in a rectangle goes through.
    const int baseline = area.top() + (area.height() - metrics.height()) / 2 + metrics.ascent();
    painter->save();
    painter->setPen(color);
    painter->setFont(option.font);
    painter->drawText(QPoint(x, baseline), shown);
    painter->restore();
}
