#include "core/traffic/CommandFormats.h"

#include <iterator>

namespace kelvane {

namespace {

constexpr Field _{"", FieldKind::None};
constexpr Field kAxis{"axis", FieldKind::Axis};
constexpr Field kValue{"value", FieldKind::Int};
constexpr Field kSpeed{"value", FieldKind::Float};
constexpr Field kA{"a", FieldKind::Int}, kB{"b", FieldKind::Int}, kC{"c", FieldKind::Int};
constexpr Field kDmA{"a", FieldKind::Register}, kDmB{"b", FieldKind::Register}, kDmC{"c", FieldKind::Register};
constexpr Field kMode{"mode", FieldKind::Int};

constexpr CommandFormat kFormats[] = {
    {0x02, "Ravo_GetControllerVersion", {_, _, _}, 2, {"version", FieldKind::Version}},
    {0x04, "Ravo_SetControllerAddr", {{{"newAddr", FieldKind::Byte}, _, _}}, 0, _},
    {0x05, "Ravo_GetControllerAddr", {_, _, _}, 2, {"addr", FieldKind::Byte}},
    {0x06, "Ravo_SetWorkMode", {{kMode, {"argument", FieldKind::Byte}, _}}, 0, _},
    {0x07, "Ravo_GetWorkMode", {_, _, _}, 1, kMode},
    {0x0B, "Ravo_PauseController", {_, _, _}, 0, _},
    {0x0C, "Ravo_ContinueController", {_, _, _}, 0, _},
    {0x14, "Ravo_Beeper", {{kValue, _, _}}, 0, _},
    {0x15, "Ravo_SetIOPinLevel", {{{"pin", FieldKind::Pin}, {"level", FieldKind::Byte}, _}}, 0, _},
    {0x16, "Ravo_GetIOPinLevel", {{{"pin", FieldKind::Pin}, _, _}}, 2, {"level", FieldKind::Flag}},
    {0x17, "Ravo_GetAllIOPinLevel", {{{"firstPin", FieldKind::Pin}, _, _}}, 2, {"bits", FieldKind::Bits}},
    {0x18, "SetMotorLimitSignal", {{kAxis, {"negative", FieldKind::Input}, {"positive", FieldKind::Input}}}, 0, _},
    {0x1D,
     "Ravo_SetEncodeLineNum",
     {{{"encoder", FieldKind::Byte}, {"lines", FieldKind::Int}, {"ratio", FieldKind::Float}}},
     0,
     _},
    {0x1E, "Ravo_SetEncodeMode", {{{"encoder", FieldKind::Byte}, kMode, _}}, 0, _},
    {0x20, "Ravo_SetADWorlMode", {{{"channel", FieldKind::Byte}, kMode, _}}, 0, _},
    {0x21,
     "Ravo_SetADValueScale",
     {{{"channel", FieldKind::Byte}, {"min", FieldKind::Float}, {"max", FieldKind::Float}}},
     0,
     _},
    {0x22, "Ravo_ReadADValue", {{{"channel", FieldKind::Byte}, _, _}}, 0, _},
    {0x78, "Ravo_SetMotorDriveDiv", {{kAxis, kValue, _}}, 0, _},
    {0x79, "Ravo_GetMotorDriveDiv", {{kAxis, _, _}}, 2, kValue},
    {0x7A, "Ravo_SetMotorPitch", {{kAxis, kSpeed, _}}, 0, _},
    {0x7B, "Ravo_GetMotorPitch", {{kAxis, _, _}}, 2, kSpeed},
    {0x7C, "Ravo_SetMotorAcc", {{kAxis, kValue, _}}, 0, _},
    {0x7D, "Ravo_GetMotorAcc", {{kAxis, _, _}}, 2, kValue},
    {0x7E, "Ravo_SetMotorDec", {{kAxis, kValue, _}}, 0, _},
    {0x7F, "Ravo_GetMotorDec", {{kAxis, _, _}}, 2, kValue},
    {0x80, "Ravo_SetMotorMaxSpeed", {{kAxis, kSpeed, _}}, 0, _},
    {0x81, "Ravo_SetMotorMinSpeed", {{kAxis, kSpeed, _}}, 0, _},
    {0x82, "Ravo_GetMotorCurSpeed", {{kAxis, _, _}}, 2, kSpeed},
    {0x83, "Ravo_MotorMove", {{kAxis, {"distance", FieldKind::Float}, _}}, 0, _},
    {0x84, "Ravo_MotorGoPos", {{kAxis, {"position", FieldKind::Float}, _}}, 0, _},
    {0x85, "Ravo_QuickStopMotor", {{kAxis, _, _}}, 0, _},
    {0x86, "Ravo_SlowStopMotor", {{kAxis, _, _}}, 0, _},
    {0x88, "Ravo_ClearMotorPosition", {{kAxis, _, _}}, 0, _},
    {0x89, "Ravo_GetMotorPosition", {{kAxis, _, _}}, 2, {"position", FieldKind::Float}},
    {0x8A, "Ravo_MotorIsRunning", {{kAxis, _, _}}, 1, {"running", FieldKind::Flag}},
    {0x90, "Ravo_Line2Move", {{kA, kB, _}}, 0, _},
    {0x91, "Ravo_Line2Goto", {{kA, kB, _}}, 0, _},
    {0x92, "Ravo_Line3Move", {{kA, kB, kC}}, 0, _},
    {0x93, "Ravo_Line3Goto", {{kA, kB, kC}}, 0, _},
    {0x94, "Ravo_Line2MoveDM", {{kDmA, kDmB, _}}, 0, _},
    {0x95, "Ravo_Line2GotoDM", {{kDmA, kDmB, _}}, 0, _},
    {0x96, "Ravo_Line3MoveDM", {{kDmA, kDmB, kDmC}}, 0, _},
    {0x97, "Ravo_Line3GotoDM", {{kDmA, kDmB, kDmC}}, 0, _},
    {0x98, "Ravo_CircleMoveG2_Pos", {{kA, kB, kC}}, 0, _},
    {0x99, "Ravo_CircleMoveG2_Angle", {{kA, kB, kC}}, 0, _},
    {0x9A, "Ravo_CircleMoveG3_Pos", {{kA, kB, kC}}, 0, _},
    {0x9B, "Ravo_CircleMoveG3_Angle", {{kA, kB, kC}}, 0, _},
    {0xB4, "Ravo_ManualLeftMove", {{kAxis, _, _}}, 0, _},
    {0xB5, "Ravo_ManualRightMove", {{kAxis, _, _}}, 0, _},
};

}  // namespace

const CommandFormat* FindCommandFormat(std::uint8_t code) {
    for (const CommandFormat& format : kFormats)
        if (format.code == code) return &format;
    return nullptr;
}

}  // namespace kelvane
