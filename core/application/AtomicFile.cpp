#include "AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace kelvane {
namespace {

std::string describe(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

std::string folderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Makes the rename itself durable; a folder that cannot be synced is not an error.
void syncFolder(const std::string& path) {
    const int fd = ::open(folderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

bool writeAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
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
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

WriteStatus AtomicFile::open(const std::string& path) {
    discard();
    target_ = path;
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string candidate = path + ".~" + std::to_string(::getpid()) + "." +
                                std::to_string(counter.fetch_add(1));
        fd_ = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
    if (!writeAll(fd_, data) || ::fsync(fd_) != 0) {
        const int error = errno;
        discard();
        return WriteStatus::failure(describe("cannot write", target_, error));
    }
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0 || ::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int error = errno;
        discard();
        return WriteStatus::failure(describe("cannot replace", target_, error));
    }
    temporary_.clear();
    syncFolder(target_);
    return {};
}

WriteStatus WriteFileAtomically(const std::string& path, std::string_view data) {
    AtomicFile file;
    WriteStatus status = file.open(path);
    if (!status.ok) return status;
    return file.commit(data);
}

}  // namespace kelvane
