#include "FileCalls.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

namespace kelvane::file_calls {

int createNew(const std::string& path) { return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); }

long writeSome(int fd, const char* data, std::size_t size) { return ::write(fd, data, size); }

bool flushToDisk(int fd) { return ::fsync(fd) == 0; }

bool closeFile(int fd) { return ::close(fd) == 0; }

void removeFile(const std::string& path) { ::unlink(path.c_str()); }

bool replaceFile(const std::string& from, const std::string& to) { return std::rename(from.c_str(), to.c_str()) == 0; }

void flushFolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;  // a folder that cannot be synced is not an error
    ::fsync(fd);
    ::close(fd);
}

unsigned long processId() { return static_cast<unsigned long>(::getpid()); }

}  // namespace kelvane::file_calls
