#include <ravo_sim/RandomFaults.h>

#include <cstdlib>
#include <vector>

namespace ravo_sim {

namespace {

// The client gives up on a reply after 170 ms; a late reply comes after that.
constexpr int kLateLowestMs = 200, kLateHighestMs = 500;
constexpr int kSilenceLowestMs = 500, kSilenceHighestMs = 4000;
constexpr int kUnplugLowestMs = 500, kUnplugHighestMs = 4000;

// Faults that spoil one exchange come four times as often as the outages.
constexpr int kExchangeWeight = 4, kOutageWeight = 1;

int weight(RandomFault kind) {
    return kind == RandomFault::Silence || kind == RandomFault::Unplugged ? kOutageWeight : kExchangeWeight;
}

bool fits(RandomFault kind, RequestKind request) {
    if (kind == RandomFault::RefusedRecord) return request == RequestKind::Record;
    return true;
}

}  // namespace

const char* RandomFaultName(RandomFault kind) {
    switch (kind) {
        case RandomFault::LostReply:
            return "lost reply";
        case RandomFault::CutShort:
            return "reply cut short";
        case RandomFault::Corrupted:
            return "corrupted reply";
        case RandomFault::Late:
            return "late reply";
        case RandomFault::RefusedRecord:
            return "refused record";
        case RandomFault::Silence:
            return "silence";
        case RandomFault::Unplugged:
            return "unplugged";
    }
    return "?";
}

std::optional<RandomFaultSettings> ParseRandomFaultSettings(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size()) return std::nullopt;
    char* end = nullptr;
    const std::string seedText = text.substr(0, colon), rateText = text.substr(colon + 1);
    const unsigned long seed = std::strtoul(seedText.c_str(), &end, 10);
    if (*end != '\0' || seedText[0] == '-' || seed > 0xFFFFFFFFul) return std::nullopt;
    const double rate = std::strtod(rateText.c_str(), &end);
    if (*end != '\0' || !(rate >= 0 && rate <= 1)) return std::nullopt;
    return RandomFaultSettings{static_cast<std::uint32_t>(seed), rate};
}

RandomFaults::RandomFaults(RandomFaultSettings settings) : rate_(settings.rate), random_(settings.seed) {}

int RandomFaults::between(int lowest, int highest) {
    return std::uniform_int_distribution<int>(lowest, highest)(random_);
}

std::optional<Fault> RandomFaults::next(RequestKind kind, Clock::time_point now) {
    Fault fault;
    fault.on = kind;
    if (silentUntil_ && now < *silentUntil_) return fault;  // Silent
    silentUntil_.reset();
    // End frames get no reply, and bytes that make no request none either.
    if (kind == RequestKind::EndFrame || kind == RequestKind::Unknown) return std::nullopt;
    if (std::uniform_real_distribution<double>(0, 1)(random_) >= rate_) return std::nullopt;

    std::vector<RandomFault> kinds;
    std::vector<int> weights;
    for (int k = 0; k < kRandomFaultKinds; ++k) {
        const auto candidate = static_cast<RandomFault>(k);
        if (!fits(candidate, kind)) continue;
        kinds.push_back(candidate);
        weights.push_back(weight(candidate));
    }
    const RandomFault drawn = kinds[std::discrete_distribution<std::size_t>(weights.begin(), weights.end())(random_)];
    ++counts_[drawn];
    switch (drawn) {
        case RandomFault::LostReply:
            fault.action = Fault::Action::Silent;
            break;
        case RandomFault::CutShort:
            fault.action = Fault::Action::ShortReply;
            fault.length = between(0, 15);
            break;
        case RandomFault::Corrupted:
            fault.action = Fault::Action::CorruptReply;
            break;
        case RandomFault::Late:
            fault.action = Fault::Action::Delay;
            fault.delayMs = between(kLateLowestMs, kLateHighestMs);
            break;
        case RandomFault::RefusedRecord:
            fault.action = Fault::Action::RejectRecord;
            break;
        case RandomFault::Silence:
            fault.action = Fault::Action::Silent;
            silentUntil_ = now + std::chrono::milliseconds(between(kSilenceLowestMs, kSilenceHighestMs));
            break;
        case RandomFault::Unplugged:
            fault.action = Fault::Action::HangUp;
            fault.delayMs = between(kUnplugLowestMs, kUnplugHighestMs);
            break;
    }
    return fault;
}

}  // namespace ravo_sim
