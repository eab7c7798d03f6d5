// The serial link under the command exports: device names, exclusive open, a raw 8-bit clean
// line and the traffic log.
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
    const std::pair<int, std::string> devices[] = {
        {1, "/dev/ttyS0"}, {9, "/dev/ttyS8"}, {10, "/dev/ttyUSB0"}, {19, "/dev/ttyUSB9"}, {0, ""}, {20, ""}, {-1, ""}};
    for (const auto& [number, path] : devices) EXPECT_EQ(ravo_lib::comDevicePath(number), path) << number;
    EXPECT_EQ(Ravo_OpenSericalPort(20), 2);
    ::setenv("RAVO_COM_DIR", "/some/rig", 1);
    EXPECT_EQ(ravo_lib::comDevicePath(0), "/some/rig/COM0");
}

using SerialLink = CommandPeerTest;

TEST_F(SerialLink, OpensOnlyTerminalsAndHoldsThemExclusivelyUntilClosed) {
    EXPECT_EQ(Ravo_OpenSericalPort(7), 2) << "no such device";
    std::ofstream(std::string(std::getenv("RAVO_COM_DIR")) + "/COM3") << "not a terminal";
    EXPECT_EQ(Ravo_OpenSericalPort(3), 2);
    EXPECT_EQ(Ravo_OpenSericalPort(1), 0) << "opening again closes and reopens";

    unsigned char slave = 0;
    EXPECT_EQ(Modbus_OpenSerical(1, &slave), 2) << "a second opener, as a Modbus port";
    // The terminal itself, since the ordinary user may not enter the private link folder.
    const std::string terminal = std::filesystem::canonical(peer.devicePath());
    ASSERT_EQ(::chmod(terminal.c_str(), 0666), 0);
    EXPECT_EQ(openAsOrdinaryUser(terminal), 1) << "a program without the lock";

    Ravo_CloseSericalPort();
    EXPECT_EQ(openAsOrdinaryUser(terminal), 0);
    ::close(0);  // a program without standard input gets descriptor 0 for the port
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

// One banner per process (LogLocation checks it), then each frame as sent and each whole reply
// as received. Late bytes of an earlier reply are dropped before each exchange.
TEST_F(SerialLink, LogsABannerAndEveryByteSentAndReceivedWithoutStaleInput) {
    const std::string path = besideExecutable("SericalComInfo.log");
    replyWith(0x01020304, 0xA0B0C0D0, 0xFF);
    Ravo_Beeper(255, 1);  // ends any line an earlier failed write left open
    const std::size_t before = readFile(path).size();
    peer.send({0x11, 0x22, 0x33, 0x44, 0x55});
    Ravo_SetWorkMode(255, 2, 0);
    replyWith(0, 0, 0, 15);  // a reply one byte short: no receive line
    Ravo_GetMotorPosition(255, 1, nullptr);
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

    EXPECT_EQ(bannerLength(log), log.find("SendData")) << "one banner only, and reopening kept the log";
}
