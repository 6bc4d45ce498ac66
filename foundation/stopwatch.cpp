#include "foundation/stopwatch.h"

#include "platform/datetime.h"

namespace os {
namespace {

Stopwatch& program_stopwatch() {
    static Stopwatch stopwatch;
    return stopwatch;
}

// Starts the program's stopwatch before the main routine even when no one asks for it earlier.
[[maybe_unused]] Stopwatch const& started_at_load = program_stopwatch();

}  // namespace

Stopwatch::Stopwatch() : start_(GetTickCount()) {}

void Stopwatch::restart() { start_ = GetTickCount(); }

double Stopwatch::elapsed() const {
    // The difference is taken in the tick count's own 32 bits so that it survives the wrap.
    DWORD const ticks = GetTickCount() - static_cast<DWORD>(start_);
    return ticks * 0.001;
}

double seconds_since_start() { return program_stopwatch().elapsed(); }

}  // namespace os
