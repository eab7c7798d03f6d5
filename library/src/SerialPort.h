// One serial device with the controller's fixed line settings (19200 baud, 8N1, raw) and the
// read/write time-outs of the link. Implemented once per operating system:
// SerialPortPosix.cpp (termios + poll) and SerialPortWin32.cpp (Windows communications API).
#pragma once

#include "Kelvane_Ravo_Q9T2.h"

#include <atomic>
#include <cstddef>
#include <cstdint>

namespace ravo_lib {

// What the port's line did last, as Ravo_GetLinkState reports it.
enum class LineState : int {
    Ok = RAVO_LINK_OK,             // opened, and the last read got every byte it asked for
    Closed = RAVO_LINK_NO_PORT,    // never opened, or closed
    NoReply = RAVO_LINK_NO_REPLY,  // the last read came back short, or a write did not go out
    Lost = RAVO_LINK_LOST,         // the device hung up or went away: it is released, and the
                                   // port stays lost until close() or the next open()
};

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens COM<portNumber> exclusively. Returns true at once when the port is already open.
    // The first successful open in the process creates the traffic log.
    bool open(int portNumber);
    // Releases the device; a lost port becomes closed.
    void close();
    // May be read from any thread.
    LineState lineState() const { return state_; }

    // Discards pending input (late reply bytes), then sends the bytes and returns once they
    // have left the port, logging "SendData: ..." (the line stays open when not all went out).
    // Gives up after 10 ms per byte plus 10 ms. Returns how many bytes went out: `count` on
    // success; fewer when the port is closed or lost, the device failed or the time-out
    // expired. A lost port logs "SendData: " and sends nothing, as its dead device did.
    std::size_t write(const std::uint8_t* bytes, std::size_t count);
    // Reads exactly `count` bytes: waits at most 10 ms per byte plus 10 ms in all and at most
    // 30 ms after the last byte received. On success logs "ReceiveData: ..." and returns true;
    // otherwise sets count to 0 and returns false (the buffer contents are then undefined). A
    // lost port returns false at once.
    bool read(std::uint8_t* buffer, std::size_t& count);

private:
    // Releases the device and leaves the port in `state`.
    void release(LineState state);

#if defined(_WIN32)
    void* handle_ = nullptr;  // the device's HANDLE while handleValid_
    bool handleValid_ = false;
#else
    int fd_ = -1;
#endif
    std::atomic<LineState> state_{LineState::Closed};
};

}  // namespace ravo_lib
