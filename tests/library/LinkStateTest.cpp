// Ravo_GetLinkState against a simulated controller: what the last exchange got and a line that is
// pulled and plugged in again; and the outcome the traffic monitor is told of each transfer.
#include "PtyPeer.h"

#include <tuple>

namespace {

using ravo_sim::Fault;
using ravo_sim::RequestKind;

using Events = std::vector<RavoTrafficEvent>;
void keep(const RavoTrafficEvent* event, void* to) { static_cast<Events*>(to)->push_back(*event); }

class LinkState : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(Ravo_OpenSericalPort(1), RAVO_OK);
        Ravo_SetTrafficMonitor(keep, &transfers);
    }
    void TearDown() override {
        Ravo_SetTrafficMonitor(nullptr, nullptr);
        Ravo_CloseSericalPort();
    }

    // The outcome of the monitor's last event, which must be a read of COM1 of `count` bytes.
    int lastRead(int count = 16) {
        if (transfers.empty()) return -1;
        const RavoTrafficEvent last = transfers.back();
        EXPECT_EQ(last.direction, RAVO_TRAFFIC_RECEIVED);
        EXPECT_EQ(last.port, 1);
        EXPECT_EQ(last.count, count);
        return last.outcome;
    }
    int version() {
        int word = -1;
        Ravo_GetControllerVersion(RAVO_ANY_CONTROLLER_ADDRESS, &word);
        return word;
    }

    Events transfers;
    TemporaryComFolder folder;
    std::unique_ptr<ravo_sim::Simulator> sim = folder.simulator(1);
};

TEST_F(LinkState, EachKindOfExchangeTellsAWholeReplyFromNoneOrAShortOne) {
    short value = 0;
    const std::tuple<RequestKind, int, std::function<void()>> kinds[] = {
        {RequestKind::Command, 16, [] { Ravo_Beeper(255, 1); }},
        {RequestKind::Modbus, 7, [&] { Modbus_ReadShort(255, 199, &value); }},
    };
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_OK) << "opened, nothing exchanged yet";
    for (const auto& [kind, whole, run] : kinds) {
        run();
        EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_OK);
        EXPECT_EQ(lastRead(whole), RAVO_TRAFFIC_COMPLETE);

        sim->setSilent(true);
        run();
        EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_NO_REPLY) << "silent";
        EXPECT_EQ(lastRead(0), RAVO_TRAFFIC_NOTHING);
        sim->setSilent(false);
        sim->inject({Fault::Action::ShortReply, kind, -1, 1, 2});
        run();
        EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_NO_REPLY) << "short reply";
        EXPECT_EQ(lastRead(2), RAVO_TRAFFIC_SHORT);
    }
    Ravo_Beeper(255, 1);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_OK) << "answered again";
}

TEST_F(LinkState, PulledLineStaysLostUntilReopenedAndReopensOncePluggedIn) {
    sim->unplug();
    EXPECT_EQ(version(), 0);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_LOST);
    EXPECT_EQ(transfers.back().outcome, RAVO_TRAFFIC_PORT_LOST);
    Ravo_Beeper(255, 1);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_LOST) << "stays lost";

    sim->plugIn();
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_LOST) << "until the port is opened again";
    sim->clearTraffic();
    ASSERT_EQ(Ravo_OpenSericalPort(1), RAVO_OK);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_OK);
    EXPECT_EQ(version(), 0x0300);
    EXPECT_EQ(sim->traffic().size(), 1u) << "nothing sent while the port was lost arrives late";

    Ravo_SetTrafficMonitor(nullptr, nullptr);
    transfers.clear();
    sim->unplug();
    version();
    EXPECT_TRUE(transfers.empty()) << "a null callback turns the monitor off";
    EXPECT_EQ(Ravo_OpenSericalPort(1), RAVO_PORT_NOT_OPENED) << "while unplugged";
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_NO_PORT) << "the failed open closed the lost port first";
}

TEST_F(LinkState, HangUpDuringAnExchangeIsALoss) {
    sim->inject({Fault::Action::HangUp, RequestKind::Command, 2});
    EXPECT_EQ(version(), 0);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_LOST);
}

// The ThreadSanitizer build tells whether any of these accesses race.
TEST_F(LinkState, MayBeReadOnAnotherThreadWhileTheCommandPortOpensClosesAndMoves) {
    const auto com2 = folder.simulator(2);
    std::atomic<bool> done{false};
    std::atomic<int> outOfRange{0};
    std::thread reader([&] {
        while (!done) {
            const int state = Ravo_GetLinkState();
            outOfRange += state < RAVO_LINK_OK || state > RAVO_LINK_LOST;
        }
    });
    unsigned char slave = 0;
    for (int round = 0; round < 10; ++round) {
        EXPECT_EQ(Modbus_OpenSerical(2, &slave), RAVO_OK);  // moves the command route to COM2
        EXPECT_EQ(Ravo_OpenSericalPort(1), RAVO_OK);        // and back to a port of its own
        Ravo_CloseSericalPort();
    }
    done = true;
    reader.join();
    Modbus_CloseSerical(2);
    EXPECT_EQ(outOfRange, 0);
}

}  // namespace
