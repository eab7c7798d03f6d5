// The pty pair the simulator serves on: the master end for the simulator, the slave end linked
// as a COM device for clients.
#pragma once

#include <cstddef>
#include <string>

namespace ravo_sim {

class PseudoTerminal {
public:
    // Opens a pair at once (see open()). A used line leaves the slave as another program may
    // have left a port (cooked, XON/XOFF and RTS/CTS flow control on) instead of raw.
    PseudoTerminal(std::string linkPath, bool usedLine);
    ~PseudoTerminal();  // closes both ends and removes the link
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int masterFd() const { return master_; }  // non-blocking; -1 after hangUp()
    const std::string& slavePath() const { return slavePath_; }
    const std::string& linkPath() const { return linkPath_; }

    // Opens a master, puts the slave in raw mode (or leaves it used) and links it as the link
    // path (a stale link of that name is replaced). Does nothing while a pair is open. Throws
    // std::system_error on failure.
    void open();
    // Drops the line: closes both ends and removes the link. A dangling link would let a
    // later open reach whatever pty reuses the slave number, so the link goes too.
    void hangUp();

    // Bytes the master can read now.
    std::size_t unreadBytes() const;
    // Makes what a client writes next wait on the slave side of the pty, where an output flush
    // of the client's end discards it, until the master has read `filler` bytes: fills the
    // master's receive queue from the held slave end. Returns the filler's length, which the
    // master's next reads must skip. Call with nothing unread.
    std::size_t holdClientOutput();

private:
    void removeLinkIfOurs() const;

    std::string linkPath_;
    std::string slavePath_;
    bool usedLine_ = false;
    int master_ = -1;
    // Kept open so the master does not see a hang-up while no client has the slave open; the
    // filler of holdClientOutput is written through it.
    int heldSlave_ = -1;
};

}  // namespace ravo_sim
