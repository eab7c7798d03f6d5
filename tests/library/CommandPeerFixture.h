// A command port open on a PtyPeer that answers every request with the reply fields the test
// chose (or not at all while silent).
#pragma once

#include "PtyPeer.h"

#include <Kelvane_Ravo_Q9T2.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <chrono>
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
    // Answers each request with its three parameters, every bit inverted, as the reply fields
    // (inverted, so that an answer never looks like values left alone).
    void echoInvertedParameters() {
        std::lock_guard<std::mutex> guard(mutex_);
        echo_ = true;
        silent_ = false;
    }
    // Sends only the first `count` bytes of each reply.
    void cutRepliesTo(std::size_t count) {
        std::lock_guard<std::mutex> guard(mutex_);
        replyLength_ = count;
    }
    // When the last (possibly cut) reply was handed to the line.
    std::chrono::steady_clock::time_point lastAnswerAt() {
        std::lock_guard<std::mutex> guard(mutex_);
        return lastAnswerAt_;
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
        std::size_t length;
        {
            std::lock_guard<std::mutex> guard(mutex_);
            if (silent_) return;
            fields = fields_;
            if (echo_) fields = {~frameValue(request, 1), ~frameValue(request, 2), ~frameValue(request, 3)};
            length = replyLength_;
            lastAnswerAt_ = std::chrono::steady_clock::now();
        }
        Bytes reply = bytesOf(replyFrame(request[2], fields[0], fields[1], fields[2]));
        reply.resize(std::min(length, reply.size()));
        peer.send(reply);
    }

    std::mutex mutex_;
    std::array<std::uint32_t, 3> fields_{};
    bool silent_ = false;
    bool echo_ = false;
    std::size_t replyLength_ = 16;
    std::chrono::steady_clock::time_point lastAnswerAt_;
};
