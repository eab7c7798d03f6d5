#include "Controller.h"

#include <algorithm>
#include <optional>

namespace ravo_sim {
namespace {

enum Code : int {
    GetVersion = 2,
    SetAddress = 4,
    GetAddress = 5,
    SetWorkMode = 6,
    GetWorkMode = 7,
    EndOfDownload = 8,
    StoreFactoryDate = 17,
    ReadFactoryDate = 18,
    SetPin = 21,
    GetPin = 22,
    GetAllPins = 23,
    SetLimitInputs = 24,
    SetEncoderLines = 29,
    SetEncoderMode = 30,
    SetAnalogueMode = 32,
    SetAnalogueScale = 33,
    SetSubdivision = 120,
    GetSubdivision = 121,
    SetPitch = 122,
    GetPitch = 123,
    SetAcceleration = 124,
    GetAcceleration = 125,
    SetDeceleration = 126,
    GetDeceleration = 127,
    SetMaxSpeed = 128,
    SetMinSpeed = 129,
    GetCurrentSpeed = 130,
    MoveRelative = 131,
    MoveAbsolute = 132,
    QuickStop = 133,
    SlowStop = 134,
    ClearPosition = 136,
    GetPosition = 137,
    IsRunning = 138,
    JogLeft = 180,
    JogRight = 181,
};

constexpr int kDownloadMode = 3;

bool isEndFrame(const std::uint8_t* frame) {
    return frame[0] == kFrameStart && frame[1] == kAnyControllerAddress && frame[2] == EndOfDownload &&
           std::all_of(frame + 3, frame + kFrameSize, [](std::uint8_t b) { return b == 0; });
}

}  // namespace

RequestKind Controller::judgeFrame(const std::uint8_t* frame) const {
    if (isEndFrame(frame)) return RequestKind::EndFrame;
    const bool sumIsRight = frame[kFrameSize - 1] == frameSum(frame);
    if (!downloading_) return sumIsRight ? RequestKind::Command : RequestKind::Unknown;
    const bool carriesNextIndex = frame[kFrameSize - 1] == (recordsReceived_ & 0xFF);
    if (sumIsRight && (frame[2] == SetWorkMode || !carriesNextIndex)) return RequestKind::Command;
    return RequestKind::Record;
}

bool Controller::isAddressedToUs(const Request& request) const {
    const std::uint8_t target = request.bytes[1];
    return target == kAnyControllerAddress || target == address;
}

Bytes Controller::handleCommand(const Request& request, Clock::time_point now) {
    if (!isAddressedToUs(request)) return {};
    const Fields fields = execute(request, now);
    return reply(static_cast<std::uint8_t>(request.code()), fields);
}

Bytes Controller::handleRecord(const Request& request, bool accept) {
    Fields fields;
    fields.field1 = accept ? 0 : 1;
    fields.field2 = static_cast<std::uint32_t>(recordsReceived_);
    ++recordsReceived_;
    if (accept) {
        ProgramRecord record{};
        std::copy_n(request.bytes.begin(), kFrameSize, record.begin());
        programs_[downloadProgram_].push_back(record);
    }
    return reply(static_cast<std::uint8_t>(request.code()), fields);
}

void Controller::handleEndFrame() { downloading_ = false; }

Bytes Controller::reply(std::uint8_t code, const Fields& fields) const {
    Bytes frame(kFrameSize, 0);
    frame[0] = kFrameStart;
    frame[1] = address;
    frame[2] = code;
    writeBigEndian32(&frame[3], fields.field1);
    writeBigEndian32(&frame[7], fields.field2);
    writeBigEndian32(&frame[11], fields.field3);
    frame[15] = frameSum(frame.data());
    return frame;
}

Controller::Fields Controller::execute(const Request& request, Clock::time_point now) {
    const std::uint32_t p1 = request.param(1), p2 = request.param(2), p3 = request.param(3);
    Fields fields;
    switch (request.code()) {
        case GetVersion:
            fields.field2 = version;
            break;
        case SetAddress:
            address = static_cast<std::uint8_t>(p1);
            break;
        case GetAddress:
            fields.field2 = address;
            break;
        case SetWorkMode:
            setWorkMode(p1, p2);
            break;
        case GetWorkMode:
            fields.field1 = static_cast<std::uint32_t>(workMode);
            break;
        case StoreFactoryDate:
            factoryDate = {static_cast<std::int32_t>(p1), static_cast<std::int32_t>(p2), static_cast<std::int32_t>(p3)};
            [[fallthrough]];
        case ReadFactoryDate:
            fields.field1 = static_cast<std::uint32_t>(factoryDate[0]);
            fields.field2 = static_cast<std::uint32_t>(factoryDate[1]);
            fields.field3 = static_cast<std::uint32_t>(factoryDate[2]);
            break;
        case SetPin:
            setOutput(static_cast<int>(p1), p2 != 0);
            break;
        case GetPin:
            fields.field2 = pinLevel(static_cast<int>(p1)) ? 1 : 0;
            break;
        case GetAllPins:
            fields.field2 = pinBits(static_cast<int>(p1 & 0xFFFF));
            break;
        case SetLimitInputs:
            setLimitInputs(p1, p2, p3);
            break;
        case SetEncoderLines:
        case SetEncoderMode:
        case SetAnalogueMode:
        case SetAnalogueScale:
            setPeripheral(request.code(), p1, p2, p3);
            break;
        default:
            if (request.code() >= SetSubdivision) fields = executeMotor(request.code(), p1, p2, now);
            break;
    }
    return fields;
}

std::optional<std::uint32_t> Controller::queryMotor(int code, const MotorAxis& motor, Clock::time_point now) const {
    switch (code) {
        case GetSubdivision:
            return static_cast<std::uint32_t>(motor.subdivision);
        case GetPitch:
            return floatBits(motor.pitch);
        case GetAcceleration:
            return static_cast<std::uint32_t>(motor.acceleration);
        case GetDeceleration:
            return static_cast<std::uint32_t>(motor.deceleration);
        case GetCurrentSpeed:
            return floatBits(motor.maxSpeed);
        case GetPosition:
            return floatBits(motor.position(now));
        default:
            return std::nullopt;
    }
}

void Controller::applyMotor(int code, MotorAxis& motor, std::uint32_t value, Clock::time_point now) {
    const float floatValue = bitsToFloat(value);
    switch (code) {
        case SetSubdivision:
            motor.subdivision = static_cast<std::int32_t>(value);
            break;
        case SetPitch:
            motor.pitch = floatValue;
            break;
        case SetAcceleration:
            motor.acceleration = static_cast<std::int32_t>(value);
            break;
        case SetDeceleration:
            motor.deceleration = static_cast<std::int32_t>(value);
            break;
        case SetMaxSpeed:
            motor.maxSpeed = floatValue;
            break;
        case SetMinSpeed:
            motor.minSpeed = floatValue;
            break;
        case MoveRelative:
            motor.moveTo(motor.position(now) + floatValue, now);
            break;
        case MoveAbsolute:
            motor.moveTo(floatValue, now);
            break;
        case QuickStop:
        case SlowStop:
            motor.stop(now);
            break;
        case ClearPosition:
            motor.clearPosition();
            break;
        case JogLeft:
            motor.jog(-1, now);
            break;
        case JogRight:
            motor.jog(+1, now);
            break;
        default:
            break;
    }
}

// Settings and motions apply to every axis of the mask; queries answer for its lowest axis.
Controller::Fields Controller::executeMotor(int code, std::uint32_t mask, std::uint32_t value, Clock::time_point now) {
    Fields fields;
    bool answered = false;
    for (int number = 1; number <= kAxisCount; ++number) {
        if ((mask & (1u << (number - 1))) == 0) continue;
        MotorAxis& motor = axis(number);
        if (code == IsRunning) {
            if (motor.isRunning(now)) fields.field1 = 1;
        } else if (const auto answer = queryMotor(code, motor, now)) {
            if (!answered) fields.field2 = *answer;
            answered = true;
        } else {
            applyMotor(code, motor, value, now);
        }
    }
    return fields;
}

void Controller::setWorkMode(std::uint32_t mode, std::uint32_t argument) {
    workMode = static_cast<int>(mode);
    downloading_ = mode == kDownloadMode;
    if (!downloading_) return;
    downloadProgram_ = static_cast<int>(argument & 0xFF);
    programs_[downloadProgram_].clear();
    recordsReceived_ = 0;
}

void Controller::setLimitInputs(std::uint32_t mask, std::uint32_t negative, std::uint32_t positive) {
    for (int number = 1; number <= kAxisCount; ++number)
        if (mask & (1u << (number - 1))) limitInputs[static_cast<std::size_t>(number - 1)] = {negative, positive};
}

// Channel or encoder `number` counts from 1.
void Controller::setPeripheral(int code, std::uint32_t number, std::uint32_t p2, std::uint32_t p3) {
    const bool isEncoder = code == SetEncoderLines || code == SetEncoderMode;
    if (number < 1 || number > static_cast<std::uint32_t>(isEncoder ? kEncoders : kAnalogueChannels)) return;
    const std::size_t index = number - 1;
    switch (code) {
        case SetEncoderLines:
            encoders[index].lines = static_cast<std::int32_t>(p2);
            encoders[index].ratio = bitsToFloat(p3);
            break;
        case SetEncoderMode:
            encoders[index].mode = p2;
            break;
        case SetAnalogueMode:
            analogue[index].mode = p2;
            break;
        case SetAnalogueScale:
            analogue[index].minimum = bitsToFloat(p2);
            analogue[index].maximum = bitsToFloat(p3);
            break;
        default:
            break;
    }
}

void Controller::setInput(int pin, bool high) {
    if (pin >= 1 && pin <= kInputCount) inputs_[static_cast<std::size_t>(pin - 1)] = high;
}

void Controller::setOutput(int pin, bool high) {
    const int index = pin - kFirstOutputPin;
    if (index >= 0 && index < kOutputCount) outputs_[static_cast<std::size_t>(index)] = high;
}

bool Controller::pinLevel(int pin) const {
    if (pin >= 1 && pin <= kInputCount) return inputs_[static_cast<std::size_t>(pin - 1)];
    const int index = pin - kFirstOutputPin;
    return index >= 0 && index < kOutputCount && outputs_[static_cast<std::size_t>(index)];
}

std::uint32_t Controller::pinBits(int firstPin) const {
    std::uint32_t bits = 0;
    for (int n = 0; n < 32; ++n)
        if (pinLevel(firstPin + n)) bits |= 1u << n;
    return bits;
}

std::vector<ProgramRecord> Controller::program(int number) const {
    const auto found = programs_.find(number);
    return found == programs_.end() ? std::vector<ProgramRecord>{} : found->second;
}

}  // namespace ravo_sim
