#include "EditorViewFixture.h"

#include <QPushButton>
#include <QTest>

EditorViewTest::EditorViewTest() {
    grid().setBaseFolder(QStringLiteral(RAVO_DEMO_EXE_FOLDER));
    grid().InitGrid();
    view.resize(1400, 700);  // every tab in view, even with ten programs
    view.show();
}

void EditorViewTest::load(const std::vector<kelvane::ProgramImage>& programs) {
    for (std::size_t i = 0; i < programs.size(); ++i) view.LoadProgram(static_cast<int>(i), programs[i]);
    view.SetProgramTabs(static_cast<int>(programs.size()));
}

QStringList EditorViewTest::tabTitles() {
    QStringList titles;
    for (int i = 0; i < tabs().count(); ++i) titles << tabs().tabText(i);
    return titles;
}

void EditorViewTest::clickTab(int index) {
    QTest::mouseClick(&tabs(), Qt::LeftButton, {}, tabs().tabRect(index).center());
}

void EditorViewTest::clickCell(int row, int column) {
    const QModelIndex cell = static_cast<QTableView&>(grid()).model()->index(row, column);
    grid().scrollTo(cell);
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().visualRect(cell).center());
}

void EditorViewTest::clickButton(const char* objectName) {
    QTest::mouseClick(child<QPushButton>(&view, QString::fromLatin1(objectName)), Qt::LeftButton);
}

std::vector<kelvane::LineRecord> EditorViewTest::records(int slot) {
    const kelvane::ProgramSlot& s = grid().programs().slot(slot);
    return {s.records.begin(), s.records.begin() + std::max(s.lineCount, 0)};
}
