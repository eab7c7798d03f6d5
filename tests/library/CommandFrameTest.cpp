// The command exports: frame bytes, argument reduction, reply decoding and what a failed
// exchange leaves behind, against a peer on a real pseudo-terminal.
#include "CommandPeerFixture.h"

#include <cstring>
#include <functional>
#include <thread>

namespace {

std::uint32_t bitsOf(float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

// Arguments chosen so that every kind of reduction shows in the frame.
constexpr int A = 0x1FE;       // address: sent as FE
constexpr int I = 0x12345678;  // integer: unchanged
constexpr int N = -2;          // integer: FF FF FF FE
constexpr int B = 0x1AB;       // byte argument: AB
constexpr int W = 0x12345;     // 16-bit argument: 23 45
constexpr float F = -2.5f;     // C0 20 00 00
constexpr float G = 1.0f;      // 3F 80 00 00
const std::uint32_t kN = 0xFFFFFFFEu, kF = 0xC0200000u, kG = 0x3F800000u;

struct FrameCase {
    const char* name;
    std::function<int()> call;
    std::uint8_t address;
    std::uint8_t code;
    std::uint32_t p1, p2, p3;
};

std::vector<FrameCase> everyCommand() {
    // Where the queries store their results; the values are checked elsewhere.
    static int si;
    static float sf;
    static unsigned char sc;
    return {
        {"GetControllerVersion", [] { return Ravo_GetControllerVersion(A, &si); }, 0xFE, 2, 0, 0, 0},
        {"SetWorkMode", [] { return Ravo_SetWorkMode(A, I, B); }, 0xFE, 6, I, 0xAB, 0},
        {"GetWorkMode", [] { return Ravo_GetWorkMode(A, &si); }, 0xFE, 7, 0, 0, 0},
        {"SetControllerAddr", [] { return Ravo_SetControllerAddr(A, 300); }, 0xFE, 4, 44, 0, 0},
        {"GetControllerAddr", [] { return Ravo_GetControllerAddr(&sc); }, 0xFF, 5, 0, 0, 0},
        {"PauseController", [] { return Ravo_PauseController(A); }, 0xFE, 0x0B, 0, 0, 0},
        {"ContinueController", [] { return Ravo_ContinueController(A); }, 0xFE, 0x0C, 0, 0, 0},
        {"Beeper", [] { return Ravo_Beeper(A, N); }, 0xFE, 0x14, kN, 0, 0},
        {"SetIOPinLevel", [] { return Ravo_SetIOPinLevel(A, B, 0x101); }, 0xFE, 0x15, 0xAB, 1, 0},
        {"GetIOPinLevel", [] { return Ravo_GetIOPinLevel(A, B, &sc); }, 0xFE, 0x16, 0xAB, 0, 0},
        {"GetAllIOPinLevel", [] { return Ravo_GetAllIOPinLevel(A, 65537, &si); }, 0xFE, 0x17, 1, 0, 0},
        {"SetMotorLimitSignal", [] { return SetMotorLimitSignal(A, I, N, 255); }, 0xFE, 0x18, I, kN, 255},
        {"SetEncodeLineNum", [] { return Ravo_SetEncodeLineNum(A, B, I, F); }, 0xFE, 0x1D, 0xAB, I, kF},
        {"SetEncodeMode", [] { return Ravo_SetEncodeMode(A, B, N); }, 0xFE, 0x1E, 0xAB, kN, 0},
        {"SetADWorlMode", [] { return Ravo_SetADWorlMode(A, B, I); }, 0xFE, 0x20, 0xAB, I, 0},
        {"SetADValueScale", [] { return Ravo_SetADValueScale(A, B, G, F); }, 0xFE, 0x21, 0xAB, kG, kF},
        {"ReadADValue", [] { return Ravo_ReadADValue(A, B) == 0.0f ? 0 : 1; }, 0xFE, 0x22, 0xAB, 0, 0},
        {"SetMotorDriveDiv", [] { return Ravo_SetMotorDriveDiv(A, I, N); }, 0xFE, 0x78, I, kN, 0},
        {"GetMotorDriveDiv", [] { return Ravo_GetMotorDriveDiv(A, I, &si); }, 0xFE, 0x79, I, 0, 0},
        {"SetMotorPitch", [] { return Ravo_SetMotorPitch(A, N, G); }, 0xFE, 0x7A, kN, kG, 0},
        {"GetMotorPitch", [] { return Ravo_GetMotorPitch(A, I, &sf); }, 0xFE, 0x7B, I, 0, 0},
        {"SetMotorAcc", [] { return Ravo_SetMotorAcc(A, I, N); }, 0xFE, 0x7C, I, kN, 0},
        {"GetMotorAcc", [] { return Ravo_GetMotorAcc(A, I, &si); }, 0xFE, 0x7D, I, 0, 0},
        {"SetMotorDec", [] { return Ravo_SetMotorDec(A, I, N); }, 0xFE, 0x7E, I, kN, 0},
        {"GetMotorDec", [] { return Ravo_GetMotorDec(A, I, &si); }, 0xFE, 0x7F, I, 0, 0},
        {"SetMotorMaxSpeed", [] { return Ravo_SetMotorMaxSpeed(A, I, F); }, 0xFE, 0x80, I, kF, 0},
        {"SetMotorMinSpeed", [] { return Ravo_SetMotorMinSpeed(A, I, G); }, 0xFE, 0x81, I, kG, 0},
        {"GetMotorCurSpeed", [] { return Ravo_GetMotorCurSpeed(A, I, &sf); }, 0xFE, 0x82, I, 0, 0},
        {"MotorMove", [] { return Ravo_MotorMove(A, I, F); }, 0xFE, 0x83, I, kF, 0},
        {"MotorGoPos", [] { return Ravo_MotorGoPos(A, N, G); }, 0xFE, 0x84, kN, kG, 0},
        {"QuickStopMotor", [] { return Ravo_QuickStopMotor(A, I); }, 0xFE, 0x85, I, 0, 0},
        {"SlowStopMotor", [] { return Ravo_SlowStopMotor(A, I); }, 0xFE, 0x86, I, 0, 0},
        {"ClearMotorPosition", [] { return Ravo_ClearMotorPosition(A, I); }, 0xFE, 0x88, I, 0, 0},
        {"GetMotorPosition", [] { return Ravo_GetMotorPosition(A, I, &sf); }, 0xFE, 0x89, I, 0, 0},
        {"MotorIsRunning", [] { return Ravo_MotorIsRunning(A, I, &sc); }, 0xFE, 0x8A, I, 0, 0},
        {"Line2Move", [] { return Ravo_Line2Move(A, I, N); }, 0xFE, 0x90, I, kN, 0},
        {"Line2Goto", [] { return Ravo_Line2Goto(A, I, N); }, 0xFE, 0x91, I, kN, 0},
        {"Line3Move", [] { return Ravo_Line3Move(A, I, N, 7); }, 0xFE, 0x92, I, kN, 7},
        {"Line3Goto", [] { return Ravo_Line3Goto(A, I, N, 7); }, 0xFE, 0x93, I, kN, 7},
        {"Line2MoveDM", [] { return Ravo_Line2MoveDM(A, W, N); }, 0xFE, 0x94, 0x2345, 0xFFFE, 0},
        {"Line2GotoDM", [] { return Ravo_Line2GotoDM(A, W, N); }, 0xFE, 0x95, 0x2345, 0xFFFE, 0},
        {"Line3MoveDM", [] { return Ravo_Line3MoveDM(A, W, N, 0x10007); }, 0xFE, 0x96, 0x2345, 0xFFFE, 7},
        {"Line3GotoDM", [] { return Ravo_Line3GotoDM(A, W, N, 0x10007); }, 0xFE, 0x97, 0x2345, 0xFFFE, 7},
        {"CircleMoveG2_Pos", [] { return Ravo_CircleMoveG2_Pos(A, I, N, 7); }, 0xFE, 0x98, I, kN, 7},
        {"CircleMoveG2_Angle", [] { return Ravo_CircleMoveG2_Angle(A, I, N, 7); }, 0xFE, 0x99, I, kN, 7},
        {"CircleMoveG3_Pos", [] { return Ravo_CircleMoveG3_Pos(A, I, N, 7); }, 0xFE, 0x9A, I, kN, 7},
        {"CircleMoveG3_Angle", [] { return Ravo_CircleMoveG3_Angle(A, I, N, 7); }, 0xFE, 0x9B, I, kN, 7},
        {"ManualLeftMove", [] { return Ravo_ManualLeftMove(A, I); }, 0xFE, 0xB4, I, 0, 0},
        {"ManualRightMove", [] { return Ravo_ManualRightMove(A, I); }, 0xFE, 0xB5, I, 0, 0},
        {"CommandRawData", [] { int a = I, b = N, c = 7; return Ravo_CommandRawData(B, &a, &b, &c); },
         0xFF, 0xAB, I, kN, 7},
    };
}

std::string hex(const Frame16& frame) {
    std::string text;
    char group[4];
    for (std::uint8_t byte : frame) {
        std::snprintf(group, sizeof group, "%.2x ", byte);
        text += group;
    }
    return text;
}

}  // namespace

using CommandFrames = CommandPeerTest;

TEST_F(CommandFrames, MatchTheControllerProtocolExamples) {
    Ravo_SetWorkMode(255, 2, 0);
    EXPECT_EQ(hex(lastRequest()), "aa ff 06 00 00 00 02 00 00 00 00 00 00 00 00 b1 ");
    int version = 0;
    Ravo_GetControllerVersion(255, &version);
    EXPECT_EQ(hex(lastRequest()), "aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 ab ");
    Ravo_SetMotorPitch(255, 4, 5.0f);
    EXPECT_EQ(hex(lastRequest()), "aa ff 7a 00 00 00 04 40 a0 00 00 00 00 00 00 07 ");
    Ravo_MotorMove(255, -1, -2.5f);
    EXPECT_EQ(hex(lastRequest()), "aa ff 83 ff ff ff ff c0 20 00 00 00 00 00 00 08 ");
    Ravo_SetADValueScale(255, 1, 1.0f, 0.0f);
    EXPECT_EQ(hex(lastRequest()), "aa ff 21 00 00 00 01 3f 80 00 00 00 00 00 00 8a ");
}

TEST_F(CommandFrames, EveryExportSendsItsCodeAndReducedArgumentsAndReturnsZero) {
    replyWith(0x11111111, 0x22222222, 0x33333333);
    for (const FrameCase& command : everyCommand()) {
        SCOPED_TRACE(command.name);
        EXPECT_EQ(command.call(), 0);
        EXPECT_EQ(hex(lastRequest()), hex(commandFrame(command.address, command.code, command.p1,
                                                       command.p2, command.p3)));
    }
    EXPECT_EQ(peer.requests().size(), everyCommand().size()) << "one frame per call";
}

TEST_F(CommandFrames, QueriesDecodeTheirReplyField) {
    int integer = 0;
    float real = 0;
    unsigned char byte = 0;

    replyWith(0x11111111, 0x00000102, 0x33333333);
    Ravo_GetControllerVersion(255, &integer);
    EXPECT_EQ(integer, 258);
    Ravo_GetAllIOPinLevel(255, 1, &integer);
    EXPECT_EQ(integer, 258);

    replyWith(0x11111111, 0xFFFFFF85u, 0x33333333);
    for (auto query : {Ravo_GetMotorDriveDiv, Ravo_GetMotorAcc, Ravo_GetMotorDec}) {
        integer = 0;
        query(255, 1, &integer);
        EXPECT_EQ(integer, -123);
    }
    Ravo_GetControllerAddr(&byte);
    EXPECT_EQ(byte, 0x85);

    replyWith(0x11111111, bitsOf(-2.5f), 0x33333333);
    for (auto query : {Ravo_GetMotorPitch, Ravo_GetMotorCurSpeed, Ravo_GetMotorPosition}) {
        real = 0;
        query(255, 1, &real);
        EXPECT_EQ(real, -2.5f);
    }

    replyWith(7, 0x22222222, 0x33333333);
    Ravo_GetWorkMode(255, &integer);
    EXPECT_EQ(integer, 7);
}

TEST_F(CommandFrames, FlagsAreOneForAnyNonZeroField) {
    unsigned char flag = 7;
    replyWith(0x00000100, 0, 0);  // only bit 8: a byte cut would read 0
    Ravo_MotorIsRunning(255, 1, &flag);
    EXPECT_EQ(flag, 1);
    replyWith(0, 0x00000100, 0);
    Ravo_GetIOPinLevel(255, 33, &flag);
    EXPECT_EQ(flag, 1);
    Ravo_MotorIsRunning(255, 1, &flag);
    EXPECT_EQ(flag, 0);
    replyWith(0xFFFFFFFF, 0, 0);
    Ravo_GetIOPinLevel(255, 33, &flag);
    EXPECT_EQ(flag, 0);
}

TEST_F(CommandFrames, ReadADValueIgnoresTheReply) {
    replyWith(bitsOf(3.0f), bitsOf(3.0f), bitsOf(3.0f));
    EXPECT_EQ(Ravo_ReadADValue(255, 1), 0.0f);
}

TEST_F(CommandFrames, RawDataIsReplacedByTheReplyFields) {
    replyWith(2026, 12, 0xFFFFFFFF);
    int year = 1, month = 2, day = 3;
    EXPECT_EQ(Ravo_CommandRawData(18, &year, &month, &day), 0);
    EXPECT_EQ(year, 2026);
    EXPECT_EQ(month, 12);
    EXPECT_EQ(day, -1);
}

TEST_F(CommandFrames, QueriesWithoutReplyStoreZero) {
    staySilent();
    float position = 5.0f;
    EXPECT_EQ(Ravo_GetMotorPosition(255, 1, &position), 0);
    EXPECT_EQ(position, 0.0f);
    int raw[3] = {-7, -8, -9};
    EXPECT_EQ(Ravo_CommandRawData(18, &raw[0], &raw[1], &raw[2]), 0);
    EXPECT_EQ(raw[0], -7);
    EXPECT_EQ(raw[1], -8);
    EXPECT_EQ(raw[2], -9);
}

TEST_F(CommandFrames, QueriesOnAClosedPortStoreZeroAndRawDataKeepsItsValues) {
    Ravo_CloseSericalPort();
    // Each query starts from 9 in its out-value and yields what it stored.
#define RAVO_QUERY(type, call)       \
    [] {                             \
        type out = 9;                \
        EXPECT_EQ(call, 0);          \
        return static_cast<double>(out); \
    }
    const std::vector<std::pair<const char*, std::function<double()>>> queries = {
        {"GetControllerVersion", RAVO_QUERY(int, Ravo_GetControllerVersion(255, &out))},
        {"GetWorkMode", RAVO_QUERY(int, Ravo_GetWorkMode(255, &out))},
        {"GetControllerAddr", RAVO_QUERY(unsigned char, Ravo_GetControllerAddr(&out))},
        {"GetIOPinLevel", RAVO_QUERY(unsigned char, Ravo_GetIOPinLevel(255, 1, &out))},
        {"GetAllIOPinLevel", RAVO_QUERY(int, Ravo_GetAllIOPinLevel(255, 1, &out))},
        {"GetMotorDriveDiv", RAVO_QUERY(int, Ravo_GetMotorDriveDiv(255, 1, &out))},
        {"GetMotorPitch", RAVO_QUERY(float, Ravo_GetMotorPitch(255, 1, &out))},
        {"GetMotorAcc", RAVO_QUERY(int, Ravo_GetMotorAcc(255, 1, &out))},
        {"GetMotorDec", RAVO_QUERY(int, Ravo_GetMotorDec(255, 1, &out))},
        {"GetMotorCurSpeed", RAVO_QUERY(float, Ravo_GetMotorCurSpeed(255, 1, &out))},
        {"GetMotorPosition", RAVO_QUERY(float, Ravo_GetMotorPosition(255, 1, &out))},
        {"MotorIsRunning", RAVO_QUERY(unsigned char, Ravo_MotorIsRunning(255, 1, &out))},
    };
#undef RAVO_QUERY
    for (const auto& [name, query] : queries) EXPECT_EQ(query(), 0.0) << name;

    int raw[3] = {-7, -8, -9};
    EXPECT_EQ(Ravo_CommandRawData(18, &raw[0], &raw[1], &raw[2]), 0);
    EXPECT_EQ(raw[0], -7);
    EXPECT_EQ(raw[1], -8);
    EXPECT_EQ(raw[2], -9);
    EXPECT_TRUE(peer.requests().empty());
}

TEST_F(CommandFrames, NullOutParametersAreSkipped) {
    replyWith(1, 2, 3);
    EXPECT_EQ(Ravo_GetMotorPosition(255, 1, nullptr), 0);
    EXPECT_EQ(Ravo_GetControllerAddr(nullptr), 0);
    int second = 5;
    EXPECT_EQ(Ravo_CommandRawData(18, nullptr, &second, nullptr), 0);
    EXPECT_EQ(second, 2);
    EXPECT_EQ(frameValue(lastRequest(), 1), 0u);
}

TEST_F(CommandFrames, ConcurrentCallersNeverShareAnExchange) {
    echoInvertedParameters();
    constexpr int kThreads = 4, kCalls = 15;
    std::vector<std::thread> threads;
    std::vector<int> mismatches(kThreads, 0);
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t, &mismatches] {
            for (int call = 0; call < kCalls; ++call) {
                const int tag = (t + 1) * 1000 + call;
                int a = tag, b = -tag, c = tag * 3;
                Ravo_CommandRawData(40 + t, &a, &b, &c);
                if (a != ~tag || b != ~-tag || c != ~(tag * 3)) ++mismatches[t];
            }
        });
    }
    for (auto& thread : threads) thread.join();
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(mismatches[t], 0) << "thread " << t;

    const auto requests = peer.requests();
    ASSERT_EQ(requests.size(), std::size_t{kThreads * kCalls});
    for (const Frame16& request : requests) {
        const std::uint32_t tag = frameValue(request, 1);
        EXPECT_EQ(hex(request), hex(commandFrame(0xFF, static_cast<std::uint8_t>(40 + tag / 1000 - 1),
                                                 tag, 0u - tag, tag * 3)));
    }
}
