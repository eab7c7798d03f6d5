#include "EditorViewFixture.h"

#include <QPushButton>
#include <QTest>

#include <cstdio>

kelvane::LineRecord Line(std::uint8_t code, std::uint32_t p1, std::uint32_t p2, std::uint32_t p3) {
    kelvane::LineRecord record;
    record.bytes[0] = 0xAA;
    record.bytes[1] = 0xFF;
    record.bytes[2] = code;
    const std::uint32_t params[] = {p1, p2, p3};
    for (int k = 0; k < 3; ++k)
        for (int b = 0; b < 4; ++b)
            record.bytes[3 + 4 * k + b] = static_cast<std::uint8_t>(params[k] >> (24 - 8 * b));
    return record;
}

kelvane::ProgramImage Program(const std::vector<kelvane::LineRecord>& lines, const kelvane::RemarkMap& remarks) {
    kelvane::ProgramImage program;
    for (std::size_t i = 0; i < lines.size(); ++i) program.records[i] = lines[i];
    program.lineCount = static_cast<std::uint16_t>(lines.size());
    program.remarks = remarks;
    return program;
}

namespace kelvane {

bool operator==(const LineRecord& a, const LineRecord& b) { return a.bytes == b.bytes; }

void PrintTo(const LineRecord& record, std::ostream* out) {
    for (std::uint8_t byte : record.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x ", byte);
        *out << hex;
    }
}

}  // namespace kelvane

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
    const kelvane::ProgramSlot& s = grid().model().slot(slot);
    return {s.records.begin(), s.records.begin() + std::max(s.lineCount, 0)};
}
