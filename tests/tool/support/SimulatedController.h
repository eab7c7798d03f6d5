// A simulated controller on COM1 of a temporary port folder, with RAVO_COM_DIR pointing there
// so the library reaches it as COM1. One per test.
#pragma once

#include <ravo_sim/Simulator.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

class SimulatedController {
public:
    explicit SimulatedController(int comNumber = 1) {
        char pattern[] = "/tmp/ravo-com.XXXXXX";
        dir_ = mkdtemp(pattern);
        setenv("RAVO_COM_DIR", dir_.c_str(), 1);
        sim_ = std::make_unique<ravo_sim::Simulator>(ravo_sim::Simulator::Options{dir_, comNumber});
    }
    ~SimulatedController() {
        sim_.reset();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    ravo_sim::Simulator& operator*() { return *sim_; }
    ravo_sim::Simulator* operator->() { return sim_.get(); }
    const std::string& comDir() const { return dir_; }

private:
    std::string dir_;
    std::unique_ptr<ravo_sim::Simulator> sim_;
};
