// One serial device with the controller's fixed line settings (19200 baud, 8N1, raw) and the
// read/write time-outs of the link. Implemented once per operating system:
// SerialPortPosix.cpp (termios + poll) and SerialPortWin32.cpp (Windows communications API).
#pragma once

#include <cstddef>
#include <cstdint>

namespace ravo_lib {

class SerialPort {
public:
    SerialPort() = default;
    ~SerialPort();
    SerialPort(const SerialPort&) = delete;
    SerialPort& operator=(const SerialPort&) = delete;

    // Opens COM<portNumber> exclusively. Returns true at once when the port is already open.
    // The first successful open in the process creates the traffic log.
    bool open(int portNumber);
    // Releases the device; does nothing when the port is not open.
    void close();
    bool isOpen() const;

    // Discards pending input (late reply bytes), then sends the bytes and returns once they
    // have left the port, logging "SendData: ..." (the line stays open when not all went out).
    // Gives up after 10 ms per byte plus 10 ms. Returns how many bytes went out: `count` on
    // success; fewer when the port is closed, the device failed or the time-out expired.
    std::size_t write(const std::uint8_t* bytes, std::size_t count);
    // Reads exactly `count` bytes: waits at most 10 ms per byte plus 10 ms in all and at most
    // 30 ms after the last byte received. On success logs "ReceiveData: ..." and returns true;
    // otherwise sets count to 0 and returns false (the buffer contents are then undefined).
    bool read(std::uint8_t* buffer, std::size_t& count);

private:
#if defined(_WIN32)
    void* handle_ = nullptr;  // the device's HANDLE while handleValid_
    bool handleValid_ = false;
#else
    int fd_ = -1;
#endif
};

}  // namespace ravo_lib
