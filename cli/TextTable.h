// Plain-text tables for a terminal: columns padded to their widest cell, where a CJK
// character takes two columns.
#pragma once

#include <string>
#include <vector>

namespace ravo {

class TextTable {
public:
    void addRow(std::vector<std::string> cells) { rows_.push_back(std::move(cells)); }
    // Every row, cells separated by two blanks, each line indented by `indent`.
    std::string render(const std::string& indent = "") const;

private:
    std::vector<std::vector<std::string>> rows_;
};

// Terminal columns of UTF-8 text.
std::size_t DisplayWidth(const std::string& utf8);

}  // namespace ravo
