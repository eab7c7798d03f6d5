// `ravo show`: an application program as readable text (UTF-8): version, motor table,
// peripheral settings with the texts of their lists, and each user program as grid rows.
#pragma once

#include "ApplicationDocument.h"

#include "core/editor/InstructionCatalogue.h"

#include <string>

namespace ravo {

std::string ShowApplication(const ApplicationDocument& document, const kelvane::InstructionCatalogue& catalogue);

// Reads the three catalogue files of the data folder; a file that cannot be read adds nothing.
kelvane::InstructionCatalogue LoadCatalogueFrom(const std::string& dataFolder);

}  // namespace ravo
