#include "GridTestSupport.h"

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QVBoxLayout>

void ShowActive(QWidget& window) {
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

QRect CellRect(const CReportCtrl& grid, int row, int column) {
    return grid.visualRect(grid.model()->index(row, column));
}

QString HeaderText(const CReportCtrl& grid, int column) {
    return grid.model()->headerData(column, Qt::Horizontal).toString();
}

void ClickCell(CReportCtrl& grid, int row, int column, Qt::KeyboardModifiers modifiers) {
    const QModelIndex cell = grid.model()->index(row, column);
    grid.scrollTo(cell);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, modifiers, grid.visualRect(cell).center());
}

QColor PaintedBackground(CReportCtrl& grid, int row, int column) {
    const QModelIndex cell = grid.model()->index(row, column);
    grid.scrollTo(cell);
    const QRect rect = grid.visualRect(cell);
    const QImage image = grid.viewport()->grab().toImage();
    return image.pixelColor(rect.right() - 4, rect.center().y());
}

bool HasBlueText(CReportCtrl& grid, int row, int column) {
    const QModelIndex cell = grid.model()->index(row, column);
    grid.scrollTo(cell);
    const QRect rect = grid.visualRect(cell);
    const QImage image = grid.viewport()->grab().toImage();
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

void FlushDeletes() {
    QApplication::processEvents();  // queued ends of edits
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
}

void WriteProgram(CUserProgramEditCtrl& grid, const std::vector<ProgramRow>& rows) {
    for (int line = 0; line < static_cast<int>(rows.size()); ++line) {
        for (int column = 0; column < 6; ++column)
            grid.SetItemText(line, column + 1, QString::fromStdString(rows[line][column]));
    }
    grid.CommitRows(kelvane::JumpEdit::None);
    grid.ShowProgram(grid.currentProgram(), 1);
}

std::vector<std::string> ShownColumn(const CUserProgramEditCtrl& grid, int column) {
    std::vector<std::string> texts;
    const int lines = grid.programs().currentSlot().lineCount;
    for (int row = 0; row < lines; ++row) texts.push_back(grid.GetItemText(row, column).toStdString());
    return texts;
}

std::vector<std::string> ShownLines(const CUserProgramEditCtrl& grid) {
    std::vector<std::string> lines;
    const int count = grid.programs().currentSlot().lineCount;
    for (int row = 0; row < count; ++row) {
        const QString instruction = grid.GetItemText(row, 2).trimmed();
        lines.push_back(instruction.isEmpty() ? "blank" : (instruction + " " + grid.GetItemText(row, 3)).toStdString());
    }
    return lines;
}
