#include "LineCodec.h"

#include "RecordFields.h"

#include "core/application/FormattedScanner.h"
#include "core/application/GbkText.h"

#include <algorithm>

namespace kelvane {
namespace {

constexpr char kRawCodePrefix = '#';

void clearInstruction(LineRecord& record) { std::fill(record.bytes.begin() + kCodeByte, record.bytes.end(), 0); }

// The code of an instruction text "#<code>", code 1..255 in plain decimal.
std::optional<std::uint8_t> rawCode(const std::string& text) {
    if (text.size() < 2 || text.size() > 4 || text[0] != kRawCodePrefix) return std::nullopt;
    int code = 0;
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
        code = code * 10 + (text[i] - '0');
    }
    if (code < 1 || code > 255) return std::nullopt;
    return static_cast<std::uint8_t>(code);
}

std::uint32_t decimalValue(const std::string& text) {
    std::int32_t value = 0;
    return FormattedScanner(text).scan("%d", {value}) == 1 ? static_cast<std::uint32_t>(value) : 0;
}

}  // namespace

std::string StoredRemark(std::string_view shown) {
    std::string stored(shown);
    std::replace_if(
        stored.begin(), stored.end(), [](char c) { return IsWhiteSpaceByte(static_cast<unsigned char>(c)); }, '@');
    return stored;
}

std::string ShownRemark(std::string_view stored) {
    std::string shown(stored);
    std::replace(shown.begin(), shown.end(), '@', ' ');
    return shown;
}

bool RemarkFits(std::string_view shown) { return utf8ToGbk(std::string(shown)).size() <= kMaxRemarkBytes; }

bool EndsProgram(const RowCells& cells) {
    return cells[kGroupColumn].empty() && cells[kInstructionColumn].empty() && cells[kParam1Column].empty();
}

bool CommitCells(const InstructionCatalogue& catalogue, const RowCells& cells, LineRecord& record,
                 std::optional<std::string>& remark) {
    remark.reset();
    record.bytes[0] = kRecordStart;
    record.bytes[1] = kRecordAddress;
    const std::string& group = cells[kGroupColumn];
    const std::string& name = cells[kInstructionColumn];

    if (group.empty() && name.empty()) {
        if (EndsProgram(cells)) return false;
        clearInstruction(record);
        return true;
    }

    clearInstruction(record);
    const std::uint8_t code = catalogue.FindInstructionCode(name);
    if (code != kNoInstruction) {
        const InstructionDef* def = catalogue.instruction(code);
        if (def == nullptr) return false;
        record.bytes[kCodeByte] = code;
        for (std::size_t k = 0; k < kParamOffsets.size(); ++k) {
            WriteBigEndian32(record, kParamOffsets[k],
                             catalogue.ParamTextToValue(cells[kParam1Column + k], def->params[k]));
        }
    } else if (const auto raw = rawCode(name)) {
        record.bytes[kCodeByte] = *raw;
        for (std::size_t k = 0; k < kParamOffsets.size(); ++k) {
            WriteBigEndian32(record, kParamOffsets[k], decimalValue(cells[kParam1Column + k]));
        }
    }
    // Anything else is a line without instruction; it keeps its remark all the same.
    remark = StoredRemark(cells[kRemarkColumn]);
    return true;
}

bool CommitEditedCells(const InstructionCatalogue& catalogue, const RowCells& cells, const LineRecord& stored,
                       const std::string* storedRemark, LineRecord& record, std::optional<std::string>& remark) {
    if (!CommitCells(catalogue, cells, record, remark)) return false;
    const RowCells shown = RenderCells(catalogue, 0, stored, storedRemark);
    if (cells[kGroupColumn] == shown[kGroupColumn] && cells[kInstructionColumn] == shown[kInstructionColumn]) {
        const LineRecord encoded = record;
        record = stored;
        for (std::size_t k = 0; k < kParamOffsets.size(); ++k) {
            if (cells[kParam1Column + k] == shown[kParam1Column + k]) continue;
            std::copy_n(encoded.bytes.begin() + kParamOffsets[k], 4, record.bytes.begin() + kParamOffsets[k]);
        }
    }
    if (remark && cells[kRemarkColumn] == shown[kRemarkColumn]) {
        remark = storedRemark != nullptr ? std::optional<std::string>(*storedRemark) : std::nullopt;
    }
    return true;
}

RowCells RenderCells(const InstructionCatalogue& catalogue, int line, const LineRecord& record,
                     const std::string* storedRemark) {
    RowCells cells;
    cells[kLineColumn] = std::to_string(line);
    const std::uint8_t code = record.bytes[kCodeByte];
    if (code == 0) {
        // A line without instruction; also when its first byte was damaged, so that it does
        // not end the program at the next commit.
        std::fill(cells.begin() + kGroupColumn, cells.end(), " ");
        return cells;
    }

    const InstructionDef* def = catalogue.instruction(code);
    auto [groupName, instructionName] = catalogue.GetInstructionNames(code);
    const bool namedRoundTrip =
        def != nullptr && !instructionName.empty() && catalogue.FindInstructionCode(instructionName) == code;
    for (std::size_t k = 0; k < kParamOffsets.size(); ++k) {
        const std::uint32_t value = ReadBigEndian32(record, kParamOffsets[k]);
        cells[kParam1Column + k] = namedRoundTrip ? catalogue.ParamValueToText(value, def->params[k])
                                                  : std::to_string(static_cast<std::int32_t>(value));
    }
    if (namedRoundTrip) {
        cells[kGroupColumn] = std::move(groupName);
        cells[kInstructionColumn] = std::move(instructionName);
    } else {
        cells[kInstructionColumn] = kRawCodePrefix + std::to_string(code);
    }
    if (storedRemark != nullptr) cells[kRemarkColumn] = ShownRemark(*storedRemark);
    return cells;
}

}  // namespace kelvane
