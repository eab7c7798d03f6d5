// A simulated controller on COM1 of a temporary port folder, with RAVO_COM_DIR pointing there
// so the library reaches it as COM1. One per test.
#pragma once

#include "TemporaryComFolder.h"

#include <ravo_sim/Simulator.h>

#include <memory>
#include <string>

class SimulatedController {
public:
    explicit SimulatedController(int comNumber = 1) : sim_(folder_.simulator(comNumber)) {}

    ravo_sim::Simulator& operator*() { return *sim_; }
    ravo_sim::Simulator* operator->() { return sim_.get(); }
    const std::string& comDir() const { return folder_.path(); }

private:
    TemporaryComFolder folder_;  // before the simulator, which links into it
    std::unique_ptr<ravo_sim::Simulator> sim_;
};
