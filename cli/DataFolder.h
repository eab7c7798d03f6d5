// Where ravo finds the tool's data folder: the tool's own (KelvaneRavoTools/ next to the
// executable, or in the user's data folder for an installed ravo), unless --data names
// another folder.
#pragma once

#include <string>

namespace ravo {

// The folder of the running executable, without a trailing '/'.
std::string ExecutableDirectory();
// `overrideFolder` when it is not empty, else the data folder the tool would use.
std::string DataFolder(const std::string& overrideFolder);

}  // namespace ravo
