// A simulated controller on a real pseudo-terminal. It opens a pty master, links the slave as
// <comDir>/COM<n> and answers command frames, program records and Modbus RTU requests with a
// coherent state, in a thread of its own. Tests inject faults and read the decoded traffic.
//
// Behaviour in brief:
// - Command frames (valid sum) to address 255 or to the controller address (default 1) get a
//   16-byte reply: 0xAA, controller address, code echo, three fields, sum. Frames to another
//   address are recorded and not answered. Codes without a meaning here answer zero fields.
// - Version word 0x0300 until setVersion; work mode 0 until set. Motor parameters are stored
//   for every axis of the mask; queries answer for its lowest axis. Current speed (130) reports
//   the maximum speed setting. Jogs (180 -, 181 +) and moves (131 relative, 132 absolute) run at
//   the maximum speed in units per second; with no maximum speed set, jogs run at 10 units/s
//   and moves arrive at once. 133/134 stop, 136 zeroes the position and stops the axis.
// - Limit inputs (24, per axis of the mask), encoder line count and ratio (29) and mode (30),
//   A/D mode (32) and scale (33) are kept as sent; channels and encoders out of range are
//   ignored.
// - Work mode 3 opens download mode for the program number in P2 (its store is emptied).
//   Records are acknowledged with status 0 in field 1 and their index in field 2. A frame with
//   a right sum is taken as a command instead when it is a work-mode command or its last byte
//   is not the next record index. The end frame closes download mode and gets no reply.
// - Modbus RTU to slave 255 and to the address in registers 200..201 (default 1): functions
//   1, 3, 4, 5, 6, 16 over one register table and one coil table, with exception replies for
//   bad requests. A coil read answers at least three data bytes, so a one-coil read is 8 bytes.
//   Point recording: writing coil 157 starts a recording (points, 360 and 361 to 0); coil 159
//   saves the positions of axes 1..6 with registers 362..367 as point [361], advances 361 and
//   raises 360 to cover it; coil 158 ends the recording (later saves are ignored).
// - Bytes that start no request, and a request still incomplete after 20 ms of silence, are
//   recorded as one Unknown request and skipped.
// - Faults apply to the next matching requests. Silent, HangUp, RejectRecord and
//   ModbusException leave the state as it was; ShortReply (cut to at most one byte less than
//   the proper reply), CorruptReply, Delay and StopReading apply the request first. HangUp
//   unplugs the line (below), for good or, with a delayMs above 0, for that long. StopReading
//   keeps what the client sends
//   after the reply on the client's side of the line for a while, as a serial port keeps bytes
//   the wire has not carried yet: a client that discards its pending output then loses them.
//   clearFaults also drops read-back overrides.
// - The line can be unplugged and plugged in again, as a USB adapter: unplugging closes the pty
//   (the client's end hangs up) and removes the link; plugging in links a new pty at the same
//   path. The controller keeps its state meanwhile; bytes of a request cut off are dropped.
// - A silent controller records requests and neither applies nor answers them.
// - Paced: a reply starts no earlier than the request's wire time after its first byte and
//   goes out byte by byte at 19200 baud (520.8 us per byte).
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace ravo_sim {

struct RandomFaultSettings;
struct RandomFaultCounts;

enum class RequestKind {
    Command,   // 0xAA command frame with a valid sum byte
    Record,    // program record frame during a download (byte 15 = record index)
    EndFrame,  // AA FF 08 and thirteen zeros, ending a download
    Modbus,    // Modbus RTU request
    Unknown    // bytes that make no request (kept so tests can see them)
};

// One request as the simulator received it.
struct Request {
    RequestKind kind = RequestKind::Unknown;
    std::vector<std::uint8_t> bytes;
    std::chrono::steady_clock::time_point receivedAt;

    // Command frames and records: byte 2. Modbus: the function code.
    int code() const;
    // Command frames and records: parameter n (1..3), bytes 3+4(n-1).., most significant first.
    std::uint32_t param(int n) const;
    float paramAsFloat(int n) const;
};

// A misbehaviour for the next matching requests (libmodbus test-server style).
struct Fault {
    enum class Action {
        Silent,           // no reply at all
        ShortReply,       // only the first `length` bytes of the proper reply
        CorruptReply,     // proper length, reply fields and sum garbled
        Delay,            // proper reply after `delayMs`
        HangUp,           // unplug the line instead of replying; for `delayMs` if above 0
        RejectRecord,     // records: reply status 1 instead of 0
        ModbusException,  // Modbus: 5-byte exception reply
        StopReading,      // proper reply, then nothing taken off the line for `delayMs`
    };
    Action action = Action::Silent;
    RequestKind on = RequestKind::Command;
    int selector = -1;  // command code, record index or Modbus function; -1 = any
    int times = 1;      // matching requests it applies to; -1 = every one
    int length = 15;    // ShortReply
    int delayMs = 0;    // Delay, StopReading, HangUp
};

struct AxisState {
    std::int32_t subdivision = 0;
    float pitch = 0, maxSpeed = 0, minSpeed = 0;
    std::int32_t acceleration = 0, deceleration = 0;
    float position = 0;
    int direction = 0;  // -1, 0 (stopped), +1
};

// The peripheral settings as last sent (codes 24, 29, 30, 32, 33), so tests can compare them
// with what an application program file holds.
struct LimitInputs {
    std::uint32_t negative = 0, positive = 0;  // controller input numbers; 255 = not used
};

struct AnalogueChannelState {
    std::uint32_t mode = 0;
    float minimum = 0, maximum = 0;
};

struct EncoderState {
    std::int32_t lines = 0;
    float ratio = 0;
    std::uint32_t mode = 0;
};

// One point saved by the point-recording function (coil 159 while recording).
struct TaughtPoint {
    std::array<float, 6> positions{};  // axes 1..6 when the point was saved
    std::uint32_t inputMask = 0;       // registers 362..363
    std::uint32_t outputMask = 0;      // registers 364..365
    float delayMs = 0;                 // registers 366..367
};

class Simulator {
public:
    struct Options {
        std::string comDir;  // folder that receives the COM<n> link
        int comNumber = 1;
        bool paced = false;  // send replies at 19200-baud wire time
        bool trace = false;  // print each decoded request on stderr
        // Leave the pty as another program would have left the port (cooked, XON/XOFF and
        // RTS/CTS flow control on) rather than raw: a client has to set the whole line itself.
        bool usedLine = false;
    };

    explicit Simulator(Options options);
    ~Simulator();  // stops serving and removes the link
    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    std::string devicePath() const;  // <comDir>/COM<n>

    // Traffic, in arrival order.
    std::vector<Request> traffic() const;
    void clearTraffic();
    // Waits until at least `count` requests were recorded; false on time-out.
    bool waitForTraffic(std::size_t count, std::chrono::milliseconds timeout) const;

    // The line. Each call returns once the serving thread has carried it out. A line that
    // cannot be plugged in again (its link path taken by a file) stays unplugged.
    void unplug();                                       // until plugIn()
    void unplugFor(std::chrono::milliseconds downTime);  // then plugs in by itself
    void plugIn();                                       // nothing while plugged in
    // Waits until the line is plugged in; false on time-out.
    bool waitUntilPluggedIn(std::chrono::milliseconds timeout) const;
    // While silent, requests are recorded only.
    void setSilent(bool silent);

    // Faults.
    void inject(const Fault& fault);
    void clearFaults();
    // Motor queries (read-backs 121, 123, 125, 127 and the current speed 130) for `axisMask`
    // answer `field2` instead of the stored value.
    void overrideReadBack(int command, std::uint32_t axisMask, std::uint32_t field2);
    // A seeded random fault plan (RandomFaults.h) for the requests no injected fault matches;
    // a rate of 0 ends it. The counts are of the faults it gave so far.
    void setRandomFaults(const RandomFaultSettings& settings);
    RandomFaultCounts randomFaultCounts() const;

    // Controller state.
    void setVersion(std::uint32_t versionWord);
    int workMode() const;
    void setInput(int pin, bool high);  // pins 1..24
    bool output(int pin) const;         // pins 33..44
    AxisState axis(int axis) const;     // axes 1..8
    std::array<std::int32_t, 3> factoryDate() const;
    void setFactoryDate(std::int32_t year, std::int32_t month, std::int32_t day);
    LimitInputs limitInputs(int axis) const;                  // axes 1..8
    AnalogueChannelState analogueChannel(int channel) const;  // channels 1, 2
    EncoderState encoder(int encoder) const;                  // encoders 1..3

    // Program store (download mode).
    std::vector<std::array<std::uint8_t, 16>> program(int number) const;

    // Modbus holding state.
    std::uint16_t registerValue(int address) const;
    void setRegister(int address, std::uint16_t value);
    bool coil(int address) const;
    void setCoil(int address, bool on);
    std::vector<TaughtPoint> taughtPoints() const;  // indexed by record point

    // Sets the motor parameters of every axis (positions too) and the peripheral settings
    // (limit inputs, A/D channels, encoders) back to zero, so a later download has to bring
    // each of them anew.
    void forgetSettings();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace ravo_sim
