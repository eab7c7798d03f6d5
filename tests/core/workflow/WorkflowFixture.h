// A simulated controller on COM1, opened through the real library for each test, and the
// traffic it received as short words that tests compare in order.
#pragma once

#include "support/ConnectedControllerTest.h"

#include <Kelvane_Ravo_Q9T2.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

inline std::string CommandWord(int code, std::uint32_t p1) {
    return "c" + std::to_string(code) + ":" + std::to_string(p1);
}

// "c<code>:<p1>" for a command frame, "rec" for a program record, "end" for the end frame,
// "mb<function>" for a Modbus request.
inline std::string TrafficWord(const ravo_sim::Request& request) {
    using ravo_sim::RequestKind;
    switch (request.kind) {
        case RequestKind::Command:
            return CommandWord(request.code(), request.param(1));
        case RequestKind::Record:
            return "rec";
        case RequestKind::EndFrame:
            return "end";
        case RequestKind::Modbus:
            return "mb" + std::to_string(request.code());
        case RequestKind::Unknown:
            break;
    }
    return "?";
}

// One word a line, so that a failed comparison shows where the traffic differs.
inline std::string Lines(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& word : words) text += word + "\n";
    return text;
}

inline std::string TrafficWords(const ravo_sim::Simulator& controller) {
    std::vector<std::string> words;
    for (const auto& request : controller.traffic()) words.push_back(TrafficWord(request));
    return Lines(words);
}

// Command `code` for each of the axis masks 1, 2, 4, ... of axes 1..`axes`.
inline std::vector<std::string> PerAxis(int code, int axes) {
    std::vector<std::string> words;
    for (int axis = 1; axis <= axes; ++axis) words.push_back(CommandWord(code, 1u << (axis - 1)));
    return words;
}

inline std::vector<std::string>& operator+=(std::vector<std::string>& words, const std::vector<std::string>& more) {
    words.insert(words.end(), more.begin(), more.end());
    return words;
}

using WorkflowTest = ConnectedControllerTest;
