// A temporary folder for COM<n> links with RAVO_COM_DIR pointing at it, so the library finds
// COM n as <folder>/COM<n>. Any number of simulated controllers can be linked into it.
#pragma once

#include "TemporaryFolder.h"

#include <ravo_sim/Simulator.h>

#include <cstdlib>
#include <memory>

class TemporaryComFolder : public TemporaryFolder {
public:
    TemporaryComFolder() : TemporaryFolder("ravo-com") { ::setenv("RAVO_COM_DIR", path().c_str(), 1); }

    // A simulated controller on COM<comNumber> of this folder.
    std::unique_ptr<ravo_sim::Simulator> simulator(int comNumber) const {
        return std::make_unique<ravo_sim::Simulator>(ravo_sim::Simulator::Options{path(), comNumber});
    }
};
