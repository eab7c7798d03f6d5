// 500 Modbus_ReadShort round trips and 500 libmodbus modbus_read_input_registers round trips
// against the same simulated controller on the same pty, answering at once and paced at
// 19200 baud. Ours address slave 255 on the command port; libmodbus's RTU mode takes slave
// addresses 0..247 only, so it addresses the controller's own slave address (registers
// 200..201). The requests have the same length. The two take turns in blocks of 100, each
// closing the port before the other opens it, so that a changing machine load hits both alike.
#include "Kelvane_Ravo_Q9T2.h"
#include "TemporaryComFolder.h"

#include <modbus.h>

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace {

using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

constexpr int kBlocks = 5;
constexpr int kRoundsPerBlock = 100;
constexpr int kSlave = 17;
constexpr int kRegister = 199;

// Time of one block, or nothing when a round trip failed.
bool oursBlock(Milliseconds& total) {
    if (Ravo_OpenSericalPort(1) != RAVO_OK) return false;
    short value = 0;
    const auto start = Clock::now();
    int done = 0;
    while (done < kRoundsPerBlock && Modbus_ReadShort(RAVO_ANY_CONTROLLER_ADDRESS, kRegister, &value) == RAVO_OK)
        ++done;
    total += Clock::now() - start;
    Ravo_CloseSericalPort();
    return done == kRoundsPerBlock;
}

bool theirsBlock(const std::string& device, Milliseconds& total) {
    modbus_t* context = modbus_new_rtu(device.c_str(), 19200, 'N', 8, 1);
    if (!context) return false;
    if (modbus_set_slave(context, kSlave) != 0 || modbus_connect(context) != 0) {
        modbus_free(context);
        return false;
    }
    std::uint16_t value = 0;
    const auto start = Clock::now();
    int done = 0;
    while (done < kRoundsPerBlock && modbus_read_input_registers(context, kRegister, 1, &value) == 1) ++done;
    total += Clock::now() - start;
    modbus_close(context);
    modbus_free(context);
    return done == kRoundsPerBlock;
}

bool compare(bool paced) {
    TemporaryComFolder folder;
    ravo_sim::Simulator sim({folder.path(), 1, paced});
    sim.setRegister(200, kSlave);
    sim.setRegister(201, 0);
    sim.setRegister(kRegister, 1234);

    Milliseconds ours{0}, theirs{0};
    bool ok = true;
    for (int block = 0; block < kBlocks && ok; ++block) ok = oursBlock(ours) && theirsBlock(sim.devicePath(), theirs);
    const int rounds = kBlocks * kRoundsPerBlock;
    if (!ok) {
        std::printf("%-8s a round trip failed\n", paced ? "paced" : "unpaced");
        return false;
    }
    std::printf("%-8s %d round trips: Modbus_ReadShort %.3f ms, libmodbus %.3f ms, ratio %.3f\n",
                paced ? "paced" : "unpaced", rounds, ours.count() / rounds, theirs.count() / rounds,
                ours.count() / theirs.count());
    return true;
}

}  // namespace

int main() {
    Ravo_GlobalInit();
    const bool unpaced = compare(false);
    const bool paced = compare(true);
    return unpaced && paced ? 0 : 1;
}
