#include "ApplicationJson.h"

#include "CliError.h"
#include "Json.h"

#include "core/application/ApplicationProgramFile.h"
#include "core/application/FormattedScanner.h"

#include <charconv>
#include <cmath>
#include <initializer_list>
#include <limits>

namespace ravo {

using namespace kelvane;

namespace {

// ---- writing ----

std::string realText(float value) {
    if (std::isnan(value)) return std::signbit(value) ? "\"-nan\"" : "\"nan\"";
    if (std::isinf(value)) return value < 0 ? "\"-inf\"" : "\"inf\"";
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
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

void appendMotor(std::string& out, const MotorParameterRecord& motor) {
    out += "  \"motor\": [\n";
    for (int a = 0; a < kMotorAxes; ++a) {
        const AxisParameters& axis = motor.axes[a];
        out += "    {\"subdivision\": " + std::to_string(axis.subdivision) + ", \"pitch\": " + realText(axis.pitch) +
               ", \"backlash\": " + realText(axis.backlash) + ", \"acceleration\": " +
               std::to_string(axis.acceleration) + ", \"deceleration\": " + std::to_string(axis.deceleration) +
               ", \"minimumSpeed\": " + realText(axis.minimumSpeed) + "}" + (a + 1 < kMotorAxes ? ",\n" : "\n");
    }
    out += "  ],\n";
}

void appendPrograms(std::string& out, const std::vector<ProgramImage>& programs) {
    out += "  \"programs\": [";
    for (std::size_t p = 0; p < programs.size(); ++p) {
        const ProgramImage& program = programs[p];
        out += p == 0 ? "\n" : ",\n";
        out += "    {\"lines\": [";
        for (int i = 0; i < program.lineCount; ++i) {
            const auto remark = program.remarks.find(i);
            out += i == 0 ? "\n" : ",\n";
            out += "      {\"record\": \"" + recordText(program.records[i]) + "\", \"remark\": " +
                   (remark == program.remarks.end() ? "null" : JsonQuoted(remark->second)) + "}";
        }
        out += program.lineCount > 0 ? "\n    ]}" : "]}";
    }
    out += programs.empty() ? "],\n" : "\n  ],\n";
}

void appendPeripherals(std::string& out, const PeripheralParameterRecord& p) {
    out += "  \"peripherals\": {\n    \"limitLevel\": " + std::to_string(p.limitTriggerLevel) + ",\n    \"limits\": [";
    for (std::size_t i = 0; i < p.limits.size(); ++i) out += (i ? ", " : "") + std::to_string(p.limits[i]);
    out += "],\n    \"ad\": [";
    for (std::size_t i = 0; i < p.analogue.size(); ++i) {
        const AnalogueInput& ad = p.analogue[i];
        out += std::string(i ? ", " : "") + "{\"function\": " + std::to_string(ad.function) +
               ", \"minimum\": " + realText(ad.minimum) + ", \"maximum\": " + realText(ad.maximum) + "}";
    }
    out += "],\n    \"encoders\": [";
    for (std::size_t i = 0; i < p.encoders.size(); ++i) {
        const EncoderSettings& e = p.encoders[i];
        out += std::string(i ? ", " : "") + "{\"mode\": " + std::to_string(e.mode) + ", \"lines\": " +
               std::to_string(e.lines) + ", \"ratio\": " + realText(e.ratio) + "}";
    }
    out += "]\n  }\n";
}

// ---- reading ----

[[noreturn]] void fail(const std::string& path, const std::string& message) {
    throw CliError("JSON " + path + ": " + message);
}

// The members of an object, all of `keys` present and nothing else.
const JsonValue& object(const JsonValue& value, const std::string& path, std::initializer_list<const char*> keys) {
    if (value.type != JsonValue::Type::Object) fail(path, "expected an object");
    for (const char* key : keys) {
        if (!value.find(key)) fail(path, std::string("missing member \"") + key + "\"");
    }
    if (value.members.size() != keys.size()) {
        for (const auto& [name, member] : value.members) {
            bool known = false;
            for (const char* key : keys) known = known || name == key;
            if (!known) fail(path, "unknown member \"" + name + "\"");
        }
    }
    return value;
}

const JsonValue& array(const JsonValue& value, const std::string& path, std::size_t minimum, std::size_t maximum) {
    if (value.type != JsonValue::Type::Array) fail(path, "expected an array");
    const std::size_t n = value.items.size();
    if (n < minimum || n > maximum) {
        fail(path, minimum == maximum ? "expected " + std::to_string(minimum) + " entries"
                                      : "expected " + std::to_string(minimum) + " to " + std::to_string(maximum) +
                                            " entries, not " + std::to_string(n));
    }
    return value;
}

std::string at(const std::string& path, const char* key) { return path + "." + key; }
std::string at(const std::string& path, std::size_t index) { return path + "[" + std::to_string(index) + "]"; }

float real(const JsonValue& value, const std::string& path) {
    if (value.type == JsonValue::Type::String) {
        if (value.text == "inf") return std::numeric_limits<float>::infinity();
        if (value.text == "-inf") return -std::numeric_limits<float>::infinity();
        if (value.text == "nan") return std::numeric_limits<float>::quiet_NaN();
        if (value.text == "-nan") return -std::numeric_limits<float>::quiet_NaN();
    }
    if (value.type != JsonValue::Type::Number) fail(path, "expected a number");
    float result = 0;
    FormattedScanner(value.text).scan("%f", {result});
    return result;
}

std::int64_t integer(const JsonValue& value, const std::string& path, std::int64_t minimum, std::int64_t maximum) {
    std::int64_t result = 0;
    const char* end = value.text.data() + value.text.size();
    const bool isInteger = value.type == JsonValue::Type::Number &&
                           std::from_chars(value.text.data(), end, result).ptr == end;
    if (!isInteger || result < minimum || result > maximum)
        fail(path, "expected an integer from " + std::to_string(minimum) + " to " + std::to_string(maximum));
    return result;
}

std::int32_t int32(const JsonValue& value, const std::string& path) {
    return static_cast<std::int32_t>(integer(value, path, std::numeric_limits<std::int32_t>::min(),
                                             std::numeric_limits<std::int32_t>::max()));
}
std::uint8_t byte(const JsonValue& value, const std::string& path) {
    return static_cast<std::uint8_t>(integer(value, path, 0, 255));
}

LineRecord record(const JsonValue& value, const std::string& path) {
    auto hex = [](char c) {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    LineRecord result;
    bool ok = value.type == JsonValue::Type::String && value.text.size() == 32;
    for (std::size_t i = 0; ok && i < 16; ++i) {
        const int high = hex(value.text[2 * i]);
        const int low = hex(value.text[2 * i + 1]);
        ok = high >= 0 && low >= 0;
        result.bytes[i] = static_cast<std::uint8_t>(high * 16 + low);
    }
    if (!ok) fail(path, "expected 32 hexadecimal digits");
    return result;
}

ProgramImage program(const JsonValue& value, const std::string& path) {
    const JsonValue& lines = array(*object(value, path, {"lines"}).find("lines"), at(path, "lines"), 0,
                                   kMaxProgramLines);
    ProgramImage result;
    result.lineCount = static_cast<std::uint16_t>(lines.items.size());
    for (std::size_t i = 0; i < lines.items.size(); ++i) {
        const std::string linePath = at(at(path, "lines"), i);
        const JsonValue& line = object(lines.items[i], linePath, {"record", "remark"});
        result.records[i] = record(*line.find("record"), at(linePath, "record"));
        const JsonValue& remark = *line.find("remark");
        if (remark.type == JsonValue::Type::String) {
            result.remarks.emplace(static_cast<int>(i), remark.text);
        } else if (remark.type != JsonValue::Type::Null) {
            fail(at(linePath, "remark"), "expected a string or null");
        }
    }
    return result;
}

void readMotor(const JsonValue& value, MotorParameterRecord& motor) {
    const JsonValue& axes = array(value, "motor", kMotorAxes, kMotorAxes);
    for (int a = 0; a < kMotorAxes; ++a) {
        const std::string path = at("motor", static_cast<std::size_t>(a));
        const JsonValue& axis = object(axes.items[a], path, {"subdivision", "pitch", "backlash", "acceleration",
                                                             "deceleration", "minimumSpeed"});
        AxisParameters& out = motor.axes[a];
        out.subdivision = int32(*axis.find("subdivision"), at(path, "subdivision"));
        out.pitch = real(*axis.find("pitch"), at(path, "pitch"));
        out.backlash = real(*axis.find("backlash"), at(path, "backlash"));
        out.acceleration = int32(*axis.find("acceleration"), at(path, "acceleration"));
        out.deceleration = int32(*axis.find("deceleration"), at(path, "deceleration"));
        out.minimumSpeed = real(*axis.find("minimumSpeed"), at(path, "minimumSpeed"));
    }
}

void readPeripherals(const JsonValue& value, PeripheralParameterRecord& p) {
    const std::string path = "peripherals";
    const JsonValue& object_ = object(value, path, {"limitLevel", "limits", "ad", "encoders"});
    p.limitTriggerLevel = byte(*object_.find("limitLevel"), at(path, "limitLevel"));
    const JsonValue& limits = array(*object_.find("limits"), at(path, "limits"), 16, 16);
    for (std::size_t i = 0; i < 16; ++i) p.limits[i] = byte(limits.items[i], at(at(path, "limits"), i));
    const JsonValue& ad = array(*object_.find("ad"), at(path, "ad"), 2, 2);
    for (std::size_t i = 0; i < 2; ++i) {
        const std::string adPath = at(at(path, "ad"), i);
        const JsonValue& channel = object(ad.items[i], adPath, {"function", "minimum", "maximum"});
        p.analogue[i].function = byte(*channel.find("function"), at(adPath, "function"));
        p.analogue[i].minimum = real(*channel.find("minimum"), at(adPath, "minimum"));
        p.analogue[i].maximum = real(*channel.find("maximum"), at(adPath, "maximum"));
    }
    const JsonValue& encoders = array(*object_.find("encoders"), at(path, "encoders"), 3, 3);
    for (std::size_t i = 0; i < 3; ++i) {
        const std::string encoderPath = at(at(path, "encoders"), i);
        const JsonValue& encoder = object(encoders.items[i], encoderPath, {"mode", "lines", "ratio"});
        p.encoders[i].mode = byte(*encoder.find("mode"), at(encoderPath, "mode"));
        p.encoders[i].lines = int32(*encoder.find("lines"), at(encoderPath, "lines"));
        p.encoders[i].ratio = real(*encoder.find("ratio"), at(encoderPath, "ratio"));
    }
}

}  // namespace

std::string ApplicationToJson(const ApplicationDocument& document) {
    std::string out = "{\n  \"version\": " + realText(document.version) + ",\n";
    appendMotor(out, document.motor);
    appendPrograms(out, document.programs);
    appendPeripherals(out, document.peripherals);
    out += "}\n";
    return out;
}

ApplicationDocument ApplicationFromJson(std::string_view json) {
    const JsonValue root = ParseJson(json);
    object(root, "document", {"version", "motor", "programs", "peripherals"});
    ApplicationDocument document;
    document.version = real(*root.find("version"), "version");
    readMotor(*root.find("motor"), document.motor);
    const JsonValue& programs = array(*root.find("programs"), "programs", 0, kMaxPrograms);
    for (std::size_t p = 0; p < programs.items.size(); ++p)
        document.programs.push_back(program(programs.items[p], at("programs", p)));
    readPeripherals(*root.find("peripherals"), document.peripherals);
    return document;
}

}  // namespace ravo
