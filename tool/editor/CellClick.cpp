// What a click on a program grid cell does before the widget opens an editor.
#include "ProgramGridModel.h"

#include "RecordFields.h"

namespace kelvane {

CellEditor ProgramGridModel::ClickCell(int row, int column) {
    if (row < 0 || row >= kMaxProgramLines) return {};
    currentRow_ = row;
    if (column <= kLineColumn) {
        RefreshHighlight();
        return {};
    }
    if (column >= kProgramColumnCount) return {};

    CommitRow(row);
    CellEditor editor;
    editor.helpCode = currentSlot().records[row].bytes[kCodeByte];
    editor.kind = chooseEditor(row, column, editor.choices);
    return editor;
}

CellEditor::Kind ProgramGridModel::chooseEditor(int row, int column, std::vector<std::string>& choices) {
    if (column == kGroupColumn) {
        for (const auto& [code, name] : catalogue_.groups) choices.push_back(name);
        return CellEditor::Kind::DropDown;
    }

    const std::string group = rows_.text(row, kGroupColumn);
    const InstructionDef* def =
        catalogue_.instruction(catalogue_.FindInstructionCode(rows_.text(row, kInstructionColumn)));
    if (column == kRemarkColumn) {
        const bool editable = row < currentSlot().lineCount || (!group.empty() && def != nullptr);
        return editable ? CellEditor::Kind::EditBox : CellEditor::Kind::None;
    }
    if (group.empty()) return CellEditor::Kind::None;

    if (column == kInstructionColumn) {
        const auto members = catalogue_.groupMembers.find(catalogue_.FindGroupCode(group));
        if (members != catalogue_.groupMembers.end()) {
            for (std::uint8_t code : members->second) {
                if (const InstructionDef* member = catalogue_.instruction(code)) choices.push_back(member->name);
            }
        }
        return CellEditor::Kind::DropDown;
    }

    if (def == nullptr) return CellEditor::Kind::None;
    const ParamDef& param = def->params[column - kParam1Column];
    if (param.used != 1) {
        rows_.setText(row, column, "0");
        return CellEditor::Kind::None;
    }
    if (param.kind != kEnumerationParam) return CellEditor::Kind::EditBox;
    const auto type = catalogue_.paramTypes.find(param.enumType);
    if (type != catalogue_.paramTypes.end()) {
        for (const auto& [value, text] : type->second) choices.push_back(text);
    }
    return CellEditor::Kind::DropDown;
}

}  // namespace kelvane
