// The command exports over a pty peer: frame bytes, argument reduction, reply decoding and what
// a failed exchange leaves behind.
#include "PtyPeer.h"
#include "WireVocabulary.h"

#include <functional>

namespace {

// Arguments chosen so that every kind of reduction shows in the frame.
constexpr int A = 0x1FE;       // address: sent as FE
constexpr int I = 0x12345678;  // integer: unchanged
constexpr int N = -2;          // integer: FF FF FF FE
constexpr int B = 0x1AB;       // byte argument: AB
constexpr int W = 0x12345;     // 16-bit argument: 23 45
constexpr float F = -2.5f;     // C0 20 00 00
constexpr float G = 1.0f;      // 3F 80 00 00
const std::uint32_t kN = 0xFFFFFFFEu, kF = 0xC0200000u, kG = 0x3F800000u;

// Where the queries store their results.
int si;
float sf;
unsigned char sc;

struct Command {
    const char* name;
    std::function<int()> call;
    std::uint8_t address, code;
    std::uint32_t p1, p2, p3;
    bool query;  // stores into si, sf or sc
};

const std::vector<Command> kCommands = {
    {"GetControllerVersion", [] { return Ravo_GetControllerVersion(A, &si); }, 0xFE, 2, 0, 0, 0, 1},
    {"SetWorkMode", [] { return Ravo_SetWorkMode(A, I, B); }, 0xFE, 6, I, 0xAB, 0, 0},
    {"GetWorkMode", [] { return Ravo_GetWorkMode(A, &si); }, 0xFE, 7, 0, 0, 0, 1},
    {"SetControllerAddr", [] { return Ravo_SetControllerAddr(A, 300); }, 0xFE, 4, 44, 0, 0, 0},
    {"GetControllerAddr", [] { return Ravo_GetControllerAddr(&sc); }, 0xFF, 5, 0, 0, 0, 1},
    {"PauseController", [] { return Ravo_PauseController(A); }, 0xFE, 0x0B, 0, 0, 0, 0},
    {"ContinueController", [] { return Ravo_ContinueController(A); }, 0xFE, 0x0C, 0, 0, 0, 0},
    {"Beeper", [] { return Ravo_Beeper(A, N); }, 0xFE, 0x14, kN, 0, 0, 0},
    {"SetIOPinLevel", [] { return Ravo_SetIOPinLevel(A, B, 0x101); }, 0xFE, 0x15, 0xAB, 1, 0, 0},
    {"GetIOPinLevel", [] { return Ravo_GetIOPinLevel(A, B, &sc); }, 0xFE, 0x16, 0xAB, 0, 0, 1},
    {"GetAllIOPinLevel", [] { return Ravo_GetAllIOPinLevel(A, 65537, &si); }, 0xFE, 0x17, 1, 0, 0, 1},
    {"SetMotorLimitSignal", [] { return SetMotorLimitSignal(A, I, N, 255); }, 0xFE, 0x18, I, kN, 255, 0},
    {"SetEncodeLineNum", [] { return Ravo_SetEncodeLineNum(A, B, I, F); }, 0xFE, 0x1D, 0xAB, I, kF, 0},
    {"SetEncodeMode", [] { return Ravo_SetEncodeMode(A, B, N); }, 0xFE, 0x1E, 0xAB, kN, 0, 0},
    {"SetADWorlMode", [] { return Ravo_SetADWorlMode(A, B, I); }, 0xFE, 0x20, 0xAB, I, 0, 0},
    {"SetADValueScale", [] { return Ravo_SetADValueScale(A, B, G, F); }, 0xFE, 0x21, 0xAB, kG, kF, 0},
    {"ReadADValue", [] { return Ravo_ReadADValue(A, B) == 0.0f ? 0 : 1; }, 0xFE, 0x22, 0xAB, 0, 0, 0},
    {"SetMotorDriveDiv", [] { return Ravo_SetMotorDriveDiv(A, I, N); }, 0xFE, 0x78, I, kN, 0, 0},
    {"GetMotorDriveDiv", [] { return Ravo_GetMotorDriveDiv(A, I, &si); }, 0xFE, 0x79, I, 0, 0, 1},
    {"SetMotorPitch", [] { return Ravo_SetMotorPitch(A, N, G); }, 0xFE, 0x7A, kN, kG, 0, 0},
    {"GetMotorPitch", [] { return Ravo_GetMotorPitch(A, I, &sf); }, 0xFE, 0x7B, I, 0, 0, 1},
    {"SetMotorAcc", [] { return Ravo_SetMotorAcc(A, I, N); }, 0xFE, 0x7C, I, kN, 0, 0},
    {"GetMotorAcc", [] { return Ravo_GetMotorAcc(A, I, &si); }, 0xFE, 0x7D, I, 0, 0, 1},
    {"SetMotorDec", [] { return Ravo_SetMotorDec(A, I, N); }, 0xFE, 0x7E, I, kN, 0, 0},
    {"GetMotorDec", [] { return Ravo_GetMotorDec(A, I, &si); }, 0xFE, 0x7F, I, 0, 0, 1},
    {"SetMotorMaxSpeed", [] { return Ravo_SetMotorMaxSpeed(A, I, F); }, 0xFE, 0x80, I, kF, 0, 0},
    {"SetMotorMinSpeed", [] { return Ravo_SetMotorMinSpeed(A, I, G); }, 0xFE, 0x81, I, kG, 0, 0},
    {"GetMotorCurSpeed", [] { return Ravo_GetMotorCurSpeed(A, I, &sf); }, 0xFE, 0x82, I, 0, 0, 1},
    {"MotorMove", [] { return Ravo_MotorMove(A, I, F); }, 0xFE, 0x83, I, kF, 0, 0},
    {"MotorGoPos", [] { return Ravo_MotorGoPos(A, N, G); }, 0xFE, 0x84, kN, kG, 0, 0},
    {"QuickStopMotor", [] { return Ravo_QuickStopMotor(A, I); }, 0xFE, 0x85, I, 0, 0, 0},
    {"SlowStopMotor", [] { return Ravo_SlowStopMotor(A, I); }, 0xFE, 0x86, I, 0, 0, 0},
    {"ClearMotorPosition", [] { return Ravo_ClearMotorPosition(A, I); }, 0xFE, 0x88, I, 0, 0, 0},
    {"GetMotorPosition", [] { return Ravo_GetMotorPosition(A, I, &sf); }, 0xFE, 0x89, I, 0, 0, 1},
    {"MotorIsRunning", [] { return Ravo_MotorIsRunning(A, I, &sc); }, 0xFE, 0x8A, I, 0, 0, 1},
    {"Line2Move", [] { return Ravo_Line2Move(A, I, N); }, 0xFE, 0x90, I, kN, 0, 0},
    {"Line2Goto", [] { return Ravo_Line2Goto(A, I, N); }, 0xFE, 0x91, I, kN, 0, 0},
    {"Line3Move", [] { return Ravo_Line3Move(A, I, N, 7); }, 0xFE, 0x92, I, kN, 7, 0},
    {"Line3Goto", [] { return Ravo_Line3Goto(A, I, N, 7); }, 0xFE, 0x93, I, kN, 7, 0},
    {"Line2MoveDM", [] { return Ravo_Line2MoveDM(A, W, N); }, 0xFE, 0x94, 0x2345, 0xFFFE, 0, 0},
    {"Line2GotoDM", [] { return Ravo_Line2GotoDM(A, W, N); }, 0xFE, 0x95, 0x2345, 0xFFFE, 0, 0},
    {"Line3MoveDM", [] { return Ravo_Line3MoveDM(A, W, N, 0x10007); }, 0xFE, 0x96, 0x2345, 0xFFFE, 7, 0},
    {"Line3GotoDM", [] { return Ravo_Line3GotoDM(A, W, N, 0x10007); }, 0xFE, 0x97, 0x2345, 0xFFFE, 7, 0},
    {"CircleMoveG2_Pos", [] { return Ravo_CircleMoveG2_Pos(A, I, N, 7); }, 0xFE, 0x98, I, kN, 7, 0},
    {"CircleMoveG2_Angle", [] { return Ravo_CircleMoveG2_Angle(A, I, N, 7); }, 0xFE, 0x99, I, kN, 7, 0},
    {"CircleMoveG3_Pos", [] { return Ravo_CircleMoveG3_Pos(A, I, N, 7); }, 0xFE, 0x9A, I, kN, 7, 0},
    {"CircleMoveG3_Angle", [] { return Ravo_CircleMoveG3_Angle(A, I, N, 7); }, 0xFE, 0x9B, I, kN, 7, 0},
    {"ManualLeftMove", [] { return Ravo_ManualLeftMove(A, I); }, 0xFE, 0xB4, I, 0, 0, 0},
    {"ManualRightMove", [] { return Ravo_ManualRightMove(A, I); }, 0xFE, 0xB5, I, 0, 0, 0},
    {"CommandRawData",
     [] {
         int a = I, b = N, c = 7;
         return Ravo_CommandRawData(B, &a, &b, &c);
     },
     0xFF, 0xAB, I, kN, 7, 0},
};

}  // namespace

using CommandFrames = CommandPeerTest;

TEST_F(CommandFrames, EveryExportSendsItsCodeAndReducedArgumentsAndReturnsZero) {
    const std::pair<std::function<void()>, const char*> examples[] = {
        {[] { Ravo_SetWorkMode(255, 2, 0); }, "aa ff 06 00 00 00 02 00 00 00 00 00 00 00 00 b1 "},
        {[] { Ravo_GetControllerVersion(255, &si); }, "aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 ab "},
        {[] { Ravo_SetMotorPitch(255, 4, 5.0f); }, "aa ff 7a 00 00 00 04 40 a0 00 00 00 00 00 00 07 "},
        {[] { Ravo_MotorMove(255, -1, -2.5f); }, "aa ff 83 ff ff ff ff c0 20 00 00 00 00 00 00 08 "},
    };
    replyWith(0x11111111, 0x22222222, 0x33333333);
    for (const auto& [call, bytes] : examples) {
        call();
        EXPECT_EQ(hex(lastRequest()), bytes);
    }
    for (const Command& command : kCommands) {
        SCOPED_TRACE(command.name);
        EXPECT_EQ(command.call(), 0);
        EXPECT_EQ(hex(lastRequest()),
                  hex(commandFrame(command.address, command.code, command.p1, command.p2, command.p3)));
    }
    EXPECT_EQ(peer.requests().size(), std::size(examples) + kCommands.size()) << "one frame each";
}

TEST_F(CommandFrames, RepliesAreDecodedIntoTheOutValues) {
    int i = 0;
    float f = 0;
    unsigned char c = 0;
    replyWith(0x100, 0xFFFFFF85u, 0x33333333);  // a flag in bit 8 only: a byte cut reads 0
    Ravo_GetWorkMode(255, &i);
    EXPECT_EQ(i, 0x100);
    Ravo_MotorIsRunning(255, 1, &c);
    EXPECT_EQ(c, 1);
    Ravo_GetIOPinLevel(255, 33, &c);
    EXPECT_EQ(c, 1);
    Ravo_GetControllerAddr(&c);
    EXPECT_EQ(c, 0x85);
    Ravo_GetControllerVersion(255, &i);
    EXPECT_EQ(i, -123);
    for (auto query : {Ravo_GetMotorDriveDiv, Ravo_GetMotorAcc, Ravo_GetMotorDec, Ravo_GetAllIOPinLevel}) {
        i = 0;
        query(255, 1, &i);
        EXPECT_EQ(i, -123);
    }
    replyWith(0, FloatBits(-2.5f), FloatBits(3.0f));
    for (auto query : {Ravo_GetMotorPitch, Ravo_GetMotorCurSpeed, Ravo_GetMotorPosition}) {
        f = 0;
        query(255, 1, &f);
        EXPECT_EQ(f, -2.5f);
    }
    EXPECT_EQ(Ravo_ReadADValue(255, 1), 0.0f) << "the reply is ignored";
    Ravo_MotorIsRunning(255, 1, &c);
    EXPECT_EQ(c, 0);
    replyWith(0xFFFFFFFF, 0, 0);
    Ravo_GetIOPinLevel(255, 33, &c);
    EXPECT_EQ(c, 0);

    replyWith(2026, 12, 0xFFFFFFFF);
    int raw[3] = {1, 2, 3};
    EXPECT_EQ(Ravo_CommandRawData(18, &raw[0], &raw[1], &raw[2]), 0);
    EXPECT_EQ(std::vector<int>(raw, raw + 3), (std::vector<int>{2026, 12, -1}));
    // Null out-parameters are skipped; a missing raw value goes out as 0.
    EXPECT_EQ(Ravo_GetMotorPosition(255, 1, nullptr), 0);
    EXPECT_EQ(Ravo_GetControllerAddr(nullptr), 0);
    EXPECT_EQ(Ravo_CommandRawData(18, nullptr, &raw[1], nullptr), 0);
    EXPECT_EQ(raw[1], 12);
    EXPECT_EQ(frameValue(lastRequest(), 1), 0u);
}

TEST_F(CommandFrames, FailedExchangesStoreZeroAndRawDataKeepsItsValues) {
    staySilent();
    float position = 5.0f;
    EXPECT_EQ(Ravo_GetMotorPosition(255, 1, &position), 0);
    EXPECT_EQ(position, 0.0f);
    int raw[3] = {-7, -8, -9};
    EXPECT_EQ(Ravo_CommandRawData(18, &raw[0], &raw[1], &raw[2]), 0);
    EXPECT_EQ(std::vector<int>(raw, raw + 3), (std::vector<int>{-7, -8, -9}));

    Ravo_CloseSericalPort();
    const std::size_t sent = peer.requests().size();
    for (const Command& command : kCommands) {
        SCOPED_TRACE(command.name);
        si = 9, sf = 9, sc = 9;
        EXPECT_EQ(command.call(), 0);
        EXPECT_EQ((si == 0) + (sf == 0) + (sc == 0), command.query ? 1 : 0);
    }
    EXPECT_EQ(Ravo_CommandRawData(18, &raw[0], &raw[1], &raw[2]), 0);
    EXPECT_EQ(std::vector<int>(raw, raw + 3), (std::vector<int>{-7, -8, -9}));
    EXPECT_EQ(peer.requests().size(), sent) << "nothing reaches a closed port";
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
