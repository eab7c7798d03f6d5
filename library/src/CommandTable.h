// The controller commands: one row per command with its code, how each of its three
// parameters is packed from the caller's argument and which reply field it returns, reduced how.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace ravo_lib {

// How one caller argument becomes a 32-bit frame parameter.
enum class Param : std::uint8_t {
    Unused,  // sent as 0
    Byte,    // low 8 bits of an int, zero-extended
    Bits16,  // low 16 bits of an int, zero-extended
    Int,     // the int unchanged
    Float,   // the float's IEEE-754 bit pattern unchanged
};

// What the command hands back to the caller, taken from one reply field.
enum class Result : std::uint8_t {
    None,
    Int,    // the field as a two's-complement int
    Float,  // the field's bits as a single-precision float
    Flag,   // 1 when the field is not 0, else 0 (a byte)
    Byte,   // the field's low 8 bits
};

enum class Command : std::uint8_t {
    GetControllerVersion,
    SetWorkMode,
    GetWorkMode,
    SetControllerAddr,
    GetControllerAddr,
    PauseController,
    ContinueController,
    Beeper,
    SetIOPinLevel,
    GetIOPinLevel,
    GetAllIOPinLevel,
    SetMotorLimitSignal,
    SetEncodeLineNum,
    SetEncodeMode,
    SetADWorlMode,
    SetADValueScale,
    ReadADValue,
    SetMotorDriveDiv,
    GetMotorDriveDiv,
    SetMotorPitch,
    GetMotorPitch,
    SetMotorAcc,
    GetMotorAcc,
    SetMotorDec,
    GetMotorDec,
    SetMotorMaxSpeed,
    SetMotorMinSpeed,
    GetMotorCurSpeed,
    MotorMove,
    MotorGoPos,
    QuickStopMotor,
    SlowStopMotor,
    ClearMotorPosition,
    GetMotorPosition,
    MotorIsRunning,
    Line2Move,
    Line2Goto,
    Line3Move,
    Line3Goto,
    Line2MoveDM,
    Line2GotoDM,
    Line3MoveDM,
    Line3GotoDM,
    CircleMoveG2_Pos,
    CircleMoveG2_Angle,
    CircleMoveG3_Pos,
    CircleMoveG3_Angle,
    ManualLeftMove,
    ManualRightMove,
    Count
};

struct CommandRow {
    Command command;
    std::uint8_t code;
    std::array<Param, 3> params;
    std::uint8_t replyField;  // 1..3, 0 when the command returns nothing
    Result result;
};

namespace table {
constexpr Param _ = Param::Unused, Byte = Param::Byte, B16 = Param::Bits16, Int = Param::Int, Flt = Param::Float;
constexpr Result None = Result::None, RInt = Result::Int, RFlt = Result::Float, Flag = Result::Flag,
                 RByte = Result::Byte;
using C = Command;

// The axis mask of the motor commands is an Int: the controller reads all 32 bits.
inline constexpr CommandRow kRows[] = {
    {C::GetControllerVersion, 2, {_, _, _}, 2, RInt},
    {C::SetWorkMode, 6, {Int, Byte, _}, 0, None},
    {C::GetWorkMode, 7, {_, _, _}, 1, RInt},
    {C::SetControllerAddr, 4, {Byte, _, _}, 0, None},
    {C::GetControllerAddr, 5, {_, _, _}, 2, RByte},
    {C::PauseController, 0x0B, {_, _, _}, 0, None},
    {C::ContinueController, 0x0C, {_, _, _}, 0, None},
    {C::Beeper, 0x14, {Int, _, _}, 0, None},
    {C::SetIOPinLevel, 0x15, {Byte, Byte, _}, 0, None},
    {C::GetIOPinLevel, 0x16, {Byte, _, _}, 2, Flag},
    {C::GetAllIOPinLevel, 0x17, {B16, _, _}, 2, RInt},
    {C::SetMotorLimitSignal, 0x18, {Int, Int, Int}, 0, None},
    {C::SetEncodeLineNum, 0x1D, {Byte, Int, Flt}, 0, None},
    {C::SetEncodeMode, 0x1E, {Byte, Int, _}, 0, None},
    {C::SetADWorlMode, 0x20, {Byte, Int, _}, 0, None},
    {C::SetADValueScale, 0x21, {Byte, Flt, Flt}, 0, None},
    {C::ReadADValue, 0x22, {Byte, _, _}, 0, None},
    {C::SetMotorDriveDiv, 0x78, {Int, Int, _}, 0, None},
    {C::GetMotorDriveDiv, 0x79, {Int, _, _}, 2, RInt},
    {C::SetMotorPitch, 0x7A, {Int, Flt, _}, 0, None},
    {C::GetMotorPitch, 0x7B, {Int, _, _}, 2, RFlt},
    {C::SetMotorAcc, 0x7C, {Int, Int, _}, 0, None},
    {C::GetMotorAcc, 0x7D, {Int, _, _}, 2, RInt},
    {C::SetMotorDec, 0x7E, {Int, Int, _}, 0, None},
    {C::GetMotorDec, 0x7F, {Int, _, _}, 2, RInt},
    {C::SetMotorMaxSpeed, 0x80, {Int, Flt, _}, 0, None},
    {C::SetMotorMinSpeed, 0x81, {Int, Flt, _}, 0, None},
    {C::GetMotorCurSpeed, 0x82, {Int, _, _}, 2, RFlt},
    {C::MotorMove, 0x83, {Int, Flt, _}, 0, None},
    {C::MotorGoPos, 0x84, {Int, Flt, _}, 0, None},
    {C::QuickStopMotor, 0x85, {Int, _, _}, 0, None},
    {C::SlowStopMotor, 0x86, {Int, _, _}, 0, None},
    {C::ClearMotorPosition, 0x88, {Int, _, _}, 0, None},
    {C::GetMotorPosition, 0x89, {Int, _, _}, 2, RFlt},
    {C::MotorIsRunning, 0x8A, {Int, _, _}, 1, Flag},
    {C::Line2Move, 0x90, {Int, Int, _}, 0, None},
    {C::Line2Goto, 0x91, {Int, Int, _}, 0, None},
    {C::Line3Move, 0x92, {Int, Int, Int}, 0, None},
    {C::Line3Goto, 0x93, {Int, Int, Int}, 0, None},
    {C::Line2MoveDM, 0x94, {B16, B16, _}, 0, None},
    {C::Line2GotoDM, 0x95, {B16, B16, _}, 0, None},
    {C::Line3MoveDM, 0x96, {B16, B16, B16}, 0, None},
    {C::Line3GotoDM, 0x97, {B16, B16, B16}, 0, None},
    {C::CircleMoveG2_Pos, 0x98, {Int, Int, Int}, 0, None},
    {C::CircleMoveG2_Angle, 0x99, {Int, Int, Int}, 0, None},
    {C::CircleMoveG3_Pos, 0x9A, {Int, Int, Int}, 0, None},
    {C::CircleMoveG3_Angle, 0x9B, {Int, Int, Int}, 0, None},
    {C::ManualLeftMove, 0xB4, {Int, _, _}, 0, None},
    {C::ManualRightMove, 0xB5, {Int, _, _}, 0, None},
};
}  // namespace table

constexpr const CommandRow& commandRow(Command command) { return table::kRows[static_cast<std::size_t>(command)]; }

constexpr bool rowsFollowCommandOrder() {
    constexpr std::size_t count = static_cast<std::size_t>(Command::Count);
    if (sizeof table::kRows / sizeof table::kRows[0] != count) return false;
    for (std::size_t i = 0; i < count; ++i)
        if (table::kRows[i].command != static_cast<Command>(i)) return false;
    return true;
}
static_assert(rowsFollowCommandOrder(), "one row per Command, in the order of the enum");

}  // namespace ravo_lib
