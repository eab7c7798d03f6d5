// The controller command exports. Each one is its row of the command table (CommandTable.h);
// only Ravo_CommandRawData, which sends any code, has a body of its own.
#include "Kelvane_Ravo_Q9T2.h"

#include "CommandRunner.h"
#include "FrameExchange.h"
#include "LibraryState.h"

using ravo_lib::Command;
using ravo_lib::queryCommand;
using ravo_lib::sendCommand;

extern "C" {

int Ravo_GetControllerVersion(int addr, int* version) {
    return queryCommand<Command::GetControllerVersion>(addr, version);
}
int Ravo_SetWorkMode(int addr, int mode, int argument) {
    return sendCommand<Command::SetWorkMode>(addr, mode, argument);
}
int Ravo_GetWorkMode(int addr, int* mode) { return queryCommand<Command::GetWorkMode>(addr, mode); }
int Ravo_SetControllerAddr(int addr, int newAddr) { return sendCommand<Command::SetControllerAddr>(addr, newAddr); }
int Ravo_GetControllerAddr(unsigned char* addr) {
    return queryCommand<Command::GetControllerAddr>(RAVO_ANY_CONTROLLER_ADDRESS, addr);
}
int Ravo_PauseController(int addr) { return sendCommand<Command::PauseController>(addr); }
int Ravo_ContinueController(int addr) { return sendCommand<Command::ContinueController>(addr); }
int Ravo_Beeper(int addr, int value) { return sendCommand<Command::Beeper>(addr, value); }

int Ravo_SetIOPinLevel(int addr, int pin, int level) { return sendCommand<Command::SetIOPinLevel>(addr, pin, level); }
int Ravo_GetIOPinLevel(int addr, int pin, unsigned char* level) {
    return queryCommand<Command::GetIOPinLevel>(addr, level, pin);
}
int Ravo_GetAllIOPinLevel(int addr, int firstPin, int* bits) {
    return queryCommand<Command::GetAllIOPinLevel>(addr, bits, firstPin);
}
int SetMotorLimitSignal(int addr, int axisMask, int negative, int positive) {
    return sendCommand<Command::SetMotorLimitSignal>(addr, axisMask, negative, positive);
}

int Ravo_SetEncodeLineNum(int addr, int encoder, int lines, float ratio) {
    return sendCommand<Command::SetEncodeLineNum>(addr, encoder, lines, ratio);
}
int Ravo_SetEncodeMode(int addr, int encoder, int mode) {
    return sendCommand<Command::SetEncodeMode>(addr, encoder, mode);
}
int Ravo_SetADWorlMode(int addr, int channel, int mode) {
    return sendCommand<Command::SetADWorlMode>(addr, channel, mode);
}
int Ravo_SetADValueScale(int addr, int channel, float min, float max) {
    return sendCommand<Command::SetADValueScale>(addr, channel, min, max);
}
// The reply's layout is not settled, so the reading is not passed on.
float Ravo_ReadADValue(int addr, int channel) {
    sendCommand<Command::ReadADValue>(addr, channel);
    return 0.0f;
}

int Ravo_SetMotorDriveDiv(int addr, int axisMask, int value) {
    return sendCommand<Command::SetMotorDriveDiv>(addr, axisMask, value);
}
int Ravo_GetMotorDriveDiv(int addr, int axisMask, int* value) {
    return queryCommand<Command::GetMotorDriveDiv>(addr, value, axisMask);
}
int Ravo_SetMotorPitch(int addr, int axisMask, float value) {
    return sendCommand<Command::SetMotorPitch>(addr, axisMask, value);
}
int Ravo_GetMotorPitch(int addr, int axisMask, float* value) {
    return queryCommand<Command::GetMotorPitch>(addr, value, axisMask);
}
int Ravo_SetMotorAcc(int addr, int axisMask, int value) {
    return sendCommand<Command::SetMotorAcc>(addr, axisMask, value);
}
int Ravo_GetMotorAcc(int addr, int axisMask, int* value) {
    return queryCommand<Command::GetMotorAcc>(addr, value, axisMask);
}
int Ravo_SetMotorDec(int addr, int axisMask, int value) {
    return sendCommand<Command::SetMotorDec>(addr, axisMask, value);
}
int Ravo_GetMotorDec(int addr, int axisMask, int* value) {
    return queryCommand<Command::GetMotorDec>(addr, value, axisMask);
}
int Ravo_SetMotorMaxSpeed(int addr, int axisMask, float value) {
    return sendCommand<Command::SetMotorMaxSpeed>(addr, axisMask, value);
}
int Ravo_SetMotorMinSpeed(int addr, int axisMask, float value) {
    return sendCommand<Command::SetMotorMinSpeed>(addr, axisMask, value);
}
int Ravo_GetMotorCurSpeed(int addr, int axisMask, float* value) {
    return queryCommand<Command::GetMotorCurSpeed>(addr, value, axisMask);
}
int Ravo_GetMotorPosition(int addr, int axisMask, float* value) {
    return queryCommand<Command::GetMotorPosition>(addr, value, axisMask);
}

int Ravo_MotorMove(int addr, int axisMask, float distance) {
    return sendCommand<Command::MotorMove>(addr, axisMask, distance);
}
int Ravo_MotorGoPos(int addr, int axisMask, float position) {
    return sendCommand<Command::MotorGoPos>(addr, axisMask, position);
}
int Ravo_QuickStopMotor(int addr, int axisMask) { return sendCommand<Command::QuickStopMotor>(addr, axisMask); }
int Ravo_SlowStopMotor(int addr, int axisMask) { return sendCommand<Command::SlowStopMotor>(addr, axisMask); }
int Ravo_ClearMotorPosition(int addr, int axisMask) { return sendCommand<Command::ClearMotorPosition>(addr, axisMask); }
int Ravo_ManualLeftMove(int addr, int axisMask) { return sendCommand<Command::ManualLeftMove>(addr, axisMask); }
int Ravo_ManualRightMove(int addr, int axisMask) { return sendCommand<Command::ManualRightMove>(addr, axisMask); }
int Ravo_MotorIsRunning(int addr, int axisMask, unsigned char* running) {
    return queryCommand<Command::MotorIsRunning>(addr, running, axisMask);
}

int Ravo_Line2Move(int addr, int a, int b) { return sendCommand<Command::Line2Move>(addr, a, b); }
int Ravo_Line2Goto(int addr, int a, int b) { return sendCommand<Command::Line2Goto>(addr, a, b); }
int Ravo_Line2MoveDM(int addr, int a, int b) { return sendCommand<Command::Line2MoveDM>(addr, a, b); }
int Ravo_Line2GotoDM(int addr, int a, int b) { return sendCommand<Command::Line2GotoDM>(addr, a, b); }
int Ravo_Line3Move(int addr, int a, int b, int c) { return sendCommand<Command::Line3Move>(addr, a, b, c); }
int Ravo_Line3Goto(int addr, int a, int b, int c) { return sendCommand<Command::Line3Goto>(addr, a, b, c); }
int Ravo_Line3MoveDM(int addr, int a, int b, int c) { return sendCommand<Command::Line3MoveDM>(addr, a, b, c); }
int Ravo_Line3GotoDM(int addr, int a, int b, int c) { return sendCommand<Command::Line3GotoDM>(addr, a, b, c); }
int Ravo_CircleMoveG2_Pos(int addr, int a, int b, int c) {
    return sendCommand<Command::CircleMoveG2_Pos>(addr, a, b, c);
}
int Ravo_CircleMoveG3_Pos(int addr, int a, int b, int c) {
    return sendCommand<Command::CircleMoveG3_Pos>(addr, a, b, c);
}
int Ravo_CircleMoveG2_Angle(int addr, int a, int b, int c) {
    return sendCommand<Command::CircleMoveG2_Angle>(addr, a, b, c);
}
int Ravo_CircleMoveG3_Angle(int addr, int a, int b, int c) {
    return sendCommand<Command::CircleMoveG3_Angle>(addr, a, b, c);
}

// Any code to the attached controller. The caller's values are the parameters and are replaced
// by the reply fields only when a reply came, so a caller can preset them to tell "no reply".
int Ravo_CommandRawData(int command, int* p1, int* p2, int* p3) {
    ravo_lib::LibraryLockGuard guard(ravo_lib::libraryLock());
    auto valueOf = [](const int* p) { return p ? ravo_lib::argumentBits(*p) : 0u; };
    ravo_lib::buildFrame(static_cast<std::uint8_t>(command), RAVO_ANY_CONTROLLER_ADDRESS, valueOf(p1), valueOf(p2),
                         valueOf(p3));
    std::uint32_t field1 = 0, field2 = 0, field3 = 0;
    if (ravo_lib::exchangeFrame(field1, field2, field3) == ravo_lib::ExchangeOk) {
        ravo_lib::storeResult(p1, field1);
        ravo_lib::storeResult(p2, field2);
        ravo_lib::storeResult(p3, field3);
    }
    return RAVO_OK;
}

}  // extern "C"
