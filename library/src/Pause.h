// The library's fixed waits (spacing between commands, download pauses).
#pragma once

namespace ravo_lib {

// Sleeps `milliseconds` against an absolute deadline on the monotonic clock, so the wait
// neither ends early nor grows with the sleep call's own overshoot.
void pauseMilliseconds(int milliseconds);

}  // namespace ravo_lib
