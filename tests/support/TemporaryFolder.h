// A fresh folder under /tmp for one test, removed with everything in it when the test ends.
#pragma once

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>

class TemporaryFolder {
public:
    // The folder is /tmp/<prefix>.XXXXXX. A folder that cannot be made throws, so the test
    // fails at once instead of working in a folder that does not exist.
    explicit TemporaryFolder(const std::string& prefix = "ravo-test") {
        std::string pattern = "/tmp/" + prefix + ".XXXXXX";
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("cannot make a folder " + pattern + ": " + std::strerror(errno));
        path_ = pattern;
    }
    // Gives the owner back every right on the folder first, so a test may make it read-only.
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
