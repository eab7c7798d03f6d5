// The operating-system file calls behind AtomicFile, one source file per system. Paths are
// UTF-8; a failed call leaves errno set.
#pragma once

#include <cstddef>
#include <string>

namespace kelvane::file_calls {

// Creates `path` for writing; fails with EEXIST when it exists. -1 on failure.
int createNew(const std::string& path);
// Writes some of `data`; the count written, -1 on failure (EINTR included).
long writeSome(int fd, const char* data, std::size_t size);
bool flushToDisk(int fd);
bool closeFile(int fd);
void removeFile(const std::string& path);
// Puts `from` in the place of `to` in one step, replacing it.
bool replaceFile(const std::string& from, const std::string& to);
// Makes a replacement in the folder of `path` durable, where the system needs that.
void flushFolderOf(const std::string& path);
unsigned long processId();

}  // namespace kelvane::file_calls
