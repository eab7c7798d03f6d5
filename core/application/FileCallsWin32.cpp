#include "FileCalls.h"

#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>

namespace kelvane::file_calls {
namespace {

std::wstring widePath(const std::string& utf8) { return std::filesystem::u8path(utf8).wstring(); }

int errnoFor(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return EACCES;
        case ERROR_DISK_FULL:
            return ENOSPC;
        default:
            return EIO;
    }
}

}  // namespace

int createNew(const std::string& path) {
    return ::_wopen(widePath(path).c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                    _S_IREAD | _S_IWRITE);
}

long writeSome(int fd, const char* data, std::size_t size) {
    const unsigned int chunk = size > 0x10000000 ? 0x10000000 : static_cast<unsigned int>(size);
    return ::_write(fd, data, chunk);
}

bool flushToDisk(int fd) { return ::_commit(fd) == 0; }

bool closeFile(int fd) { return ::_close(fd) == 0; }

void removeFile(const std::string& path) { ::_wunlink(widePath(path).c_str()); }

bool replaceFile(const std::string& from, const std::string& to) {
    if (MoveFileExW(widePath(from).c_str(), widePath(to).c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    errno = errnoFor(GetLastError());
    return false;
}

void flushFolderOf(const std::string&) {}  // MOVEFILE_WRITE_THROUGH already made it durable

unsigned long processId() { return GetCurrentProcessId(); }

}  // namespace kelvane::file_calls
