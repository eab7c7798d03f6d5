// The seeded random fault plan: repeatable, fitting each request, with silences that last.
#include <ravo_sim/RandomFaults.h>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using ravo_sim::Fault;
using ravo_sim::RandomFault;
using ravo_sim::RandomFaults;
using ravo_sim::RequestKind;

TEST(RandomFaultsTest, SameSeedSameFaultsEachFittingItsRequestAndSilencesLast) {
    RandomFaults first({7, 1.0}), second({7, 1.0});
    auto at = RandomFaults::Clock::now();
    for (int i = 0; i < 400; ++i, at += 10s) {  // 10 s: every silence is over by the next request
        const RequestKind kind = i % 2 ? RequestKind::Record : RequestKind::Command;
        const std::uint64_t silences = first.counts()[RandomFault::Silence];
        const std::optional<Fault> fault = first.next(kind, at), again = second.next(kind, at);
        ASSERT_TRUE(fault && again);
        EXPECT_EQ(std::make_tuple(again->action, again->length, again->delayMs),
                  std::make_tuple(fault->action, fault->length, fault->delayMs));
        if (kind == RequestKind::Command) {
            EXPECT_NE(fault->action, Fault::Action::RejectRecord);
        }
        if (fault->action == Fault::Action::Delay) {
            EXPECT_GT(fault->delayMs, 170) << "past the read time-out";
        }
        if (first.counts()[RandomFault::Silence] > silences) {
            const auto counts = first.counts().byKind;
            EXPECT_EQ(first.next(RequestKind::Modbus, at + 100ms)->action, Fault::Action::Silent);
            EXPECT_EQ(first.counts().byKind, counts) << "one silence, counted once";
            second.next(RequestKind::Modbus, at + 100ms);
        }
    }
    EXPECT_EQ(first.counts().byKind, second.counts().byKind);
    for (int kind = 0; kind < ravo_sim::kRandomFaultKinds; ++kind)
        EXPECT_GT(first.counts().byKind[kind], 0u) << ravo_sim::RandomFaultName(static_cast<RandomFault>(kind));
    EXPECT_FALSE(first.next(RequestKind::EndFrame, at)) << "an end frame gets no reply to spoil";
    EXPECT_FALSE(RandomFaults({7, 0.0}).next(RequestKind::Command, at));
}

TEST(RandomFaultsTest, SettingsAreSeedColonRate) {
    const auto settings = ravo_sim::ParseRandomFaultSettings("7:0.25");
    ASSERT_TRUE(settings);
    EXPECT_EQ(std::make_pair(settings->seed, settings->rate), std::make_pair(7u, 0.25));
    for (const char* bad : {"7", ":0.1", "7:", "-7:0.1", "7:1.5", "7:x", "x:0.1"})
        EXPECT_FALSE(ravo_sim::ParseRandomFaultSettings(bad)) << bad;
}

}  // namespace
