// Ravo_GetLinkState against a simulated controller: what the last exchange of each kind got, a
// closed port, and a line that is pulled and plugged in again; and the outcome the traffic
// monitor is told of each transfer.
#include "TemporaryComFolder.h"

#include <Kelvane_Ravo_Q9T2.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using ravo_sim::Fault;
using ravo_sim::RequestKind;

struct Transfer {
    int direction, port, count, outcome;
};

void keep(const RavoTrafficEvent* event, void* transfers) {
    static_cast<std::vector<Transfer>*>(transfers)->push_back(
        {event->direction, event->port, event->count, event->outcome});
}

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

    // The monitor's last event, which must be the read of COM1.
    Transfer lastRead() const {
        EXPECT_FALSE(transfers.empty());
        if (transfers.empty()) return {};
        EXPECT_EQ(transfers.back().direction, RAVO_TRAFFIC_RECEIVED);
        EXPECT_EQ(transfers.back().port, 1);
        return transfers.back();
    }
    std::vector<Transfer> transfers;

    int version() {
        int word = -1;
        Ravo_GetControllerVersion(RAVO_ANY_CONTROLLER_ADDRESS, &word);
        return word;
    }

    TemporaryComFolder folder;
    std::unique_ptr<ravo_sim::Simulator> sim = folder.simulator(1);
};

struct ExchangeKind {
    std::string name;
    RequestKind requestKind;
    std::function<void()> run;
};

TEST_F(LinkState, EachKindOfExchangeTellsAWholeReplyFromNoneOrAShortOne) {
    short value = 0;
    const ExchangeKind kinds[] = {
        {"command query", RequestKind::Command,
         [] {
             int v;
             Ravo_GetWorkMode(255, &v);
         }},
        {"command", RequestKind::Command, [] { Ravo_Beeper(255, 1); }},
        {"Modbus read", RequestKind::Modbus, [&] { Modbus_ReadShort(255, 199, &value); }},
        {"Modbus write", RequestKind::Modbus, [] { Modbus_WriteShort(255, 199, 7); }},
    };
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_OK) << "opened, nothing exchanged yet";
    for (const ExchangeKind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        kind.run();
        EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_OK);
        EXPECT_EQ(lastRead().outcome, RAVO_TRAFFIC_COMPLETE);

        sim->setSilent(true);
        kind.run();
        EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_NO_REPLY) << "silent";
        EXPECT_EQ(lastRead().outcome, RAVO_TRAFFIC_NOTHING);
        EXPECT_EQ(lastRead().count, 0);
        sim->setSilent(false);
        kind.run();
        EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_OK) << "answering again";

        sim->inject({Fault::Action::ShortReply, kind.requestKind, -1, 1, 15});
        kind.run();
        EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_NO_REPLY) << "short reply";
        EXPECT_EQ(lastRead().outcome, RAVO_TRAFFIC_SHORT);
    }
}

TEST_F(LinkState, DownloadTellsWhetherItsRecordsWereAnswered) {
    const unsigned char records[2][16] = {{0xAA, 0xFF, 0x01}, {0xAA, 0xFF, 0x02}};
    ASSERT_EQ(Ravo_SetUserProgram(records[0], 2), RAVO_OK);
    // The work mode that opens the download gets a short reply; the records after it count.
    sim->inject({Fault::Action::ShortReply, RequestKind::Command, 6});
    EXPECT_EQ(Ravo_DownLoadProgram(0), RAVO_OK);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_OK);

    sim->clearFaults();
    sim->setSilent(true);
    EXPECT_EQ(Ravo_DownLoadProgram(0), RAVO_FIRST_RECORD_FAILED);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_NO_REPLY);
}

TEST_F(LinkState, NoPortWhenClosedOrWhenAnOpenFailed) {
    Ravo_CloseSericalPort();
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_NO_PORT);
    EXPECT_EQ(version(), 0);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_NO_PORT) << "an exchange on a closed port";
    ASSERT_EQ(Ravo_OpenSericalPort(1), RAVO_OK);
    EXPECT_EQ(version(), 0x0300);
    EXPECT_EQ(Ravo_OpenSericalPort(7), RAVO_PORT_NOT_OPENED);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_NO_PORT) << "the failed open closed COM1 first";
}

TEST_F(LinkState, PulledLineStaysLostUntilClosedOrReopenedAndReopensOncePluggedIn) {
    sim->setVersion(0x0207);
    EXPECT_EQ(version(), 0x0207);
    sim->unplug();
    EXPECT_EQ(version(), 0);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_LOST);
    EXPECT_EQ(transfers.back().outcome, RAVO_TRAFFIC_PORT_LOST);

    short value = 5;
    EXPECT_EQ(Modbus_ReadShort(255, 199, &value), RAVO_MODBUS_FAILED);
    EXPECT_EQ(value, 5);
    EXPECT_EQ(Modbus_WriteShort(255, 199, 1), RAVO_OK) << "writes still report only the slave";
    Ravo_Beeper(255, 1);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_LOST) << "stays lost";

    sim->plugIn();
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_LOST) << "until the port is opened again";
    sim->clearTraffic();
    ASSERT_EQ(Ravo_OpenSericalPort(1), RAVO_OK);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_OK);
    EXPECT_EQ(version(), 0x0207) << "the controller kept its state";
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_OK);
    EXPECT_EQ(sim->traffic().size(), 1u) << "nothing sent while the port was lost arrives late";

    Ravo_SetTrafficMonitor(nullptr, nullptr);
    transfers.clear();
    sim->unplug();
    version();
    EXPECT_TRUE(transfers.empty()) << "a null callback turns the monitor off";
    Ravo_CloseSericalPort();
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_NO_PORT) << "closing ends the loss";
    EXPECT_EQ(Ravo_OpenSericalPort(1), RAVO_PORT_NOT_OPENED) << "while unplugged";
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_NO_PORT);
}

TEST_F(LinkState, HangUpDuringAnExchangeIsALossAndTheReturningLineOpens) {
    Fault hangUp{Fault::Action::HangUp, RequestKind::Command, 2};
    hangUp.delayMs = 100;
    sim->inject(hangUp);
    EXPECT_EQ(version(), 0);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_LOST);

    ASSERT_TRUE(sim->waitUntilPluggedIn(5s));
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_LOST);
    ASSERT_EQ(Ravo_OpenSericalPort(1), RAVO_OK);
    EXPECT_EQ(version(), 0x0300);
    EXPECT_EQ(Ravo_GetLinkState(), RAVO_LINK_OK);
}

// The ThreadSanitizer build tells whether any of these accesses race.
TEST_F(LinkState, MayBeReadOnAnotherThreadWhileTheCommandPortOpensClosesAndMoves) {
    const auto com2 = folder.simulator(2);
    std::atomic<bool> done{false};
    std::atomic<int> outOfRange{0};
    std::thread reader([&] {
        while (!done) {
            const int state = Ravo_GetLinkState();
            if (state < RAVO_LINK_OK || state > RAVO_LINK_LOST) ++outOfRange;
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
