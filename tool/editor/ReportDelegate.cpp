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
    const int alignment = index.data(Qt::TextAlignmentRole).toInt() | Qt::AlignVCenter | Qt::TextSingleLine;
    const QColor color = selected                ? option.palette.color(group, QPalette::HighlightedText)
                         : foreground.isValid() ? foreground.value<QColor>()
                                                : option.palette.color(group, QPalette::Text);
    painter->save();
    painter->setPen(color);
    painter->setFont(option.font);
    // Measuring a text costs as much as drawing it: short texts surely fit without it.
    const QFontMetrics& metrics = option.fontMetrics;
    const bool fits = text.size() * metrics.maxWidth() <= area.width() || metrics.horizontalAdvance(text) <= area.width();
    painter->drawText(area, alignment, fits ? text : metrics.elidedText(text, Qt::ElideRight, area.width()));
    painter->restore();
}
