// Exchanges on a lost port fail at once instead of waiting out their read time-outs. The bound
// is generous; the time-outs alone would take more than twice as long.
#include "TemporaryComFolder.h"

#include <Kelvane_Ravo_Q9T2.h>
#include <gtest/gtest.h>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

TEST(LostPortTiming, ExchangesFailWithoutWaitingOutTheirTimeOuts) {
    TemporaryComFolder folder;
    const auto sim = folder.simulator(1);
    ASSERT_EQ(Ravo_OpenSericalPort(1), RAVO_OK);
    int version = 0;
    Ravo_GetControllerVersion(255, &version);
    ASSERT_EQ(version, 0x0300);
    sim->unplug();

    // Ten command replies would wait 170 ms each and ten Modbus replies 100 ms: 2.7 s.
    constexpr int kRounds = 10;
    const auto start = Clock::now();
    for (int round = 0; round < kRounds; ++round) {
        float position = 1.0f;
        Ravo_GetMotorPosition(255, 1, &position);
        EXPECT_EQ(position, 0.0f);
        int value = 0;
        EXPECT_EQ(Modbus_ReadLong(255, 200, &value), RAVO_MODBUS_FAILED);
    }
    EXPECT_LT(Clock::now() - start, 1300ms);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_LOST);
    Ravo_CloseSericalPort();
}

}  // namespace
