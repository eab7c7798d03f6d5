// Replaces a file all at once: the new contents go to a temporary file in the same folder,
// which is flushed to disk and then renamed over the target. A failed write leaves the old
// file as it was.
#pragma once

#include <string>
#include <string_view>

namespace kelvane {

// Outcome of a file write: ok, or the reason it failed (one line, includes the path).
struct WriteStatus {
    bool ok = true;
    std::string reason;

    static WriteStatus failure(std::string why) { return {false, std::move(why)}; }
};

class AtomicFile {
public:
    AtomicFile() = default;
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile();  // removes the temporary file unless commit() succeeded

    // Creates the temporary file beside `path`.
    WriteStatus open(const std::string& path);
    // Writes `data` to the temporary file, syncs it and renames it over the target.
    WriteStatus commit(std::string_view data);

private:
    void discard();

    std::string target_;
    std::string temporary_;
    int fd_ = -1;
};

// open() and commit() in one step.
WriteStatus WriteFileAtomically(const std::string& path, std::string_view data);

}  // namespace kelvane
