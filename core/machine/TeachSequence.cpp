#include "TeachSequence.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <chrono>
#include <thread>

namespace kelvane {

namespace {

constexpr int kTotalPointsRegister = 360;
constexpr int kRecordPointRegister = 361;
constexpr int kInputMaskRegister = 362;
constexpr int kOutputMaskRegister = 364;
constexpr int kDelayRegister = 366;
constexpr int kStartCoil = 157;
constexpr int kEndCoil = 158;
constexpr int kSaveCoil = 159;
constexpr auto kStoreTime = std::chrono::milliseconds(50);

std::uint16_t ReadRegister(int address) {
    short value = 0;
    Modbus_ReadShort(kControllerAddress, address, &value);
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::uint16_t ReadRecordPoint() { return ReadRegister(kRecordPointRegister); }

RecordCounters ReadRecordCounters() {
    RecordCounters counters;
    counters.recordPoint = ReadRegister(kRecordPointRegister);
    counters.totalPoints = ReadRegister(kTotalPointsRegister);
    return counters;
}

TeachActivation ReadTeachActivation() {
    TeachActivation state;
    // The controller sees a record-point read before the axis queries; the value that counts
    // is the one read after them.
    ReadRecordPoint();
    state.positions = ReadAxisPositions();
    state.speeds = ReadAxisSpeeds();
    state.counters = ReadRecordCounters();
    return state;
}

void WriteTotalPoints(std::int32_t total) {
    Modbus_WriteShort(kControllerAddress, kTotalPointsRegister, total & 0xFFFF);
}

void WriteRecordPoint(std::int32_t recordPoint) {
    Modbus_WriteShort(kControllerAddress, kRecordPointRegister, recordPoint & 0xFFFF);
}

RecordCounters StartRecording() {
    Modbus_WriteCoil(kControllerAddress, kStartCoil, 0);
    return ReadRecordCounters();
}

RecordCounters SaveRecordPoint(std::uint32_t inputMask, std::uint32_t outputMask, float delayMs) {
    Modbus_WriteLong(kControllerAddress, kInputMaskRegister, static_cast<int>(inputMask));
    Modbus_WriteLong(kControllerAddress, kOutputMaskRegister, static_cast<int>(outputMask));
    Modbus_WriteFloat(kControllerAddress, kDelayRegister, delayMs);
    Modbus_WriteCoil(kControllerAddress, kSaveCoil, 0);
    std::this_thread::sleep_for(kStoreTime);
    return ReadRecordCounters();
}

void EndRecording() { Modbus_WriteCoil(kControllerAddress, kEndCoil, 0); }

}  // namespace kelvane
