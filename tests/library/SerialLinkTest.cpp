// The serial link under the command exports: device names, exclusive open, a raw 8-bit clean
// line, hang-ups and the traffic log.
#include "ComDevicePath.h"
#include "LogFiles.h"
#include "PtyPeer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <cerrno>
#include <filesystem>

namespace {

const std::time_t processStart = std::time(nullptr);

// Another process with the library opens COM1: 0 opened, 2 not. Its log lives in its folder.
int openInAnotherProcess() { return WEXITSTATUS(std::system("'" RAVO_OPEN_PROBE "' 1")); }
const std::string probeLog = std::filesystem::path(RAVO_OPEN_PROBE).parent_path() / "SericalComInfo.log";

// An ordinary user's program that knows nothing of the lock: 0 opened, 1 refused as busy.
int openAsOrdinaryUser(const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::getuid() == 0 && (::syscall(SYS_setgid, kNobody) != 0 || ::syscall(SYS_setuid, kNobody) != 0)) ::_exit(3);
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::_exit(fd >= 0 ? 0 : errno == EBUSY ? 1 : 2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WEXITSTATUS(status);
}

}  // namespace

TEST(ComDevicePath, FollowsTheComFolderWhenSetAndTheUsualDevicesOtherwise) {
    ::unsetenv("RAVO_COM_DIR");
    EXPECT_EQ(ravo_lib::comDevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(ravo_lib::comDevicePath(9), "/dev/ttyS8");
    EXPECT_EQ(ravo_lib::comDevicePath(10), "/dev/ttyUSB0");
    EXPECT_EQ(ravo_lib::comDevicePath(19), "/dev/ttyUSB9");
    for (int none : {0, 20, -1, 255}) EXPECT_EQ(ravo_lib::comDevicePath(none), "") << none;
    EXPECT_EQ(Ravo_OpenSericalPort(0), 2);
    EXPECT_EQ(Ravo_OpenSericalPort(20), 2);
    ::setenv("RAVO_COM_DIR", "/some/rig", 1);
    EXPECT_EQ(ravo_lib::comDevicePath(12), "/some/rig/COM12");
    EXPECT_EQ(ravo_lib::comDevicePath(0), "/some/rig/COM0");
}

using SerialLink = CommandPeerTest;

TEST_F(SerialLink, OpensOnlyTerminalsAndHoldsThemExclusivelyUntilClosed) {
    EXPECT_EQ(Ravo_OpenSericalPort(7), 2) << "no such device";
    std::ofstream(peer.comDir() + "/COM3") << "not a terminal";
    EXPECT_EQ(Ravo_OpenSericalPort(3), 2);
    EXPECT_EQ(Ravo_OpenSericalPort(1), 0) << "opening again closes and reopens";

    unsigned char slave = 0;
    EXPECT_EQ(Modbus_OpenSerical(1, &slave), 2) << "in this process, as a Modbus port";
    EXPECT_EQ(openInAnotherProcess(), 2) << "in another process";
    // The terminal itself, since the ordinary user may not enter the private link folder.
    const std::string terminal = std::filesystem::canonical(peer.devicePath());
    ASSERT_EQ(::chmod(terminal.c_str(), 0666), 0);
    EXPECT_EQ(openAsOrdinaryUser(terminal), 1) << "a program without the lock";

    Ravo_CloseSericalPort();
    EXPECT_EQ(openAsOrdinaryUser(terminal), 0);
    std::ofstream(probeLog, std::ios::binary) << "old contents\n";
    EXPECT_EQ(openInAnotherProcess(), 0);
    const std::string log = readFile(probeLog);
    EXPECT_EQ(bannerLength(log), log.size()) << "another process starts its log afresh: " << log;
    ASSERT_EQ(Ravo_OpenSericalPort(1), 0) << "closing released everything";
    replyWith(0, 42, 0);
    int version = 0;
    Ravo_GetControllerVersion(255, &version);
    EXPECT_EQ(version, 42);
}

TEST_F(SerialLink, CarriesAllByteValuesUnchangedBothWaysOverASpoiledLine) {
    // Every translation, line-editing and flow-control setting a previous user might have left
    // behind. (A pseudo-terminal keeps no parity setting.)
    Ravo_CloseSericalPort();
    const int fd = ::open(peer.devicePath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios settings{};
    ASSERT_EQ(::tcgetattr(fd, &settings), 0);
    settings.c_iflag |= ISTRIP | PARMRK | INPCK | ICRNL | INLCR | IGNCR | IXON | IXOFF | IUCLC;
    settings.c_oflag |= OPOST | ONLCR | OCRNL | OLCUC;
    settings.c_lflag |= ICANON | ECHO | ECHOE | ECHONL | ISIG | IEXTEN;
    settings.c_cflag = (settings.c_cflag & ~CSIZE) | CS7 | CSTOPB | CRTSCTS;
    ASSERT_EQ(::tcsetattr(fd, TCSANOW, &settings), 0);
    ASSERT_EQ(Ravo_OpenSericalPort(1), 0);
    ASSERT_EQ(::tcgetattr(fd, &settings), 0);
    ::close(fd);
    EXPECT_EQ(settings.c_cflag & (CSIZE | CSTOPB | CRTSCTS), unsigned(CS8));
    EXPECT_EQ(settings.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(::cfgetospeed(&settings), speed_t(B19200));

    // Twelve parameter bytes per frame cover 0..255; the inverted echo covers them again.
    echoRotatedInverted();
    for (int first = 0; first < 256; first += 12) {
        SCOPED_TRACE(first);
        std::uint32_t sent[3] = {};
        for (int k = 0; k < 12; ++k) sent[k / 4] = sent[k / 4] << 8 | ((first + k) & 0xFF);
        int values[3] = {int(sent[0]), int(sent[1]), int(sent[2])};
        const auto code = static_cast<std::uint8_t>(first);
        Ravo_CommandRawData(code, &values[0], &values[1], &values[2]);
        EXPECT_EQ(lastRequest(), commandFrame(0xFF, code, sent[0], sent[1], sent[2]));
        for (int v = 0; v < 3; ++v) EXPECT_EQ(std::uint32_t(values[v]), ~sent[(v + 2) % 3]);
    }
}

TEST_F(SerialLink, StartsEachExchangeWithoutStaleInputAndSurvivesAHangUp) {
    replyWith(0, 1, 0);
    int value = 0;
    Ravo_GetControllerVersion(255, &value);
    ASSERT_EQ(value, 1);
    peer.send({0x11, 0x22, 0x33, 0x44, 0x55});  // late bytes waiting in the queue
    replyWith(0, 2, 0);
    Ravo_GetControllerVersion(255, &value);
    EXPECT_EQ(value, 2);

    peer.answerWith([this](const Frame16&) {
        peer.hangUp();
        return Bytes{};
    });
    float position = 3.0f;
    EXPECT_EQ(Ravo_GetMotorPosition(255, 1, &position), 0);
    EXPECT_EQ(position, 0.0f);
    position = 3.0f;
    EXPECT_EQ(Ravo_GetMotorPosition(255, 1, &position), 0) << "a dead line fails at once";
    EXPECT_EQ(position, 0.0f);
}

TEST_F(SerialLink, LogsABannerAndEveryByteSentAndReceived) {
    const std::string path = besideExecutable("SericalComInfo.log");
    replyWith(0x01020304, 0xA0B0C0D0, 0xFF);
    Ravo_Beeper(255, 1);  // ends any line an earlier failed write left open
    const std::size_t before = readFile(path).size();
    Ravo_SetWorkMode(255, 2, 0);
    replyWith(0, 0, 0, 15);  // a reply one byte short: no receive line
    float position = 1.0f;
    Ravo_GetMotorPosition(255, 1, &position);
    EXPECT_EQ(position, 0.0f);
    Ravo_CloseSericalPort();
    Ravo_SetWorkMode(255, 2, 0);  // a closed port logs nothing
    ASSERT_EQ(Ravo_OpenSericalPort(1), 0);
    replyWith(0, 0, 0);
    Ravo_Beeper(255, 2);
    const std::string log = readFile(path);
    EXPECT_EQ(log.substr(before),
              "SendData: aa ff 06 00 00 00 02 00 00 00 00 00 00 00 00 b1 \n"
              "ReceiveData: aa ff 06 01 02 03 04 a0 b0 c0 d0 00 00 00 ff 98 \n"
              "SendData: aa ff 89 00 00 00 01 00 00 00 00 00 00 00 00 33 \n"
              "SendData: aa ff 14 00 00 00 02 00 00 00 00 00 00 00 00 bf \n"
              "ReceiveData: aa ff 14 00 00 00 00 00 00 00 00 00 00 00 00 bd \n");

    // One banner of this process at the start; reopening the port kept the earlier lines.
    std::tm stamp{};
    const std::size_t banner = bannerLength(log, &stamp);
    ASSERT_NE(banner, 0u) << log.substr(0, 80);
    EXPECT_GE(std::mktime(&stamp), processStart - 1);
    EXPECT_LE(std::mktime(&stamp), std::time(nullptr) + 1);
    EXPECT_EQ(log.find("\xc3\xeb", banner), std::string::npos) << "one banner only";
    EXPECT_NE(log.find("SendData: aa ff 14 00 00 00 01 "), std::string::npos);
}
