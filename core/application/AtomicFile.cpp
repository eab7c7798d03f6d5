#include "AtomicFile.h"

#include "FileCalls.h"

#include <atomic>
#include <cerrno>
#include <cstring>

namespace kelvane {
namespace {

std::string describe(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const long n = file_calls::writeSome(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

AtomicFile::~AtomicFile() { discard(); }

void AtomicFile::discard() {
    if (fd_ >= 0) file_calls::closeFile(fd_);
    fd_ = -1;
    if (!temporary_.empty()) file_calls::removeFile(temporary_);
    temporary_.clear();
}

WriteStatus AtomicFile::open(const std::string& path) {
    discard();
    target_ = path;
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate =
            path + ".~" + std::to_string(file_calls::processId()) + "." + std::to_string(counter.fetch_add(1));
        fd_ = file_calls::createNew(candidate);
        if (fd_ >= 0) {
            temporary_ = std::move(candidate);
            return {};
        }
        if (errno != EEXIST) return WriteStatus::failure(describe("cannot create", path, errno));
    }
    return WriteStatus::failure(describe("cannot create", path, EEXIST));
}

WriteStatus AtomicFile::commit(std::string_view data) {
    if (fd_ < 0) return WriteStatus::failure("cannot write " + target_ + ": not open");
    if (!writeAll(fd_, data) || !file_calls::flushToDisk(fd_)) {
        const int error = errno;
        discard();
        return WriteStatus::failure(describe("cannot write", target_, error));
    }
    const bool closed = file_calls::closeFile(fd_);
    fd_ = -1;
    if (!closed || !file_calls::replaceFile(temporary_, target_)) {
        const int error = errno;
        discard();
        return WriteStatus::failure(describe("cannot replace", target_, error));
    }
    temporary_.clear();
    file_calls::flushFolderOf(target_);
    return {};
}

WriteStatus WriteFileAtomically(const std::string& path, std::string_view data) {
    AtomicFile file;
    WriteStatus status = file.open(path);
    if (!status.ok) return status;
    return file.commit(data);
}

}  // namespace kelvane
