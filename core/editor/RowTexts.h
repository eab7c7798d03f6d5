// The texts of the program grid's rows, seven columns each, as ProgramGridModel reads and writes
// them. InMemoryRowTexts keeps them in memory; a grid widget keeps them in its cells.
#pragma once

#include <string>

namespace kelvane {

class RowTexts {
public:
    virtual ~RowTexts() = default;

    virtual int rowCount() const = 0;
    // Empty for a cell outside the grid.
    virtual std::string text(int row, int column) const = 0;
    // Ignored for a cell outside the grid.
    virtual void setText(int row, int column, const std::string& text) = 0;
    // An empty row before `row` (0..rowCount()).
    virtual void insertRow(int row) = 0;
    virtual void removeRow(int row) = 0;
    // Takes row `from` out and puts it back at index `to`; both 0..rowCount() - 1.
    virtual void moveRow(int from, int to) = 0;
};

}  // namespace kelvane
