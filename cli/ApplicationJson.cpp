#include "ApplicationJson.h"

#include "CliError.h"
#include "Json.h"

#include "core/application/ApplicationProgramFile.h"

#include <cmath>
#include <initializer_list>
#include <limits>

namespace ravo {

using namespace kelvane;

namespace {

// ---- writing ----

Json realJson(float value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
    return static_cast<double>(value);
}

std::string recordText(const LineRecord& record) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t byte : record.bytes) {
        text.push_back(digits[byte >> 4]);
        text.push_back(digits[byte & 0xF]);
    }
    return text;
}

Json motorJson(const MotorParameterRecord& motor) {
    Json axes = Json::array();
    for (const AxisParameters& axis : motor.axes) {
        axes.push_back(Json::object({{"subdivision", axis.subdivision},
                                     {"pitch", realJson(axis.pitch)},
                                     {"backlash", realJson(axis.backlash)},
                                     {"acceleration", axis.acceleration},
                                     {"deceleration", axis.deceleration},
                                     {"minimumSpeed", realJson(axis.minimumSpeed)}}));
    }
    return axes;
}

Json programsJson(const std::vector<ProgramImage>& programs) {
    Json result = Json::array();
    for (const ProgramImage& program : programs) {
        Json lines = Json::array();
        for (int i = 0; i < program.lineCount; ++i) {
            const auto remark = program.remarks.find(i);
            const Json remarkJson = remark == program.remarks.end() ? Json() : Json(remark->second);
            lines.push_back(Json::object({{"record", recordText(program.records[i])}, {"remark", remarkJson}}));
        }
        result.push_back(Json::object({{"lines", lines}}));
    }
    return result;
}

Json peripheralsJson(const PeripheralParameterRecord& p) {
    Json ad = Json::array();
    for (const AnalogueInput& channel : p.analogue) {
        ad.push_back(Json::object({{"function", channel.function},
                                   {"minimum", realJson(channel.minimum)},
                                   {"maximum", realJson(channel.maximum)}}));
    }
    Json encoders = Json::array();
    for (const EncoderSettings& e : p.encoders)
        encoders.push_back(Json::object({{"mode", e.mode}, {"lines", e.lines}, {"ratio", realJson(e.ratio)}}));
    return Json::object(
        {{"limitLevel", p.limitTriggerLevel}, {"limits", p.limits}, {"ad", ad}, {"encoders", encoders}});
}

// ---- reading ----

[[noreturn]] void fail(const std::string& path, const std::string& message) {
    throw CliError("JSON " + path + ": " + message);
}

// The members of an object, all of `keys` present and nothing else.
const Json& object(const Json& value, const std::string& path, std::initializer_list<const char*> keys) {
    if (!value.is_object()) fail(path, "expected an object");
    for (const char* key : keys) {
        if (!value.contains(key)) fail(path, std::string("missing member \"") + key + "\"");
    }
    if (value.size() != keys.size()) {
        for (const auto& member : value.items()) {
            bool known = false;
            for (const char* key : keys) known = known || member.key() == key;
            if (!known) fail(path, "unknown member \"" + member.key() + "\"");
        }
    }
    return value;
}

const Json& array(const Json& value, const std::string& path, std::size_t minimum, std::size_t maximum) {
    if (!value.is_array()) fail(path, "expected an array");
    const std::size_t n = value.size();
    if (n < minimum || n > maximum) {
        fail(path, minimum == maximum ? "expected " + std::to_string(minimum) + " entries"
                                      : "expected " + std::to_string(minimum) + " to " + std::to_string(maximum) +
                                            " entries, not " + std::to_string(n));
    }
    return value;
}

std::string at(const std::string& path, const char* key) { return path + "." + key; }
std::string at(const std::string& path, std::size_t index) { return path + "[" + std::to_string(index) + "]"; }

float real(const Json& value, const std::string& path) {
    if (value.is_string()) {
        const std::string& text = value.get_ref<const std::string&>();
        if (text == "inf") return std::numeric_limits<float>::infinity();
        if (text == "-inf") return -std::numeric_limits<float>::infinity();
        if (text == "nan") return std::numeric_limits<float>::quiet_NaN();
        if (text == "-nan") return -std::numeric_limits<float>::quiet_NaN();
    }
    if (!value.is_number()) fail(path, "expected a number");
    // nlohmann-json reads integers without a sign as unsigned, so a signed zero was written "-0".
    if (value.is_number_integer() && !value.is_number_unsigned() && value.get<std::int64_t>() == 0) return -0.0f;
    return value.get<float>();
}

std::int64_t integer(const Json& value, const std::string& path, std::int64_t minimum, std::int64_t maximum) {
    bool inRange = false;
    if (value.is_number_unsigned()) {
        inRange = value.get<std::uint64_t>() <= static_cast<std::uint64_t>(maximum);
    } else if (value.is_number_integer()) {
        inRange = value.get<std::int64_t>() >= minimum && value.get<std::int64_t>() <= maximum;
    }
    if (!inRange) fail(path, "expected an integer from " + std::to_string(minimum) + " to " + std::to_string(maximum));
    return value.get<std::int64_t>();
}

std::int32_t int32(const Json& value, const std::string& path) {
    return static_cast<std::int32_t>(
        integer(value, path, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}
std::uint8_t byte(const Json& value, const std::string& path) {
    return static_cast<std::uint8_t>(integer(value, path, 0, 255));
}

LineRecord record(const Json& value, const std::string& path) {
    auto hex = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    LineRecord result;
    const std::string text = value.is_string() ? value.get<std::string>() : std::string();
    bool ok = text.size() == 32;
    for (std::size_t i = 0; ok && i < 16; ++i) {
        const int high = hex(text[2 * i]);
        const int low = hex(text[2 * i + 1]);
        ok = high >= 0 && low >= 0;
        result.bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    if (!ok) fail(path, "expected 32 hexadecimal digits");
    return result;
}

ProgramImage program(const Json& value, const std::string& path) {
    const Json& lines = array(object(value, path, {"lines"}).at("lines"), at(path, "lines"), 0, kMaxProgramLines);
    ProgramImage result;
    result.lineCount = static_cast<std::uint16_t>(lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string linePath = at(at(path, "lines"), i);
        const Json& line = object(lines[i], linePath, {"record", "remark"});
        result.records[i] = record(line.at("record"), at(linePath, "record"));
        const Json& remark = line.at("remark");
        if (remark.is_string()) {
            result.remarks.emplace(static_cast<int>(i), remark.get<std::string>());
        } else if (!remark.is_null()) {
            fail(at(linePath, "remark"), "expected a string or null");
        }
    }
    return result;
}

void readMotor(const Json& value, MotorParameterRecord& motor) {
    const Json& axes = array(value, "motor", kMotorAxes, kMotorAxes);
    for (int a = 0; a < kMotorAxes; ++a) {
        const std::string path = at("motor", static_cast<std::size_t>(a));
        const Json& axis =
            object(axes[a], path, {"subdivision", "pitch", "backlash", "acceleration", "deceleration", "minimumSpeed"});
        AxisParameters& out = motor.axes[a];
        out.subdivision = int32(axis.at("subdivision"), at(path, "subdivision"));
        out.pitch = real(axis.at("pitch"), at(path, "pitch"));
        out.backlash = real(axis.at("backlash"), at(path, "backlash"));
        out.acceleration = int32(axis.at("acceleration"), at(path, "acceleration"));
        out.deceleration = int32(axis.at("deceleration"), at(path, "deceleration"));
        out.minimumSpeed = real(axis.at("minimumSpeed"), at(path, "minimumSpeed"));
    }
}

void readPeripherals(const Json& value, PeripheralParameterRecord& p) {
    const std::string path = "peripherals";
    const Json& members = object(value, path, {"limitLevel", "limits", "ad", "encoders"});
    p.limitTriggerLevel = byte(members.at("limitLevel"), at(path, "limitLevel"));
    const Json& limits = array(members.at("limits"), at(path, "limits"), 16, 16);
    for (std::size_t i = 0; i < 16; ++i) p.limits[i] = byte(limits[i], at(at(path, "limits"), i));
    const Json& ad = array(members.at("ad"), at(path, "ad"), 2, 2);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string adPath = at(at(path, "ad"), i);
        const Json& channel = object(ad[i], adPath, {"function", "minimum", "maximum"});
        p.analogue[i].function = byte(channel.at("function"), at(adPath, "function"));
        p.analogue[i].minimum = real(channel.at("minimum"), at(adPath, "minimum"));
        p.analogue[i].maximum = real(channel.at("maximum"), at(adPath, "maximum"));
    }
    const Json& encoders = array(members.at("encoders"), at(path, "encoders"), 3, 3);
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string encoderPath = at(at(path, "encoders"), i);
        const Json& encoder = object(encoders[i], encoderPath, {"mode", "lines", "ratio"});
        p.encoders[i].mode = byte(encoder.at("mode"), at(encoderPath, "mode"));
        p.encoders[i].lines = int32(encoder.at("lines"), at(encoderPath, "lines"));
        p.encoders[i].ratio = real(encoder.at("ratio"), at(encoderPath, "ratio"));
    }
}

}  // namespace

std::string ApplicationToJson(const ApplicationDocument& document) {
    const Json json = Json::object({{"version", realJson(document.version)},
                                    {"motor", motorJson(document.motor)},
                                    {"programs", programsJson(document.programs)},
                                    {"peripherals", peripheralsJson(document.peripherals)}});
    return FormatJson(json, {"motor", "programs", "lines", "peripherals"}) + "\n";
}

ApplicationDocument ApplicationFromJson(std::string_view json) {
    const Json root = ParseJson(json);
    object(root, "document", {"version", "motor", "programs", "peripherals"});
    ApplicationDocument document;
    document.version = real(root.at("version"), "version");
    readMotor(root.at("motor"), document.motor);
    const Json& programs = array(root.at("programs"), "programs", 0, kMaxPrograms);
    for (std::size_t p = 0; p < programs.size(); ++p)
        document.programs.push_back(program(programs[p], at("programs", p)));
    readPeripherals(root.at("peripherals"), document.peripherals);
    return document;
}

}  // namespace ravo
