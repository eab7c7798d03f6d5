#include "editor/ReportDelegate.h"

#include <QPainter>

namespace {

// Space between the cell's edges and its text.
constexpr int kTextMargin = 4;
// Height of the highlight lines above and below the cells of a selected row.
constexpr int kSelectionFrame = 2;
// Laid-out texts kept at most; a full grid shows a few hundred distinct texts.
constexpr int kLaidOutLimit = 4096;

}  // namespace

const QStaticText& ReportDelegate::laidOut(const QString& text, const QFont& font) const {
    if (font != laidOutFont_ || laidOut_.size() >= kLaidOutLimit) {
        laidOut_.clear();
        laidOutFont_ = font;
    }
    auto found = laidOut_.find(text);
    if (found == laidOut_.end()) {
        QStaticText staticText(text);
        staticText.setTextFormat(Qt::PlainText);
        staticText.prepare(QTransform(), font);
        found = laidOut_.insert(text, staticText);
    }
    return *found;
}

void ReportDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
    const bool selected = option.state.testFlag(QStyle::State_Selected);
    const QPalette::ColorGroup group =
        option.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
    const QVariant background = index.data(Qt::BackgroundRole);
    const QVariant foreground = index.data(Qt::ForegroundRole);

    painter->fillRect(option.rect, background.isValid() ? QBrush(background.value<QColor>())
                                                        : option.palette.brush(group, QPalette::Base));
    // A selected row is framed, so that its own colours (the current row's red) stay visible.
    if (selected) {
        const QBrush frame = option.palette.brush(group, QPalette::Highlight);
        const QRect& cell = option.rect;
        painter->fillRect(QRect(cell.left(), cell.top(), cell.width(), kSelectionFrame), frame);
        painter->fillRect(QRect(cell.left(), cell.bottom() + 1 - kSelectionFrame, cell.width(), kSelectionFrame),
                          frame);
    }
    const QString text = index.data(Qt::DisplayRole).toString();
    if (text.isEmpty()) return;

    const QRect area = option.rect.adjusted(kTextMargin, 0, -kTextMargin, 0);
    const QStaticText* shown = &laidOut(text, option.font);
    if (shown->size().width() > area.width())
        shown = &laidOut(option.fontMetrics.elidedText(text, Qt::ElideRight, area.width()), option.font);

    const int alignment = index.data(Qt::TextAlignmentRole).toInt();
    const qreal width = shown->size().width();
    qreal x = area.left();
    if (alignment & Qt::AlignRight)
        x = area.right() + 1 - width;
    else if (alignment & Qt::AlignHCenter)
        x = area.left() + (area.width() - width) / 2;
    const qreal y = area.top() + (area.height() - shown->size().height()) / 2;

    painter->save();
    painter->setPen(foreground.isValid() ? foreground.value<QColor>() : option.palette.color(group, QPalette::Text));
    painter->setFont(option.font);
    painter->drawStaticText(QPointF(x, y), *shown);
    painter->restore();
}
