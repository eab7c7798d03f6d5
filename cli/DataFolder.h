// Where ravo finds the tool's data folder: KelvaneRavoTools/ next to the executable, as the
// tool does, unless --data names another folder.
#pragma once

#include <string>

namespace ravo {

// The folder of the running executable, without a trailing '/'.
std::string ExecutableDirectory();
// `overrideFolder` when it is not empty, else ExecutableDirectory() + "/KelvaneRavoTools".
std::string DataFolder(const std::string& overrideFolder);

}  // namespace ravo
