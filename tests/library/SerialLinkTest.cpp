// The serial link under the command exports: device names, exclusive open, a raw 8-bit clean
// line, hang-ups and the traffic log.
#include "CommandPeerFixture.h"
#include "TrafficLogFile.h"

#include "com_device_path.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace {

const std::time_t processStart = std::time(nullptr);

// Runs the probe program (another process with the library) on COM<n>; its exit code.
int openInAnotherProcess(int comNumber) {
    const std::string number = std::to_string(comNumber);
    char* argv[] = {const_cast<char*>(RAVO_OPEN_PROBE), const_cast<char*>(number.c_str()), nullptr};
    pid_t child = 0;
    if (::posix_spawn(&child, RAVO_OPEN_PROBE, nullptr, nullptr, argv, environ) != 0) return -1;
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string probeLogPath() {
    const std::string probe = RAVO_OPEN_PROBE;
    return probe.substr(0, probe.find_last_of('/')) + "/SericalComInfo.log";
}

// Opens the device the way a second user would, lock included; true when that succeeded.
bool secondOpenSucceeds(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return false;
    const bool locked = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd);
    return locked;
}

// Opens the device from a child process that runs as an ordinary user, without the lock, as a
// program that knows nothing of it would. 0 opened, 1 refused as busy, 2 other failure.
int openAsOrdinaryUser(const std::string& path) {
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (::getuid() == 0 &&
            (::syscall(SYS_setgid, kNobody) != 0 || ::syscall(SYS_setuid, kNobody) != 0))
            ::_exit(3);
        const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        ::_exit(fd >= 0 ? 0 : errno == EBUSY ? 1 : 2);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Puts every translation and line-editing setting a terminal can have on the device, as a
// previous user might have left it.
void spoilLineSettings(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);
    termios settings{};
    ASSERT_EQ(::tcgetattr(fd, &settings), 0);
    settings.c_iflag |= ISTRIP | PARMRK | INPCK | ICRNL | INLCR | IGNCR | IXON | IXOFF | IUCLC;
    settings.c_oflag |= OPOST | ONLCR | OCRNL | OLCUC;
    settings.c_lflag |= ICANON | ECHO | ECHOE | ECHONL | ISIG | IEXTEN;
    settings.c_cflag = (settings.c_cflag & ~CSIZE) | CS7;
    ASSERT_EQ(::tcsetattr(fd, TCSANOW, &settings), 0);
    ::close(fd);
}

class ScopedUnsetComDir {
public:
    ScopedUnsetComDir() {
        if (const char* dir = std::getenv("RAVO_COM_DIR")) saved_ = dir, had_ = true;
        ::unsetenv("RAVO_COM_DIR");
    }
    ~ScopedUnsetComDir() {
        if (had_) ::setenv("RAVO_COM_DIR", saved_.c_str(), 1);
    }

private:
    std::string saved_;
    bool had_ = false;
};

// Reads the banner line at the start of `log`: 27 dots, the date and time with the GBK words
// for year, month, day, hour, minute and second, 25 dots, a line feed. Its length, or 0.
std::size_t parseBanner(const std::string& log, std::tm& stamp) {
    const std::string dotsBefore(27, '.'), dotsAfter(25, '.');
    if (log.compare(0, 27, dotsBefore) != 0) return 0;
    int used = 0;
    stamp = std::tm{};
    if (std::sscanf(log.c_str() + 27,
                    "%d\xc4\xea%d\xd4\xc2%d\xc8\xd5%d\xca\xb1%d\xb7\xd6%d\xc3\xeb%n",
                    &stamp.tm_year, &stamp.tm_mon, &stamp.tm_mday, &stamp.tm_hour, &stamp.tm_min,
                    &stamp.tm_sec, &used) != 6 || used == 0)
        return 0;
    const std::size_t end = 27 + static_cast<std::size_t>(used);
    if (log.compare(end, 26, dotsAfter + "\n") != 0) return 0;
    stamp.tm_year -= 1900;
    stamp.tm_mon -= 1;
    stamp.tm_isdst = -1;
    return end + 26;
}

}  // namespace

TEST(ComDevicePath, FollowsTheComFolderWhenSetAndTheUsualDevicesOtherwise) {
    {
        ScopedUnsetComDir unset;
        EXPECT_EQ(ravo::comDevicePath(1), "/dev/ttyS0");
        EXPECT_EQ(ravo::comDevicePath(9), "/dev/ttyS8");
        EXPECT_EQ(ravo::comDevicePath(10), "/dev/ttyUSB0");
        EXPECT_EQ(ravo::comDevicePath(19), "/dev/ttyUSB9");
        for (int none : {0, 20, -1, 255}) EXPECT_EQ(ravo::comDevicePath(none), "") << none;
        EXPECT_EQ(Ravo_OpenSericalPort(0), 2);
        EXPECT_EQ(Ravo_OpenSericalPort(20), 2);
    }
    ::setenv("RAVO_COM_DIR", "/some/rig", 1);
    EXPECT_EQ(ravo::comDevicePath(12), "/some/rig/COM12");
    EXPECT_EQ(ravo::comDevicePath(0), "/some/rig/COM0");
}

using SerialLink = CommandPeerTest;

TEST_F(SerialLink, OpensAgainOnTheSameNumberAndFailsOnMissingOrNonTerminalDevices) {
    EXPECT_EQ(Ravo_OpenSericalPort(1), 0) << "the second open closes and reopens";
    EXPECT_EQ(Ravo_OpenSericalPort(7), 2) << "no such device";
    std::ofstream(peer.comDir() + "/COM3") << "not a terminal";
    EXPECT_EQ(Ravo_OpenSericalPort(3), 2);

    EXPECT_EQ(Ravo_OpenSericalPort(1), 0);
    replyWith(0, 42, 0);
    int version = 0;
    Ravo_GetControllerVersion(255, &version);
    EXPECT_EQ(version, 42);
}

TEST_F(SerialLink, HoldsTheDeviceExclusivelyUntilClosed) {
    EXPECT_FALSE(secondOpenSucceeds(peer.devicePath())) << "in this process";
    unsigned char slave = 0;
    EXPECT_EQ(Modbus_OpenSerical(1, &slave), 2) << "through the library's Modbus port";
    EXPECT_EQ(openInAnotherProcess(1), 2) << "in another process";

    Ravo_CloseSericalPort();
    EXPECT_TRUE(secondOpenSucceeds(peer.devicePath()));
    EXPECT_EQ(openInAnotherProcess(1), 0);
    EXPECT_EQ(Ravo_OpenSericalPort(1), 0) << "closing released everything";
}

TEST_F(SerialLink, KeepsOutProgramsWithoutTheLockWhileOpenOnly) {
    // The terminal itself, since the ordinary user may not enter the private link folder.
    const std::string terminal = std::filesystem::canonical(peer.devicePath());
    ASSERT_EQ(::chmod(terminal.c_str(), 0666), 0);
    EXPECT_EQ(openAsOrdinaryUser(terminal), 1);
    // A pseudo-terminal keeps the exclusive flag past close() unless it is cleared.
    Ravo_CloseSericalPort();
    EXPECT_EQ(openAsOrdinaryUser(terminal), 0);
}

TEST_F(SerialLink, CarriesAllByteValuesUnchangedBothWays) {
    Ravo_CloseSericalPort();
    spoilLineSettings(peer.devicePath());
    ASSERT_EQ(Ravo_OpenSericalPort(1), 0);
    echoInvertedParameters();
    // Twelve parameter bytes per frame, each value 0..255 once; the echo returns them inverted,
    // which again covers every value.
    for (int first = 0; first < 256; first += 12) {
        std::uint8_t bytes[12];
        for (int k = 0; k < 12; ++k) bytes[k] = static_cast<std::uint8_t>(first + k);
        int values[3];
        for (int v = 0; v < 3; ++v)
            values[v] = static_cast<int>(std::uint32_t{bytes[4 * v]} << 24 |
                                         std::uint32_t{bytes[4 * v + 1]} << 16 |
                                         std::uint32_t{bytes[4 * v + 2]} << 8 | bytes[4 * v + 3]);
        const int sent[3] = {values[0], values[1], values[2]};
        const std::uint8_t code = static_cast<std::uint8_t>(first);
        Ravo_CommandRawData(code, &values[0], &values[1], &values[2]);

        SCOPED_TRACE(first);
        const Frame16 request = lastRequest();
        EXPECT_EQ(request, commandFrame(0xFF, code, static_cast<std::uint32_t>(sent[0]),
                                        static_cast<std::uint32_t>(sent[1]),
                                        static_cast<std::uint32_t>(sent[2])));
        EXPECT_EQ(values[0], ~sent[0]);
        EXPECT_EQ(values[1], ~sent[1]);
        EXPECT_EQ(values[2], ~sent[2]);
    }
}

TEST_F(SerialLink, SurplusReplyBytesAreDiscardedBeforeTheNextRequest) {
    replyWith(0, 1, 0);
    int value = 0;
    Ravo_GetControllerVersion(255, &value);
    ASSERT_EQ(value, 1);
    peer.send({0x11, 0x22, 0x33, 0x44, 0x55});  // late bytes waiting in the queue
    replyWith(0, 2, 0);
    Ravo_GetControllerVersion(255, &value);
    EXPECT_EQ(value, 2);
}

TEST_F(SerialLink, HangUpEndsTheExchangeWithZeroResults) {
    staySilent();
    PtyPeer& line = peer;
    float position = 3.0f;
    std::thread hangUp([&line] {
        line.waitForRequests(1, std::chrono::seconds(5));
        line.hangUp();
    });
    TrafficLogTail log;
    EXPECT_EQ(Ravo_GetMotorPosition(255, 1, &position), 0);
    hangUp.join();
    EXPECT_EQ(position, 0.0f);
    EXPECT_EQ(log.text().find("ReceiveData"), std::string::npos);

    position = 3.0f;
    EXPECT_EQ(Ravo_GetMotorPosition(255, 1, &position), 0) << "a dead line fails at once";
    EXPECT_EQ(position, 0.0f);
}

TEST_F(SerialLink, LogsEveryByteSentAndReceived) {
    replyWith(0x01020304, 0xA0B0C0D0, 0xFF);
    TrafficLogTail log;
    Ravo_SetWorkMode(255, 2, 0);
    EXPECT_EQ(log.text(),
              "SendData: aa ff 06 00 00 00 02 00 00 00 00 00 00 00 00 b1 \n"
              "ReceiveData: aa ff 06 01 02 03 04 a0 b0 c0 d0 00 00 00 ff 98 \n");
}

TEST_F(SerialLink, LogsNoReceiveLineForAShortReply) {
    staySilent();
    std::thread shortReply([this] {
        peer.waitForRequests(1, std::chrono::seconds(5));
        peer.send(Bytes(15, 0x5A));
    });
    TrafficLogTail log;
    float position = 1.0f;
    Ravo_GetMotorPosition(255, 1, &position);
    shortReply.join();
    EXPECT_EQ(position, 0.0f);
    EXPECT_EQ(log.text(), "SendData: aa ff 89 00 00 00 01 00 00 00 00 00 00 00 00 33 \n");
}

TEST_F(SerialLink, LogsNothingForAClosedPort) {
    Ravo_CloseSericalPort();
    TrafficLogTail log;
    Ravo_SetWorkMode(255, 2, 0);
    EXPECT_EQ(log.text(), "");
}

TEST_F(SerialLink, LogStartsWithOneBannerOfThisProcessAndKeepsEarlierLines) {
    replyWith(0, 0, 0);
    Ravo_Beeper(255, 1);
    Ravo_CloseSericalPort();
    ASSERT_EQ(Ravo_OpenSericalPort(1), 0);
    Ravo_Beeper(255, 2);

    const std::string log = readWholeFile(trafficLogPath());
    std::tm stamp{};
    const std::size_t bannerLength = parseBanner(log, stamp);
    ASSERT_NE(bannerLength, 0u) << log.substr(0, 80);
    const std::time_t written = std::mktime(&stamp);
    EXPECT_GE(written, processStart - 1);
    EXPECT_LE(written, std::time(nullptr) + 1);

    EXPECT_EQ(log.find("\xc3\xeb", bannerLength), std::string::npos) << "one banner only";
    const std::size_t first = log.find("SendData: aa ff 14 00 00 00 01 ");
    const std::size_t second = log.find("SendData: aa ff 14 00 00 00 02 ");
    EXPECT_NE(first, std::string::npos);
    EXPECT_NE(second, std::string::npos);
    EXPECT_LT(first, second);
}

TEST_F(SerialLink, AnotherProcessStartsItsLogAfresh) {
    Ravo_CloseSericalPort();
    std::ofstream(probeLogPath(), std::ios::binary) << "old contents\n";
    ASSERT_EQ(openInAnotherProcess(1), 0);
    const std::string log = readWholeFile(probeLogPath());
    std::tm stamp{};
    EXPECT_EQ(parseBanner(log, stamp), log.size()) << log;
}
