// One help text per instruction code, shown in the editor's help line.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace kelvane {

using DescriptionTable = std::map<std::int32_t, std::string>;

// Adds the entries of KelvaneRavoTools/CommandDescription.ini to `table` (existing codes keep
// their text; the table is never emptied). The file is looked for below the current directory
// first and, when it is not there, below `exeDirectory`, so help texts do not depend on where
// the tool was started from. Returns false when neither file could be read.
bool LoadDescriptions(DescriptionTable& table, const std::string& exeDirectory);

// The help text of a code; empty when there is none.
std::string DescriptionText(const DescriptionTable& table, std::int32_t code);

}  // namespace kelvane
