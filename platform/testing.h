// Hooks through which tests steer the platform layer.
#pragma once

#include <cstddef>
#include <optional>

#include "platform/messages.h"
#include "platform/types.h"

namespace platform {

// GetTickCount returns the monotonic milliseconds plus this offset (modulo 2^32), so a
// test can put the tick count just before its wrap. Replaces the offset that the
// environment variable SONBRIX_TICK_OFFSET gave (decimal or 0x-hexadecimal, read once at
// the first use of the tick count), which lets a child process start near the wrap too.
void set_tick_offset(DWORD offset);

// The clock that GetTickCount and the virtual sound device read. `real` (the default)
// follows the host's clock. `fast` runs ahead of it: a wait of the virtual device (or the
// null device) moves the clock on to the wait's end at once instead of sleeping, so paced
// sound plays and records as fast as the machine allows. `held` stops the device's time:
// its waits do not end until the mode changes (the tick count keeps following the host).
// A change of mode wakes the waits in progress; time skipped stays skipped.
enum class TestClock { real, fast, held };
void set_test_clock(TestClock mode);

// Puts the platform's per-process state back to how a new process finds it, where that is
// safe: the lines printed once on stderr (sound settings, the fall-back to the null device,
// a missing back-end module) print again, back-end modules are looked for again (one that
// was opened stays loaded), device folders are set up again at their next use, the
// registry's stored roots are read again, the virtual sound device forgets its settings and
// outputs and the test clock is real. Live objects (handles, open keys, named mutexes,
// mappings, sockets, devices) and the tick offset are kept.
void reset_process_state();


// Whether a thread with that id runs and is known to the platform, and whether it sleeps
// in SuspendThread.
bool thread_is_known(DWORD thread_id);
bool thread_is_suspended(DWORD thread_id);

// How long SendMessageW waits for a window of another process to answer (milliseconds,
// INFINITE: no limit); 30000 unless a test changes it.
void set_send_message_timeout(DWORD timeout_ms);

// How long a list of another process's windows, a question about one or a post to one
// waits for that process (milliseconds); 5000 unless a test changes it. A process that
// does not answer in time is taken as gone for that call.
void set_window_link_timeout(DWORD timeout_ms);

// Whether the bytes are exactly one request that a process's window link accepts (for
// fuzzing the parser).
bool parse_window_link_request(const void* data, std::size_t size);

// Queues stylus or key input for the thread of the message's window, as the screen does:
// it comes after posted messages and before paint, and a mouse move right behind another
// one for the same window replaces it. False for no window of this process.
bool post_input_message(const MSG& message);

// The period of a running window timer, nullopt when the window has no timer of that id.
std::optional<UINT> window_timer_period(HWND window, UINT_PTR id);

}  // namespace platform

namespace platform {

// How many local memory blocks are live (made by LocalAlloc and not freed), so that a test
// can see a block left behind.
SIZE_T live_local_blocks();

}  // namespace platform
