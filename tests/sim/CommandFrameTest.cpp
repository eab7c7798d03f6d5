// Command frames over the pty: reply shape, state read back, pins, factory date.
#include "LineClient.h"

#include <tuple>

using namespace sim_test;

namespace {

using CommandFrameTest = SimTest;

TEST_F(CommandFrameTest, ReplyEchoesTheCodeFromTheOwnAddressWithItsSum) {
    env.sim.setVersion(0x0203);
    EXPECT_EQ(ask(2), commandFrame(2, 0, 0x0203, 0, 1));
    EXPECT_TRUE(env.line.receive(1, 60ms).empty()) << "one request, one reply";
    EXPECT_EQ(ask(0x63, 1, 2, 3), commandFrame(0x63, 0, 0, 0, 1)) << "unknown code: zero fields";

    ask(6, 2, 0);
    EXPECT_EQ(replyField(ask(7), 1), 2u);
    ask(4, 44);
    EXPECT_EQ(ask(5), commandFrame(5, 0, 44, 0, 44));
    // The new address is answered as well as 255; another address is not.
    EXPECT_EQ(env.line.exchange(commandFrame(2, 0, 0, 0, 44), 16).size(), 16u);
    EXPECT_TRUE(env.line.exchange(commandFrame(2, 0, 0, 0, 45), 16, 80ms).empty());
}

TEST_F(CommandFrameTest, OutputsAndInputsReadBackPerPinAndAsBits) {
    for (std::uint32_t pin : {33, 44, 40, 30}) ask(21, pin, 1);
    ask(21, 40, 0);
    EXPECT_TRUE(env.sim.output(44));
    EXPECT_FALSE(env.sim.output(40));
    EXPECT_EQ(replyField(ask(22, 44), 2), 1u);
    EXPECT_EQ(replyField(ask(22, 30), 2), 0u) << "pin 30 is neither input nor output";
    EXPECT_EQ(replyField(ask(23, 33), 2), 0x801u);
    env.sim.setInput(1, true);
    env.sim.setInput(24, true);
    EXPECT_EQ(replyField(ask(22, 24), 2), 1u);
    EXPECT_EQ(replyField(ask(23, 0x10001), 2), 0x800001u) << "only the low 16 bits of the pin";
}

TEST_F(CommandFrameTest, FactoryDateIsStoredAndReturnedInThreeFields) {
    EXPECT_EQ(ask(17, 2015, 6, 30), commandFrame(17, 2015, 6, 30, 1));
    EXPECT_EQ(ask(18), commandFrame(18, 2015, 6, 30, 1));
    EXPECT_EQ(env.sim.factoryDate(), (std::array<std::int32_t, 3>{2015, 6, 30}));
    env.sim.setFactoryDate(2012, 1, 2);
    EXPECT_EQ(replyField(ask(18), 1), 2012u);
}

TEST_F(CommandFrameTest, MotorParametersReadBackPerAxis) {
    const struct {
        std::uint8_t set, get;
        std::uint32_t value;
    } parameters[] = {
        {120, 121, 3200}, {122, 123, floatBits(5.0f)}, {124, 125, 150}, {126, 127, 90}, {128, 130, floatBits(10.0f)}};
    for (const auto& p : parameters) {
        ask(p.set, 4 | 8, p.value);
        EXPECT_EQ(replyField(ask(p.get, 4), 2), p.value) << int(p.get);
        EXPECT_EQ(replyField(ask(p.get, 8), 2), p.value) << "a mask sets every axis in it";
        EXPECT_EQ(replyField(ask(p.get, 2), 2), 0u) << "axes keep their own parameters";
    }
    ask(129, 4, floatBits(0.5f));
    EXPECT_EQ(env.sim.axis(3).minSpeed, 0.5f);
    EXPECT_EQ(env.sim.axis(3).pitch, 5.0f);
}

TEST_F(CommandFrameTest, PeripheralSettingsAreKeptAsSent) {
    ask(24, 2 | 128, 3, 255);  // limits of axes 2 and 8
    ask(32, 2, 31);            // A/D channel 2 mode
    ask(33, 2, floatBits(-1.5f), floatBits(10.0f));
    ask(29, 3, 1000, floatBits(0.25f));  // encoder 3 lines and ratio
    ask(30, 3, 17);
    ask(32, 3, 6);  // no channel 3: ignored
    ask(30, 0, 9);  // no encoder 0: ignored

    EXPECT_EQ(env.sim.limitInputs(2).negative, 3u);
    EXPECT_EQ(env.sim.limitInputs(8).positive, 255u);
    EXPECT_EQ(env.sim.limitInputs(1).negative, 0u) << "axes outside the mask keep theirs";
    const ravo_sim::AnalogueChannelState channel = env.sim.analogueChannel(2);
    EXPECT_EQ(std::make_tuple(channel.mode, channel.minimum, channel.maximum), std::make_tuple(31u, -1.5f, 10.0f));
    EXPECT_EQ(env.sim.analogueChannel(1).mode, 0u);
    const ravo_sim::EncoderState encoder = env.sim.encoder(3);
    EXPECT_EQ(std::make_tuple(encoder.lines, encoder.ratio, encoder.mode), std::make_tuple(1000, 0.25f, 17u));
    EXPECT_EQ(env.sim.encoder(1).mode, 0u);
}

}  // namespace
