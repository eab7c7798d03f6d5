// The catalogue files on disk: their names, and reading one as UTF-8 text.
#pragma once

#include <string>

namespace kelvane {

// Folder of the data files below the executable's folder, and the catalogue file names.
inline constexpr const char* kDataFolderName = "KelvaneRavoTools";
inline constexpr const char* kParamTypeFile = "CommandParType.ini";
inline constexpr const char* kCommandFormatFile = "CommandFormat.ini";
inline constexpr const char* kJumpCommandFile = "JumpCommandInfo.ini";
inline constexpr const char* kDescriptionFile = "CommandDescription.ini";

// `exeDirectory`/KelvaneRavoTools; relative to the current directory when `exeDirectory` is empty.
std::string DataFolderPath(const std::string& exeDirectory);
// DataFolderPath(`exeDirectory`)/`fileName`.
std::string DataFilePath(const std::string& exeDirectory, const char* fileName);

// Reads a whole GBK file into `utf8`. False (and `utf8` untouched) when it cannot be opened.
bool ReadGbkTextFile(const std::string& path, std::string& utf8);

}  // namespace kelvane
