// Row texts held in memory, for work without a grid widget.
#pragma once

#include "LineCodec.h"
#include "RowTexts.h"

#include <vector>

namespace kelvane {

class InMemoryRowTexts final : public RowTexts {
public:
    explicit InMemoryRowTexts(int rows = 0) : rows_(rows > 0 ? rows : 0) {}

    int rowCount() const override { return static_cast<int>(rows_.size()); }
    std::string text(int row, int column) const override;
    void setText(int row, int column, const std::string& text) override;
    void insertRow(int row) override;
    void removeRow(int row) override;
    void moveRow(int from, int to) override;

    // The whole row; empty cells outside the grid.
    RowCells cells(int row) const;
    void setCells(int row, const RowCells& cells);

private:
    bool isRow(int row) const { return row >= 0 && row < rowCount(); }

    std::vector<RowCells> rows_;
};

}  // namespace kelvane
