// A command port open on a PtyPeer that answers every request with the reply fields the test
// chose (or not at all while silent).
#pragma once

#include "PtyPeer.h"

#include <Kelvane_Ravo_Q9T2.h>
#include <gtest/gtest.h>

#include <array>
#include <mutex>

class CommandPeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        peer.serve([this](const Frame16& request) { answer(request); });
        ASSERT_EQ(Ravo_OpenSericalPort(1), 0);
    }
    void TearDown() override { Ravo_CloseSericalPort(); }

    void replyWith(std::uint32_t field1, std::uint32_t field2, std::uint32_t field3) {
        std::lock_guard<std::mutex> guard(mutex_);
        fields_ = {field1, field2, field3};
        silent_ = false;
    }
    // Answers each request with its own three parameters as the reply fields.
    void echoParameters() {
        std::lock_guard<std::mutex> guard(mutex_);
        echo_ = true;
        silent_ = false;
    }
    void staySilent() {
        std::lock_guard<std::mutex> guard(mutex_);
        silent_ = true;
    }
    Frame16 lastRequest() {
        const auto all = peer.requests();
        return all.empty() ? Frame16{} : all.back();
    }

    PtyPeer peer;

private:
    void answer(const Frame16& request) {
        std::array<std::uint32_t, 3> fields;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            if (silent_) return;
            fields = fields_;
            if (echo_) fields = {frameValue(request, 1), frameValue(request, 2), frameValue(request, 3)};
        }
        peer.send(bytesOf(replyFrame(request[2], fields[0], fields[1], fields[2])));
    }

    std::mutex mutex_;
    std::array<std::uint32_t, 3> fields_{};
    bool silent_ = false;
    bool echo_ = false;
};
