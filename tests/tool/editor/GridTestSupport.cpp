#include "GridTestSupport.h"

#include "editor/CUserProgramEditCtrl.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QVBoxLayout>

namespace {

// The painted viewport, and the cell's rectangle in it after scrolling the cell into view.
std::pair<QImage, QRect> PaintedCell(CReportCtrl& grid, int row, int column) {
    const QModelIndex cell = grid.model()->index(row, column);
    grid.scrollTo(cell);
    return {grid.viewport()->grab().toImage(), grid.visualRect(cell)};
}

}  // namespace

void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

void ClickCell(CReportCtrl& grid, int row, int column, Qt::KeyboardModifiers modifiers) {
    const QModelIndex cell = grid.model()->index(row, column);
    grid.scrollTo(cell);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, modifiers, grid.visualRect(cell).center());
}

QColor PaintedBackground(CReportCtrl& grid, int row, int column) {
    const auto [image, rect] = PaintedCell(grid, row, column);
    return image.pixelColor(rect.right() - 4, rect.center().y());
}

bool HasBlueText(CReportCtrl& grid, int row, int column) {
    const auto [image, rect] = PaintedCell(grid, row, column);
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (pixel.red() < 120 && pixel.green() < 120 && pixel.blue() > 200) return true;
        }
    }
    return false;
}

template <typename Grid>
GridWindow<Grid>::GridWindow() : grid(new Grid), other(new QLineEdit) {
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(grid);
    layout->addWidget(other);
    window.resize(1000, 500);
    QObject::connect(grid, &CReportCtrl::endLabelEdit,
                     [this](int row, int column, std::optional<QString> text, qint64 data) {
                         reports.push_back({row, column, std::move(text), data});
                     });
}

template struct GridWindow<CReportCtrl>;
template struct GridWindow<CUserProgramEditCtrl>;

void PrintTo(const EditReport& report, std::ostream* out) {
    *out << report.row << "/" << report.column << " " << (report.text ? report.text->toStdString() : "(none)") << " "
         << report.itemData;
}

void FlushDeletes() {
    QApplication::processEvents();  // queued ends of edits
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}
