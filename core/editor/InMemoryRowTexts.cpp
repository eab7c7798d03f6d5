#include "InMemoryRowTexts.h"

namespace kelvane {
namespace {

bool isColumn(int column) { return column >= 0 && column < kProgramColumnCount; }

}  // namespace

std::string InMemoryRowTexts::text(int row, int column) const {
    return isRow(row) && isColumn(column) ? rows_[row][column] : std::string();
}

void InMemoryRowTexts::setText(int row, int column, const std::string& text) {
    if (isRow(row) && isColumn(column)) rows_[row][column] = text;
}

void InMemoryRowTexts::insertRow(int row) {
    if (row >= 0 && row <= rowCount()) rows_.insert(rows_.begin() + row, RowCells{});
}

void InMemoryRowTexts::removeRow(int row) {
    if (isRow(row)) rows_.erase(rows_.begin() + row);
}

void InMemoryRowTexts::moveRow(int from, int to) {
    if (!isRow(from) || !isRow(to) || from == to) return;
    RowCells moving = std::move(rows_[from]);
    rows_.erase(rows_.begin() + from);
    rows_.insert(rows_.begin() + to, std::move(moving));
}

RowCells InMemoryRowTexts::cells(int row) const { return isRow(row) ? rows_[row] : RowCells{}; }

void InMemoryRowTexts::setCells(int row, const RowCells& cells) {
    if (isRow(row)) rows_[row] = cells;
}

}  // namespace kelvane
