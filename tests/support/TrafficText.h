// The requests a simulated controller received, as text that tests compare in order. Two forms:
//   words   "c<code>:<p1>" for a command frame, "rec" for a program record, "end" for the end
//           frame, "mb<function>" for a Modbus request: sequences, where the order matters;
//   lines   "C<code> <p1> <p2> <p3>" (unsigned decimals) and "M<function> <address> ..." (coil
//           value or register values in hex): every value a view sends.
#pragma once

#include <ravo_sim/Simulator.h>

#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <string>
#include <vector>

inline std::string CommandWord(int code, std::uint32_t p1) {
    return "c" + std::to_string(code) + ":" + std::to_string(p1);
}

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

// The words of the command frames alone.
inline std::vector<std::string> CommandWords(const ravo_sim::Simulator& controller) {
    std::vector<std::string> words;
    for (const auto& request : controller.traffic())
        if (request.kind == ravo_sim::RequestKind::Command) words.push_back(TrafficWord(request));
    return words;
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

// `a` followed by every list in `rest`.
inline std::vector<std::string> Joined(std::vector<std::string> a,
                                       std::initializer_list<std::vector<std::string>> rest) {
    for (const auto& more : rest) a += more;
    return a;
}

inline std::string Cmd(int code, std::initializer_list<std::uint32_t> params) {
    std::uint32_t p[3] = {0, 0, 0};
    int i = 0;
    for (std::uint32_t value : params) p[i++] = value;
    return "C" + std::to_string(code) + " " + std::to_string(p[0]) + " " + std::to_string(p[1]) + " " +
           std::to_string(p[2]);
}

// The full line of command `code` for each of axes X..W (masks 1..32).
inline std::vector<std::string> AxisCommands(int code) {
    std::vector<std::string> lines;
    for (int i = 0; i < 6; ++i) lines.push_back(Cmd(code, {1u << i}));
    return lines;
}

inline std::string Hex16(unsigned value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}

inline std::string WriteCoil(int coil, bool on) { return "M5 " + std::to_string(coil) + (on ? " FF00" : " 0000"); }

inline std::string WriteRegisters(int address, std::initializer_list<std::uint16_t> values) {
    std::string text = "M16 " + std::to_string(address);
    for (std::uint16_t value : values) text += " " + Hex16(value);
    return text;
}

inline std::string ReadRegisters(int address, int count) {
    return "M4 " + std::to_string(address) + " " + std::to_string(count);
}

inline std::string Describe(const ravo_sim::Request& request) {
    const std::vector<std::uint8_t>& b = request.bytes;
    if (request.kind == ravo_sim::RequestKind::Command)
        return Cmd(request.code(), {request.param(1), request.param(2), request.param(3)});
    if (request.kind == ravo_sim::RequestKind::Modbus && b.size() >= 6) {
        const int function = b[1];
        const int address = b[2] << 8 | b[3];
        if (function == 5) return WriteCoil(address, b[4] == 0xFF);
        if (function == 4 || function == 1)
            return "M" + std::to_string(function) + " " + std::to_string(address) + " " +
                   std::to_string(b[4] << 8 | b[5]);
        if (function == 16 && b.size() >= 7) {
            std::string text = "M16 " + std::to_string(address);
            for (std::size_t i = 7; i + 1 < b.size() - 2; i += 2) text += " " + Hex16(b[i] << 8 | b[i + 1]);
            return text;
        }
    }
    std::string text = "?";
    for (std::uint8_t byte : b) text += " " + Hex16(byte).substr(2);
    return text;
}
