// The decoder over every command of the library's command table, typed parameters and replies,
// program records and end frames, Modbus functions, damaged frames, the pairing of requests and
// replies, and the reading of the library's log lines.
#include "core/editor/InstructionCatalogue.h"
#include "core/traffic/CommandFormats.h"
#include "core/traffic/LogTrace.h"

#include "CommandTable.h"
#include "WireVocabulary.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace kelvane;

// A command frame with its sum; `last` instead of the sum for records (their index).
FrameBytes Frame(std::uint8_t code, std::uint8_t address, std::uint32_t p1 = 0, std::uint32_t p2 = 0,
                 std::uint32_t p3 = 0, int last = -1) {
    FrameBytes frame{0xAA, address, code};
    for (std::uint32_t p : {p1, p2, p3})
        for (int shift = 24; shift >= 0; shift -= 8) frame.push_back(static_cast<std::uint8_t>(p >> shift));
    unsigned sum = 0;
    for (std::uint8_t byte : frame) sum += byte;
    frame.push_back(static_cast<std::uint8_t>(last >= 0 ? last : sum));
    return frame;
}

FrameBytes Hex(const std::string& text) {
    FrameBytes bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3) bytes.push_back(std::stoi(text.substr(i, 2), nullptr, 16));
    return bytes;
}

TrafficTransfer Sent(FrameBytes bytes, std::int64_t at = -1, int outcome = RAVO_TRAFFIC_COMPLETE) {
    TrafficTransfer transfer;
    transfer.outcome = outcome;
    transfer.awaited = outcome == RAVO_TRAFFIC_COMPLETE ? static_cast<int>(bytes.size()) : 16;
    transfer.bytes = std::move(bytes);
    transfer.timestampUs = at;
    return transfer;
}

TrafficTransfer Received(FrameBytes bytes, std::int64_t at = -1, int outcome = RAVO_TRAFFIC_COMPLETE) {
    TrafficTransfer transfer = Sent(std::move(bytes), at, outcome);
    transfer.sent = false;
    transfer.awaited = 16;
    return transfer;
}

TEST(TrafficDecoder, NamesEveryCommandOfTheLibrarysTableAsTheHeaderDoes) {
    // The exports of ravo_lib::Command, in the enum's order.
    std::istringstream exportList(
        "Ravo_GetControllerVersion Ravo_SetWorkMode Ravo_GetWorkMode Ravo_SetControllerAddr "
        "Ravo_GetControllerAddr Ravo_PauseController Ravo_ContinueController Ravo_Beeper Ravo_SetIOPinLevel "
        "Ravo_GetIOPinLevel Ravo_GetAllIOPinLevel SetMotorLimitSignal Ravo_SetEncodeLineNum "
        "Ravo_SetEncodeMode Ravo_SetADWorlMode Ravo_SetADValueScale Ravo_ReadADValue Ravo_SetMotorDriveDiv "
        "Ravo_GetMotorDriveDiv Ravo_SetMotorPitch Ravo_GetMotorPitch Ravo_SetMotorAcc Ravo_GetMotorAcc "
        "Ravo_SetMotorDec Ravo_GetMotorDec Ravo_SetMotorMaxSpeed Ravo_SetMotorMinSpeed Ravo_GetMotorCurSpeed "
        "Ravo_MotorMove Ravo_MotorGoPos Ravo_QuickStopMotor Ravo_SlowStopMotor Ravo_ClearMotorPosition "
        "Ravo_GetMotorPosition Ravo_MotorIsRunning Ravo_Line2Move Ravo_Line2Goto Ravo_Line3Move "
        "Ravo_Line3Goto Ravo_Line2MoveDM Ravo_Line2GotoDM Ravo_Line3MoveDM Ravo_Line3GotoDM "
        "Ravo_CircleMoveG2_Pos Ravo_CircleMoveG2_Angle Ravo_CircleMoveG3_Pos Ravo_CircleMoveG3_Angle "
        "Ravo_ManualLeftMove Ravo_ManualRightMove");
    const std::vector<std::string> exports{std::istream_iterator<std::string>(exportList), {}};
    std::ifstream defFile(RAVO_DEF_FILE);
    const std::string def{std::istreambuf_iterator<char>(defFile), {}};
    ASSERT_EQ(exports.size(), static_cast<std::size_t>(ravo_lib::Command::Count));

    for (const ravo_lib::CommandRow& row : ravo_lib::table::kRows) {
        const std::string name = exports[static_cast<int>(row.command)];
        const CommandFormat* format = FindCommandFormat(row.code);
        ASSERT_NE(format, nullptr) << name;
        EXPECT_EQ(format->name, name);
        EXPECT_NE(def.find(" " + name + " @"), std::string::npos) << name;
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(format->params[i].kind == FieldKind::None, row.params[i] == ravo_lib::Param::Unused) << name << i;
            EXPECT_EQ(format->params[i].kind == FieldKind::Float, row.params[i] == ravo_lib::Param::Float) << name << i;
        }
        EXPECT_EQ(format->replyField, row.replyField) << name;
        EXPECT_EQ(format->reply.kind == FieldKind::Float, row.result == ravo_lib::Result::Float) << name;
        EXPECT_EQ(CommandText(Frame(row.code, 255, 1, 2, 3)).text.rfind(name + " addr=255", 0), 0u) << name;
    }
}

TEST(TrafficDecoder, ReadsParametersAndRepliesAsEachCommandUsesThemAndSaysWhyAFrameIsDamaged) {
    struct Case {
        FrameBytes request, reply;
        const char* requestText;
        const char* replyText;  // without the time
        bool readable;
    };
    const FrameBytes version = Frame(cmd::Version, 255);
    FrameBytes wrongSum = Frame(cmd::Version, 1, 0, 0x0300);
    wrongSum[15] ^= 1;
    const Case cases[] = {
        {Frame(cmd::Move, 255, 1, FloatBits(2.5f)), Frame(cmd::Move, 1), "Ravo_MotorMove addr=255 axis=X distance=2.5",
         "应答 Ravo_MotorMove", true},
        {Frame(cmd::Position, 255, 6), Frame(cmd::Position, 1, 0, FloatBits(-12.25f)),
         "Ravo_GetMotorPosition addr=255 axis=Y+Z", "应答 Ravo_GetMotorPosition position=-12.25", true},
        {Frame(cmd::SetPin, 1, 33, 1), Frame(cmd::SetPin, 1), "Ravo_SetIOPinLevel addr=1 pin=OUT1 level=1",
         "应答 Ravo_SetIOPinLevel", true},
        {Frame(cmd::GetPin, 255, 24), Frame(cmd::GetPin, 1, 0, 7), "Ravo_GetIOPinLevel addr=255 pin=IN24",
         "应答 Ravo_GetIOPinLevel level=1", true},
        {Frame(cmd::Limits, 255, 32, 255, 3), Frame(cmd::Limits, 1),
         "SetMotorLimitSignal addr=255 axis=W negative=none positive=IN3", "应答 SetMotorLimitSignal", true},
        {Frame(0x96, 255, 10, 11, 12), Frame(0x96, 1), "Ravo_Line3MoveDM addr=255 a=DM10 b=DM11 c=DM12",
         "应答 Ravo_Line3MoveDM", true},
        {Frame(0x8A, 255, 0x80), Frame(0x8A, 1, 1), "Ravo_MotorIsRunning addr=255 axis=8",
         "应答 Ravo_MotorIsRunning running=1", true},
        {Frame(0x42, 255, 1, 0xFFFFFFFF), Frame(0x42, 1, 5), "命令 0x42 addr=255 p1=1 p2=-1 p3=0", "应答 0x42 5 0 0",
         true},
        {version, Frame(cmd::Version, 1, 0, 0x0300), "Ravo_GetControllerVersion addr=255",
         "应答 Ravo_GetControllerVersion version=3.0", true},
        {version, wrongSum, "Ravo_GetControllerVersion addr=255", "无法解码: 校验和错误 (应为 0xb0)", false},
        {version, Hex("55 01 02 00 00 00 00 00 00 03 00 00 00 00 00 5b"), "Ravo_GetControllerVersion addr=255",
         "无法解码: 起始字节错误 (0x55)", false},
        {version, Hex("aa 01 02 00 00 00 00 00 00 03"), "Ravo_GetControllerVersion addr=255",
         "无法解码: 长度不足 (10/16 字节)", false},
    };
    for (const Case& c : cases) {
        TrafficDecoder decoder;
        const TrafficLine request = decoder.Decode(Sent(c.request));
        EXPECT_EQ(request.text, c.requestText);
        EXPECT_EQ(request.kind, TrafficKind::Command);
        const TrafficLine reply = decoder.Decode(Received(c.reply));
        EXPECT_EQ(reply.text, c.replyText);
        EXPECT_EQ(reply.failed, !c.readable) << c.replyText;
        EXPECT_EQ(reply.bytes, HexBytes(c.reply));
    }
}

TEST(TrafficDecoder, ReadsModbusFunctionsTheirRepliesAndCrcErrors) {
    const struct {
        const char *request, *reply, *requestText, *replyText;
    } cases[] = {
        {"ff 05 00 6e ff 00 f8 39", "ff 05 00 6e ff 00 f8 39", "Modbus 从站 255 功能 5 写线圈 线圈 110 = ON CRC正确",
         "Modbus 应答 从站 255 功能 5 线圈 110 = ON CRC正确"},
        {"01 01 00 9d 00 01 6c 24", "01 01 01 01 00 00 6c 36", "Modbus 从站 1 功能 1 读线圈 线圈 157 CRC正确",
         "Modbus 应答 从站 1 功能 1 线圈 = ON CRC正确"},
        {"ff 04 00 c8 00 02 e5 eb", "ff 04 04 00 07 00 00 55 8a",
         "Modbus 从站 255 功能 4 读输入寄存器 寄存器 200 数量 2 CRC正确", "Modbus 应答 从站 255 功能 4 值 7 0 CRC正确"},
        {"01 10 00 14 00 02 04 12 34 00 01 76 26", "01 10 00 14 00 02 01 cc",
         "Modbus 从站 1 功能 16 写寄存器 寄存器 20 数量 2 值 4660 1 CRC正确",
         "Modbus 应答 从站 1 功能 16 寄存器 20 数量 2 CRC正确"},
        {"ff 04 00 c8 00 02 e5 eb", "01 84 02 c2 c1", nullptr, "Modbus 应答 从站 1 功能 132 异常 2 CRC正确"},
        {"ff 04 00 c8 00 02 e5 eb", "ff 04 04 00 07 00 00 55 8b", nullptr, "Modbus 从站 255 无法解码: CRC错误"},
    };
    for (const auto& c : cases) {
        TrafficDecoder decoder;
        const TrafficLine request = decoder.Decode(Sent(Hex(c.request)));
        EXPECT_EQ(request.kind, TrafficKind::Modbus) << c.request;
        if (c.requestText) {
            EXPECT_EQ(request.text, c.requestText);
        }
        const TrafficLine reply = decoder.Decode(Received(Hex(c.reply)));
        EXPECT_EQ(reply.text, c.replyText);
        EXPECT_EQ(reply.failed, std::string(c.replyText).find("异常") != std::string::npos ||
                                    std::string(c.replyText).find("无法解码") != std::string::npos);
    }
}

// Records follow work mode 3 until the end frame or a record that failed; each reply is paired
// with its request and timed; a time-out and a lost port are lines of their own.
TEST(TrafficDecoder, PairsRequestsWithRepliesAndTellsRecordsAndEndFramesApart) {
    InstructionCatalogue catalogue;
    catalogue.LoadFromDataFolder(RAVO_DEMO_DATA_FOLDER);
    ASSERT_NE(catalogue.instruction(10), nullptr);
    TrafficDecoder decoder(&catalogue);
    const auto line = [&](TrafficTransfer transfer) {
        const TrafficLine decoded = decoder.Decode(transfer);
        return (decoded.failed ? "!" : "") + decoded.text;
    };
    EXPECT_EQ(line(Sent(Frame(cmd::SetWorkMode, 255, 3, 2), 1000)), "Ravo_SetWorkMode addr=255 mode=3 argument=2");
    EXPECT_EQ(line(Received(Frame(cmd::SetWorkMode, 1), 17800)), "应答 Ravo_SetWorkMode (16.8 ms)");
    EXPECT_EQ(line(Sent(Frame(10, 255, 1, FloatBits(100), FloatBits(50), 0))), "记录 0: 绝对运动 X轴 100.000 50.000");
    EXPECT_EQ(line(Received(Frame(10, 1))), "记录应答: 已接受");
    EXPECT_EQ(line(Sent(Frame(0, 255, 0, 0, 0, 1))), "记录 1: 空行");
    EXPECT_EQ(line(Received(Frame(0, 1))), "记录应答: 已接受");
    EXPECT_EQ(line(Sent(Frame(0xC8, 255, 1, 2, 3, 2))), "记录 2: 指令 200 1 2 3");
    EXPECT_EQ(line(Received(Frame(0xC8, 1, 1))), "!记录应答: 拒绝 (状态 1)");
    EXPECT_EQ(line(Sent(Frame(cmd::SetWorkMode, 255, 2, 2))), "Ravo_SetWorkMode addr=255 mode=2 argument=2")
        << "a refused record ends the download";
    EXPECT_EQ(line(Received({}, -1, RAVO_TRAFFIC_NOTHING)), "!超时无应答");

    EXPECT_EQ(line(Sent(Frame(cmd::SetWorkMode, 255, 3, 0))), "Ravo_SetWorkMode addr=255 mode=3 argument=0");
    EXPECT_EQ(line(Received(Frame(cmd::SetWorkMode, 1))), "应答 Ravo_SetWorkMode");
    EXPECT_EQ(line(Sent(Frame(0x08, 255, 0, 0, 0, 0))), "结束帧 addr=255 (程序下载结束)");
    EXPECT_FALSE(decoder.AwaitsReply()) << "the end frame's reply is not awaited";
    EXPECT_EQ(line(Sent(Frame(0x8A, 255, 1), 5000)), "Ravo_MotorIsRunning addr=255 axis=X");
    EXPECT_EQ(line(Received(Hex("aa 01 8a 00 00"), 175000, RAVO_TRAFFIC_SHORT)), "!应答不完整 (5/16 字节) (170.0 ms)");
    EXPECT_EQ(line(Sent({}, 0, RAVO_TRAFFIC_NOTHING)), "!未发出");
    EXPECT_EQ(line(Received({}, -1, RAVO_TRAFFIC_PORT_LOST)), "!端口已断开");
    EXPECT_EQ(line(Sent(Hex("aa ff 02 00 00 00 00 00 00 00 00 00 00 00 00 00"))), "!无法解码: 校验和错误 (应为 0xab)");
    FrameBytes damagedCommand = Frame(cmd::Version, 255);
    damagedCommand[0] = 0xAB;  // still a command: its reply was awaited as one
    EXPECT_EQ(line(Sent(damagedCommand)), "!无法解码: 起始字节错误 (0xab)");

    EXPECT_EQ(line(Sent(Frame(cmd::SetWorkMode, 255, 3, 0))), "Ravo_SetWorkMode addr=255 mode=3 argument=0");
    EXPECT_EQ(line(Received(Frame(cmd::SetWorkMode, 1))), "应答 Ravo_SetWorkMode");
    FrameBytes damagedRecord = Frame(10, 255, 0, 0, 0, 0);
    damagedRecord[0] = 0xAB;
    EXPECT_EQ(line(Sent(damagedRecord)), "!记录无法解码: 起始字节错误 (0xab)");

    // A monitor event becomes a transfer with every field, even a reply of one byte.
    const unsigned char oneByte[] = {0xAA};
    const TrafficTransfer shortReply =
        TrafficTransfer::FromEvent({RAVO_TRAFFIC_RECEIVED, 3, oneByte, 1, 42, RAVO_TRAFFIC_SHORT, 16});
    EXPECT_EQ(std::make_tuple(shortReply.sent, shortReply.port, shortReply.bytes, shortReply.timestampUs,
                              shortReply.outcome, shortReply.awaited),
              std::make_tuple(false, 3, FrameBytes{0xAA}, std::int64_t{42}, RAVO_TRAFFIC_SHORT, 16));
}

TEST(LogTrace, ReadsBothLogsMarksWhatDoesNotParseAndShowsMissingReplies) {
    LogTrace trace;
    std::vector<std::string> shown;
    const auto read = [&](const std::vector<TraceEntry>& entries) {
        for (const TraceEntry& entry : entries)
            shown.push_back(entry.kind == TraceEntry::Kind::Traffic
                                ? (entry.line.sent ? "> " : "< ") + entry.line.text
                                : (entry.kind == TraceEntry::Kind::Note ? "= " : "? ") + entry.text);
    };
    const std::string version = "SendData: " + HexBytes(Frame(cmd::Version, 255)) + " ";
    for (const std::string& text : {
             std::string("...........................2026\xc4\xea"
                         "12\xd4\xc2"
                         "7\xc8\xd5"
                         "9\xca\xb1"
                         "5\xb7\xd6"
                         "3\xc3\xeb........................."),
             version,  // no reply: the next request shows it
             "SendData: aa ff 02 SendData: " + HexBytes(Frame(cmd::Version, 255)),  // a write cut short
             "ReceiveData: " + HexBytes(Frame(cmd::Version, 1, 0, 0x0301)),
             std::string("ReceiveData: zz"),
             std::string("ReceiveData: aa01"),
             std::string("........................... 12:30"),  // a banner without its date
             std::string("noise SendData: aa ff"),
             std::string("[2] Begin Download user program ....................."),
             "0   SendData: " + HexBytes(Frame(10, 255, 1, 0, 0, 0)),
             "0 ReceiveData: " + HexBytes(FrameBytes(16, 0)),
         })
        read(trace.ReadLine(text));
    read(trace.Finish());
    EXPECT_EQ(shown, (std::vector<std::string>{
                         "= 日志开始 2026-12-07 09:05:03",
                         "> Ravo_GetControllerVersion addr=255",
                         "< 超时无应答",
                         "> 未完整发出 (3/16 字节)",
                         "> Ravo_GetControllerVersion addr=255",
                         "< 应答 Ravo_GetControllerVersion version=3.1",
                         "? ReceiveData: zz",
                         "? ReceiveData: aa01",
                         "? ........................... 12:30",
                         "? noise SendData: aa ff",
                         "= 开始下载 2 条记录",
                         "> 记录 0: 指令 10 1 0 0",
                         "< 超时无应答",
                     }));
    EXPECT_EQ(trace.UnparsedCount(), 4);
}

}  // namespace
