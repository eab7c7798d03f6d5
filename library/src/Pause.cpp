#include "Pause.h"

#if defined(_WIN32)
#include <windows.h>
#else
#include <cerrno>
#include <ctime>
#endif

namespace ravo_lib {

void pauseMilliseconds(int milliseconds) {
#if defined(_WIN32)
    ::Sleep(static_cast<unsigned long>(milliseconds));
#else
    timespec deadline{};
    ::clock_gettime(CLOCK_MONOTONIC, &deadline);
    const long long nanoseconds = deadline.tv_nsec + milliseconds * 1000000LL;
    deadline.tv_sec += static_cast<time_t>(nanoseconds / 1000000000LL);
    deadline.tv_nsec = static_cast<long>(nanoseconds % 1000000000LL);
    while (::clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &deadline, nullptr) == EINTR) {
    }
#endif
}

}  // namespace ravo_lib
