// The command exports over a pty peer: each one's frame with its code and reduced arguments,
// the reply field it hands back, what a failed exchange leaves, and the lock that keeps
// concurrent callers apart.
#include "PtyPeer.h"
#include "WireVocabulary.h"

namespace {

// Arguments chosen so that every kind of reduction shows in the frame.
constexpr int A = 0x1FE;       // address: sent as FE
constexpr int I = 0x12345678;  // integer: unchanged
constexpr int N = -2;          // integer: FF FF FF FE
constexpr int B = 0x1AB;       // byte argument: AB
constexpr int W = 0x12345;     // 16-bit argument: 23 45
constexpr float F = -2.5f, G = 1.0f;
const std::uint32_t kN = 0xFFFFFFFEu, kF = FloatBits(F), kG = FloatBits(G);

// Every reply: field 1 is a flag in bit 8 only (a byte cut reads 0), field 2 a negative int, a
// float (-2.50003) and a byte 85 at once, field 3 unlike both.
constexpr std::uint32_t kField1 = 0x100, kField2 = 0xC0200085, kField3 = 0x33333333;

std::uint32_t bits(int v) { return static_cast<std::uint32_t>(v); }
std::uint32_t bits(float v) { return FloatBits(v); }
// A send gives its result, a query what it stored over a preset 9.
#define SEND(call) [] { return bits(call); }
// clang-format off
#define QUERY(T, call) [] { T v = 9; EXPECT_EQ(call, 0); return bits(v); }
// clang-format on

struct Command {
    std::function<std::uint32_t()> call;
    std::uint8_t address, code;
    std::uint32_t p1 = 0, p2 = 0, p3 = 0, stored = 0;
};

const Command kCommands[] = {
    {QUERY(int, Ravo_GetControllerVersion(A, &v)), 0xFE, cmd::Version, 0, 0, 0, kField2},
    {SEND(Ravo_SetWorkMode(A, I, B)), 0xFE, cmd::SetWorkMode, I, 0xAB},
    {QUERY(int, Ravo_GetWorkMode(A, &v)), 0xFE, 7, 0, 0, 0, kField1},
    {SEND(Ravo_SetControllerAddr(A, 300)), 0xFE, cmd::SetRs485Address, 44},
    {QUERY(unsigned char, Ravo_GetControllerAddr(&v)), 0xFF, cmd::GetRs485Address, 0, 0, 0, kField2 & 0xFF},
    {SEND(Ravo_PauseController(A)), 0xFE, 0x0B},
    {SEND(Ravo_ContinueController(A)), 0xFE, 0x0C},
    {SEND(Ravo_Beeper(A, N)), 0xFE, 0x14, kN},
    {SEND(Ravo_SetIOPinLevel(A, B, 0x101)), 0xFE, cmd::SetPin, 0xAB, 1},
    {QUERY(unsigned char, Ravo_GetIOPinLevel(A, B, &v)), 0xFE, cmd::GetPin, 0xAB, 0, 0, 1},
    {QUERY(int, Ravo_GetAllIOPinLevel(A, 65537, &v)), 0xFE, cmd::GetAllPins, 1, 0, 0, kField2},
    {SEND(SetMotorLimitSignal(A, I, N, 255)), 0xFE, cmd::Limits, I, kN, 255},
    {SEND(Ravo_SetEncodeLineNum(A, B, I, F)), 0xFE, cmd::EncoderLines, 0xAB, I, kF},
    {SEND(Ravo_SetEncodeMode(A, B, N)), 0xFE, cmd::EncoderMode, 0xAB, kN},
    {SEND(Ravo_SetADWorlMode(A, B, I)), 0xFE, cmd::AnalogueMode, 0xAB, I},
    {SEND(Ravo_SetADValueScale(A, B, G, F)), 0xFE, cmd::AnalogueScale, 0xAB, kG, kF},
    {SEND(Ravo_ReadADValue(A, B)), 0xFE, 0x22, 0xAB},  // the reply is not passed on
    {SEND(Ravo_SetMotorDriveDiv(A, I, N)), 0xFE, cmd::SetSubdivision, I, kN},
    {QUERY(int, Ravo_GetMotorDriveDiv(A, I, &v)), 0xFE, cmd::GetSubdivision, I, 0, 0, kField2},
    {SEND(Ravo_SetMotorPitch(A, N, G)), 0xFE, cmd::SetPitch, kN, kG},
    {QUERY(float, Ravo_GetMotorPitch(A, I, &v)), 0xFE, cmd::GetPitch, I, 0, 0, kField2},
    {SEND(Ravo_SetMotorAcc(A, I, N)), 0xFE, cmd::SetAcceleration, I, kN},
    {QUERY(int, Ravo_GetMotorAcc(A, I, &v)), 0xFE, cmd::GetAcceleration, I, 0, 0, kField2},
    {SEND(Ravo_SetMotorDec(A, I, N)), 0xFE, 0x7E, I, kN},
    {QUERY(int, Ravo_GetMotorDec(A, I, &v)), 0xFE, 0x7F, I, 0, 0, kField2},
    {SEND(Ravo_SetMotorMaxSpeed(A, I, F)), 0xFE, cmd::MaxSpeed, I, kF},
    {SEND(Ravo_SetMotorMinSpeed(A, I, G)), 0xFE, cmd::SetMinimumSpeed, I, kG},
    {QUERY(float, Ravo_GetMotorCurSpeed(A, I, &v)), 0xFE, cmd::Speed, I, 0, 0, kField2},
    {SEND(Ravo_MotorMove(A, I, F)), 0xFE, cmd::Move, I, kF},
    {SEND(Ravo_MotorGoPos(A, N, G)), 0xFE, cmd::GoPosition, kN, kG},
    {SEND(Ravo_QuickStopMotor(A, I)), 0xFE, cmd::QuickStop, I},
    {SEND(Ravo_SlowStopMotor(A, I)), 0xFE, cmd::SlowStop, I},
    {SEND(Ravo_ClearMotorPosition(A, I)), 0xFE, cmd::ClearPosition, I},
    {QUERY(float, Ravo_GetMotorPosition(A, I, &v)), 0xFE, cmd::Position, I, 0, 0, kField2},
    {QUERY(unsigned char, Ravo_MotorIsRunning(A, I, &v)), 0xFE, 0x8A, I, 0, 0, 1},
    {SEND(Ravo_Line2Move(A, I, N)), 0xFE, 0x90, I, kN},
    {SEND(Ravo_Line2Goto(A, I, N)), 0xFE, 0x91, I, kN},
    {SEND(Ravo_Line3Move(A, I, N, 7)), 0xFE, 0x92, I, kN, 7},
    {SEND(Ravo_Line3Goto(A, I, N, 7)), 0xFE, 0x93, I, kN, 7},
    {SEND(Ravo_Line2MoveDM(A, W, N)), 0xFE, 0x94, 0x2345, 0xFFFE},
    {SEND(Ravo_Line2GotoDM(A, W, N)), 0xFE, 0x95, 0x2345, 0xFFFE},
    {SEND(Ravo_Line3MoveDM(A, W, N, 0x10007)), 0xFE, 0x96, 0x2345, 0xFFFE, 7},
    {SEND(Ravo_Line3GotoDM(A, W, N, 0x10007)), 0xFE, 0x97, 0x2345, 0xFFFE, 7},
    {SEND(Ravo_CircleMoveG2_Pos(A, I, N, 7)), 0xFE, 0x98, I, kN, 7},
    {SEND(Ravo_CircleMoveG2_Angle(A, I, N, 7)), 0xFE, 0x99, I, kN, 7},
    {SEND(Ravo_CircleMoveG3_Pos(A, I, N, 7)), 0xFE, 0x9A, I, kN, 7},
    {SEND(Ravo_CircleMoveG3_Angle(A, I, N, 7)), 0xFE, 0x9B, I, kN, 7},
    {SEND(Ravo_ManualLeftMove(A, I)), 0xFE, cmd::JogLeft, I},
    {SEND(Ravo_ManualRightMove(A, I)), 0xFE, cmd::JogRight, I},
};

}  // namespace

using CommandFrames = CommandPeerTest;

TEST_F(CommandFrames, EachExportSendsItsFrameAndStoresItsReplyField) {
    replyWith(kField1, kField2, kField3);
    for (const Command& command : kCommands) {
        SCOPED_TRACE(int{command.code});
        EXPECT_EQ(command.call(), command.stored);
        EXPECT_EQ(hex(lastRequest()),
                  hex(commandFrame(command.address, command.code, command.p1, command.p2, command.p3)));
    }
    EXPECT_EQ(peer.requests().size(), std::size(kCommands)) << "one frame each";
    EXPECT_EQ(Ravo_GetMotorPosition(255, 1, nullptr), 0) << "a null out-parameter is skipped";
    int value = 7;  // any code; a null value goes out as 0 (SerialLink checks more frames)
    EXPECT_EQ(Ravo_CommandRawData(18, nullptr, &value, nullptr), 0);
    EXPECT_EQ(lastRequest(), commandFrame(0xFF, 18, 0, 7, 0));
    EXPECT_EQ(value, int(kField2));
}

// Queries store 0; Ravo_CommandRawData keeps the caller's values, so they can tell "no reply".
TEST_F(CommandFrames, FailedExchangesStoreZeroButRawDataKeepsItsValues) {
    peer.answerWith({});
    int raw[3] = {-7, -8, -9};
    Ravo_CommandRawData(18, &raw[0], &raw[1], &raw[2]);
    EXPECT_EQ(kCommands[0].call(), 0u) << "no reply";
    Ravo_CloseSericalPort();
    const std::size_t sent = peer.requests().size();
    for (const Command& command : kCommands) EXPECT_EQ(command.call(), 0u) << int{command.code};
    EXPECT_EQ(Ravo_CommandRawData(18, &raw[0], &raw[1], &raw[2]), 0);
    EXPECT_EQ(std::vector<int>(raw, raw + 3), (std::vector<int>{-7, -8, -9}));
    EXPECT_EQ(peer.requests().size(), sent) << "nothing reaches a closed port";
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_NO_PORT) << "and its exchanges leave it closed";
}

TEST_F(CommandFrames, ConcurrentCallersNeverShareAnExchange) {
    echoRotatedInverted();
    constexpr int kThreads = 4, kCalls = 15;
    std::vector<std::thread> threads;
    std::atomic<int> mismatches{0};
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &mismatches] {
            for (int call = 0; call < kCalls; ++call) {
                const int tag = (t + 1) * 1000 + call;
                int a = tag, b = -tag, c = tag * 3, div = 0;
                Ravo_CommandRawData(40 + t, &a, &b, &c);
                Ravo_GetMotorDriveDiv(255, tag, &div);
                if (a != ~(tag * 3) || b != ~tag || c != ~-tag || div != ~tag) ++mismatches;
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(mismatches, 0);
    EXPECT_EQ(peer.requests().size(), std::size_t{2 * kThreads * kCalls});
}
