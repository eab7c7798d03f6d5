// The pty pair the simulator serves on: the master end for the simulator, the slave end linked
// as a COM device for clients.
#pragma once

#include <string>

namespace ravo_sim {

class PseudoTerminal {
public:
    // Opens a master, puts the slave in raw mode and links it as `linkPath` (a stale link of
    // that name is replaced). Throws std::system_error on failure.
    explicit PseudoTerminal(std::string linkPath);
    ~PseudoTerminal();  // closes both ends and removes the link
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int masterFd() const { return master_; }  // non-blocking; -1 after hangUp()
    const std::string& slavePath() const { return slavePath_; }
    const std::string& linkPath() const { return linkPath_; }

    // Drops the line: closes both ends and removes the link. A dangling link would let a
    // later open reach whatever pty reuses the slave number, so the link goes too.
    void hangUp();

private:
    void removeLinkIfOurs() const;

    std::string linkPath_;
    std::string slavePath_;
    int master_ = -1;
    // Kept open so the master does not see a hang-up while no client has the slave open.
    int heldSlave_ = -1;
};

}  // namespace ravo_sim
