// The controller behind the 16-byte frames: work mode, address, version, pins, motor axes,
// factory date, and the program store that download mode fills. Not thread-safe: the
// simulator guards it.
#pragma once

#include "MotorAxis.h"
#include "Wire.h"

#include <ravo_sim/Simulator.h>

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <vector>

namespace ravo_sim {

using ProgramRecord = std::array<std::uint8_t, kFrameSize>;

class Controller {
public:
    using Clock = MotorAxis::Clock;

    static constexpr std::uint32_t kDefaultVersion = 0x0300;
    static constexpr std::uint8_t kDefaultAddress = 1;
    static constexpr int kAxisCount = 8;
    static constexpr int kInputCount = 24;
    static constexpr int kFirstOutputPin = 33;
    static constexpr int kOutputCount = 12;
    static constexpr int kAnalogueChannels = 2;
    static constexpr int kEncoders = 3;

    // Command, Record or EndFrame when the controller takes this 16-byte frame, else Unknown.
    // In download mode a frame is a record unless its sum is right and it is a work-mode
    // command or its last byte is not the index the next record would carry.
    RequestKind judgeFrame(const std::uint8_t* frame) const;

    // Applies a command frame and returns its 16-byte reply; empty when the frame is for
    // another controller address.
    Bytes handleCommand(const Request& request, Clock::time_point now);
    // Applies a record frame (stores it when `accept`) and returns its acknowledgement.
    Bytes handleRecord(const Request& request, bool accept);
    void handleEndFrame();

    bool isAddressedToUs(const Request& request) const;
    int nextRecordIndex() const { return recordsReceived_; }

    // State access for the simulator's API.
    std::uint32_t version = kDefaultVersion;
    int workMode = 0;
    std::uint8_t address = kDefaultAddress;
    std::array<std::int32_t, 3> factoryDate{};
    void setInput(int pin, bool high);
    bool pinLevel(int pin) const;
    MotorAxis& axis(int number) { return axes_[static_cast<std::size_t>(number - 1)]; }
    const MotorAxis& axis(int number) const { return axes_[static_cast<std::size_t>(number - 1)]; }
    std::vector<ProgramRecord> program(int number) const;
    std::array<LimitInputs, kAxisCount> limitInputs{};
    std::array<AnalogueChannelState, kAnalogueChannels> analogue{};
    std::array<EncoderState, kEncoders> encoders{};
    bool isDownloading() const { return downloading_; }

private:
    struct Fields {
        std::uint32_t field1 = 0, field2 = 0, field3 = 0;
    };
    Fields execute(const Request& request, Clock::time_point now);
    Fields executeMotor(int code, std::uint32_t mask, std::uint32_t value, Clock::time_point now);
    std::optional<std::uint32_t> queryMotor(int code, const MotorAxis& motor, Clock::time_point now) const;
    void applyMotor(int code, MotorAxis& motor, std::uint32_t value, Clock::time_point now);
    void setWorkMode(std::uint32_t mode, std::uint32_t argument);
    void setLimitInputs(std::uint32_t mask, std::uint32_t negative, std::uint32_t positive);
    void setPeripheral(int code, std::uint32_t number, std::uint32_t p2, std::uint32_t p3);
    void setOutput(int pin, bool high);
    std::uint32_t pinBits(int firstPin) const;
    Bytes reply(std::uint8_t code, const Fields& fields) const;

    std::array<MotorAxis, kAxisCount> axes_{};
    std::array<bool, kInputCount> inputs_{};
    std::array<bool, kOutputCount> outputs_{};
    std::map<int, std::vector<ProgramRecord>> programs_;
    bool downloading_ = false;
    int downloadProgram_ = 0;
    int recordsReceived_ = 0;
};

}  // namespace ravo_sim
