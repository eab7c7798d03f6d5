// A fresh folder for COM<n> links, with RAVO_COM_DIR pointing at it, removed at the end; any
// number of simulated controllers can be linked into it.
#pragma once

#include <ravo_sim/Simulator.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

class ComFolder {
public:
    ComFolder() : path_(mkdtemp(pattern_)) { setenv("RAVO_COM_DIR", path_.c_str(), 1); }
    ~ComFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::string& path() const { return path_; }
    std::unique_ptr<ravo_sim::Simulator> simulator(int comNumber) const {
        return std::make_unique<ravo_sim::Simulator>(ravo_sim::Simulator::Options{path_, comNumber});
    }

private:
    char pattern_[32] = "/tmp/ravo-com.XXXXXX";  // before path_, which is made from it
    std::string path_;
};
