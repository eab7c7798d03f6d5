// A fresh folder for COM<n> links, with RAVO_COM_DIR pointing at it for the library, removed
// again at the end. Several simulated controllers (or other peers) can share it.
#pragma once

#include <ravo_sim/Simulator.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

class ComFolder {
public:
    ComFolder() {
        char pattern[] = "/tmp/ravo-com.XXXXXX";
        path_ = mkdtemp(pattern);
        setenv("RAVO_COM_DIR", path_.c_str(), 1);
    }
    ~ComFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ComFolder(const ComFolder&) = delete;
    ComFolder& operator=(const ComFolder&) = delete;

    const std::string& path() const { return path_; }

    std::unique_ptr<ravo_sim::Simulator> simulator(int comNumber) const {
        return std::make_unique<ravo_sim::Simulator>(
            ravo_sim::Simulator::Options{path_, comNumber});
    }

private:
    std::string path_;
};
