// One scenario through the library's C interface against ravo-sim on COM<argv[1]>, built for
// Linux and for Windows so that scripts/test-windows can compare the two systems. Prints one
// line per step with its results. Lines starting "time " hold durations, which differ between
// runs. A line "signal USR1" or "signal USR2" asks the caller to send that signal to the
// simulator and to answer with a line once it has been carried out.
#include <Kelvane_Ravo_Q9T2.h>

#include <algorithm>
#include <chrono>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kAny = RAVO_ANY_CONTROLLER_ADDRESS;

void say(const char* format, ...) __attribute__((format(printf, 1, 2)));
void say(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::putchar('\n');
    std::fflush(stdout);
}

void askForSignal(const char* name) {
    say("signal %s", name);
    char answer[16];
    if (!std::fgets(answer, sizeof answer, stdin)) std::exit(1);
}

const char* linkState() {
    switch (Ravo_GetLinkState()) {
        case RAVO_LINK_OK:
            return "ok";
        case RAVO_LINK_NO_PORT:
            return "no port";
        case RAVO_LINK_NO_REPLY:
            return "no reply";
        case RAVO_LINK_LOST:
            return "lost";
    }
    return "?";
}

// The version query, timed in milliseconds.
double timedVersion(int& version) {
    const Clock::time_point start = Clock::now();
    Ravo_GetControllerVersion(kAny, &version);
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void controller() {
    int version = 0, mode = 0;
    Ravo_GetControllerVersion(kAny, &version);
    say("version 0x%04x, link %s", version, linkState());
    for (int wanted : {RAVO_WORK_MODE_MANUAL, RAVO_WORK_MODE_PROGRAMS}) {
        Ravo_SetWorkMode(kAny, wanted, 0);
        Ravo_GetWorkMode(kAny, &mode);
        say("work mode %d read back %d", wanted, mode);
    }
    unsigned char level = 9;
    int bits = 0;
    Ravo_SetIOPinLevel(kAny, 33, 1);
    Ravo_SetIOPinLevel(kAny, 35, 1);
    Ravo_GetIOPinLevel(kAny, 33, &level);
    Ravo_GetAllIOPinLevel(kAny, 33, &bits);
    say("pin 33 level %d, pins from 33 0x%x", level, bits);
}

void motorParameters() {
    for (int axis = 1; axis <= 8; ++axis) {
        const int mask = 1 << (axis - 1);
        int div = 0, acc = 0, dec = 0;
        float pitch = 0, speed = 0, position = 0;
        Ravo_SetMotorDriveDiv(kAny, mask, 1000 * axis);
        Ravo_SetMotorPitch(kAny, mask, 2.5f * axis - 0.125f);
        Ravo_SetMotorAcc(kAny, mask, 100 + axis);
        Ravo_SetMotorDec(kAny, mask, 200 + axis);
        Ravo_SetMotorMaxSpeed(kAny, mask, 12.75f * axis);
        Ravo_SetMotorMinSpeed(kAny, mask, 0.5f);
        Ravo_GetMotorDriveDiv(kAny, mask, &div);
        Ravo_GetMotorPitch(kAny, mask, &pitch);
        Ravo_GetMotorAcc(kAny, mask, &acc);
        Ravo_GetMotorDec(kAny, mask, &dec);
        Ravo_GetMotorCurSpeed(kAny, mask, &speed);
        Ravo_GetMotorPosition(kAny, mask, &position);
        say("axis %d: div %d pitch %.9g acc %d dec %d speed %.9g position %.9g", axis, div, double(pitch), acc, dec,
            double(speed), double(position));
    }
}

void countProgress(int record, int count, void* user) {
    auto* seen = static_cast<int*>(user);
    seen[0] += 1;
    seen[1] = record;
    seen[2] = count;
}

void download() {
    constexpr int kRecords = 1000;
    std::vector<unsigned char> records(kRecords * 16, 0);
    for (int i = 0; i < kRecords; ++i) {
        unsigned char* record = &records[i * 16];
        record[0] = 0xAA;
        record[1] = 0xFF;
        record[2] = static_cast<unsigned char>(1 + i % 40);
        record[6] = static_cast<unsigned char>(i);  // every byte value, 0x11 and 0x13 too
        record[10] = static_cast<unsigned char>(i >> 8);
    }
    int seen[3] = {0, 0, 0};
    Ravo_SetDownloadProgress(countProgress, seen);
    const int stored = Ravo_SetUserProgram(records.data(), kRecords);
    const int result = Ravo_DownLoadProgram(2);
    Ravo_SetDownloadProgress(nullptr, nullptr);
    Ravo_SetWorkMode(kAny, RAVO_WORK_MODE_PROGRAMS, 0);
    int mode = 0;
    Ravo_GetWorkMode(kAny, &mode);
    say("download of %d records: stored %d, result %d, progress calls %d (last %d of %d), "
        "then work mode %d",
        kRecords, stored, result, seen[0], seen[1], seen[2], mode);
}

// Prints the results of a write, then a read, of one Modbus value.
template <typename Value, typename Write, typename Read>
void modbusValue(const char* what, Write write, Read read) {
    const int written = write();
    Value value{};
    const int readResult = read(&value);
    say("modbus %s: write %d, read %d value %.9g", what, written, readResult, double(value));
}

void modbus() {
    modbusValue<short>(
        "short 199", [] { return Modbus_WriteShort(kAny, 199, -2); },
        [](short* value) { return Modbus_ReadShort(kAny, 199, value); });
    modbusValue<int>(
        "long 300", [] { return Modbus_WriteLong(kAny, 300, -123456789); },
        [](int* value) { return Modbus_ReadLong(kAny, 300, value); });
    modbusValue<float>(
        "float 366", [] { return Modbus_WriteFloat(kAny, 366, -2.5f); },
        [](float* value) { return Modbus_ReadFloat(kAny, 366, value); });
    for (int on : {1, 0})
        modbusValue<unsigned char>(
            "coil 110", [on] { return Modbus_WriteCoil(kAny, 110, on); },
            [](unsigned char* state) { return Modbus_ReadCoil(kAny, 110, state); });
    modbusValue<short>(
        "unknown slave", [] { return Modbus_WriteShort(7, 1, 1); },
        [](short* value) { return Modbus_ReadShort(7, 1, value); });
}

// Returns the mean time of one exchange with the silent controller.
double silentController() {
    constexpr int kExchanges = 3;
    askForSignal("USR2");
    double total = 0;
    int version = 0;
    for (int i = 0; i < kExchanges; ++i) total += timedVersion(version);
    const char* state = linkState();
    short value = 0;
    const int modbusRead = Modbus_ReadShort(kAny, 199, &value);
    say("silent: version 0x%04x, link %s, modbus read %d", version, state, modbusRead);
    askForSignal("USR2");
    timedVersion(version);
    say("answering again: version 0x%04x, link %s", version, linkState());
    return total / kExchanges;
}

void pulledAdapter(int com, double silentExchangeMs) {
    askForSignal("USR1");
    int version = 0;
    double fastest = timedVersion(version);  // finds the hang-up
    for (int i = 0; i < 2; ++i) fastest = std::min(fastest, timedVersion(version));
    say("pulled: version 0x%04x, link %s, exchanges fail faster than a silent one: %s", version, linkState(),
        fastest < silentExchangeMs ? "yes" : "no");
    std::printf("time lost-exchange-ms %.1f\n", fastest);

    // ravo-sim plugs the line in again after a while; the port opens from then on.
    int opened = RAVO_PORT_NOT_OPENED;
    for (int attempt = 0; attempt < 100 && opened != RAVO_OK; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        opened = Ravo_OpenSericalPort(com);
    }
    Ravo_GetControllerVersion(kAny, &version);
    say("plugged in again: open %d, version 0x%04x, link %s", opened, version, linkState());
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: link_scenario COM_NUMBER\n");
        return 64;
    }
    const int com = std::atoi(argv[1]);
    Ravo_GlobalInit();
    const int opened = Ravo_OpenSericalPort(com);
    say("open COM%d: %d, link %s", com, opened, linkState());
    controller();
    motorParameters();
    download();
    modbus();
    const double silentMs = silentController();
    std::printf("time silent-exchange-ms %.1f\n", silentMs);
    pulledAdapter(com, silentMs);
    Ravo_CloseSericalPort();
    say("closed: link %s", linkState());
    Ravo_GlobalRelease();
    return 0;
}
