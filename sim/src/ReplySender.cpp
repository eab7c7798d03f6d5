#include "ReplySender.h"

#include <poll.h>
#include <time.h>
#include <unistd.h>
#include <algorithm>
#include <cerrno>

namespace ravo_sim {
namespace {

// A reply that the client's side cannot take in this long is dropped.
constexpr auto kWriteStall = std::chrono::milliseconds(250);

int millisecondsUntil(ReplySender::Clock::time_point deadline) {
    const auto left = deadline - ReplySender::Clock::now();
    if (left <= ReplySender::Clock::duration::zero()) return 0;
    return static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(left).count());
}

// Sleeps to an absolute point of the monotonic clock (steady_clock's clock on Linux), which
// unlike a relative sleep does not add the wake-up latency of every step.
void sleepUntil(ReplySender::Clock::time_point deadline) {
    const auto since = deadline.time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    timespec when{};
    when.tv_sec = static_cast<time_t>(seconds.count());
    when.tv_nsec = static_cast<long>(std::chrono::nanoseconds(since - seconds).count());
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &when, nullptr) == EINTR) {
    }
}

}  // namespace

bool ReplySender::waitUntil(Clock::time_point deadline) const {
    for (;;) {
        const int timeout = millisecondsUntil(deadline);
        if (timeout == 0) return true;
        pollfd wake{wakeFd_, POLLIN, 0};
        const int ready = poll(&wake, 1, timeout);
        if (ready > 0) return false;
    }
}

bool ReplySender::writeAll(int fd, const std::uint8_t* data, std::size_t count) const {
    auto stallDeadline = Clock::now() + kWriteStall;
    while (count > 0) {
        const ssize_t written = write(fd, data, count);
        if (written > 0) {
            data += written;
            count -= static_cast<std::size_t>(written);
            stallDeadline = Clock::now() + kWriteStall;
            continue;
        }
        if (written < 0 && errno == EINTR) continue;
        if (written < 0 && errno != EAGAIN && errno != EWOULDBLOCK) return false;
        const int timeout = millisecondsUntil(stallDeadline);
        if (timeout == 0) return false;
        pollfd fds[2] = {{fd, POLLOUT, 0}, {wakeFd_, POLLIN, 0}};
        if (poll(fds, 2, timeout) > 0 && fds[1].revents != 0) return false;
    }
    return true;
}

void ReplySender::send(int fd, const Bytes& reply, const Timing& timing) const {
    if (reply.empty()) return;
    if (timing.delay.count() > 0 && !waitUntil(Clock::now() + timing.delay)) return;
    if (!timing.paced) {
        writeAll(fd, reply.data(), reply.size());
        return;
    }
    const auto requestEnd = timing.requestStart + kByteTime * static_cast<long>(timing.requestLength);
    const auto start = std::max(Clock::now(), requestEnd);
    for (std::size_t i = 0; i < reply.size(); ++i) {
        sleepUntil(start + kByteTime * static_cast<long>(i + 1));
        if (!writeAll(fd, &reply[i], 1)) return;
    }
}

}  // namespace ravo_sim
