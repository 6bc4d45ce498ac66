// Elapsed seconds from the platform's millisecond tick count.
#pragma once

namespace os {

class Stopwatch {
public:
    Stopwatch();
    void restart();
    // Seconds since construction or the last restart. Correct across the tick count's wrap
    // at 2^32 ms, for spans shorter than that (about 49.7 days).
    double elapsed() const;

private:
    double start_;  // the tick count at the start, in milliseconds
};

// Seconds since the program started (a stopwatch that a static initialiser starts).
double seconds_since_start();

}  // namespace os
