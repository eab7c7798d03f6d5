// Program download of 1000 records against the simulated controller, first answering at once,
// then paced at 19200 baud. Prints records per second and, paced, the ratio of the records'
// time (from the first record to the end frame, without the 2 s settling pause) to the wire
// limit of 1000 x 32 bytes x 10 bits / 19200 baud = 1000 x 16.7 ms.
#include "Kelvane_Ravo_Q9T2.h"
#include "TemporaryComFolder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

constexpr int kRecords = 1000;
constexpr double kRecordWireSeconds = 32 * 10 / 19200.0;

struct Result {
    int code = 0;
    Seconds call{};       // the whole Ravo_DownLoadProgram
    Seconds records{};    // first record in to end frame in, as the controller saw it
    Seconds medianGap{};  // median time from one record's arrival to the next one's
};

Result download(bool paced) {
    TemporaryComFolder folder;
    ravo_sim::Simulator sim({folder.path(), 1, paced});
    Result result;
    if (Ravo_OpenSericalPort(1) != RAVO_OK) {
        result.code = -100;
        return result;
    }
    const auto start = Clock::now();
    result.code = Ravo_DownLoadProgram(1);
    result.call = Clock::now() - start;
    sim.waitForTraffic(kRecords + 2, std::chrono::seconds(2));
    const auto traffic = sim.traffic();
    if (traffic.size() == kRecords + 2) {
        result.records = traffic.back().receivedAt - traffic[1].receivedAt;
        std::vector<Seconds> gaps;
        for (std::size_t i = 2; i < traffic.size(); ++i)
            gaps.push_back(traffic[i].receivedAt - traffic[i - 1].receivedAt);
        std::nth_element(gaps.begin(), gaps.begin() + gaps.size() / 2, gaps.end());
        result.medianGap = gaps[gaps.size() / 2];
    }
    Ravo_CloseSericalPort();
    return result;
}

void report(const char* name, const Result& result) {
    const double wireLimit = kRecords * kRecordWireSeconds;
    std::printf(
        "%-8s result %d, call %.3f s, records %.3f s, %.0f records/s, "
        "median %.3f ms per record, ratio to wire limit (%.3f s) %.3f\n",
        name, result.code, result.call.count(), result.records.count(), kRecords / result.records.count(),
        result.medianGap.count() * 1000, wireLimit, result.records.count() / wireLimit);
}

}  // namespace

int main() {
    Ravo_GlobalInit();
    std::vector<unsigned char> records(kRecords * 16);
    for (int i = 0; i < kRecords; ++i) {
        unsigned char* r = &records[i * 16];
        r[0] = 0xAA;
        r[1] = 0xFF;
        r[2] = 0x21;
        r[6] = static_cast<unsigned char>(i);
    }
    if (Ravo_SetUserProgram(records.data(), kRecords) != RAVO_OK) return 1;

    const Result unpaced = download(false);
    const Result paced = download(true);
    report("unpaced", unpaced);
    report("paced", paced);
    return unpaced.code == 0 && paced.code == 0 ? 0 : 1;
}
