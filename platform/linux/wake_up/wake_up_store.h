// The registrations of timed starts (inside the Linux back end only). They live in
// <device>/wakeup/, one file per application, so that they outlive every process:
//   line 1: the application's device path (UTF-8)
//   line 2: the host file to run
//   line 3: the local time "year month day hour minute second millisecond"
// Who changes or reads the folder holds the state lock (an flock on "state.lock"); the one
// wake-up agent of the device holds an flock on "agent.lock" for its whole life.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/types.h"

namespace platform::detail {

struct WakeUpRegistration {
    std::string file;  // host path of the registration itself
    std::u16string application;
    std::string host_program;
    SYSTEMTIME time{};
};

// The folder of the device named (a host folder), created when missing.
std::string wake_up_folder(const std::string& device_folder);

// A held flock on a file of the folder; released by the destructor. Not inherited by
// programs started meanwhile (close-on-exec).
class WakeUpLock {
public:
    // Waits for the lock when wait is set, else gives up at once (held() false).
    WakeUpLock(const std::string& path, bool wait);
    ~WakeUpLock();
    WakeUpLock(const WakeUpLock&) = delete;
    WakeUpLock& operator=(const WakeUpLock&) = delete;
    bool held() const { return held_; }

private:
    int fd_ = -1;
    bool held_ = false;
};

std::string state_lock_path(const std::string& folder);
std::string agent_lock_path(const std::string& folder);

// Callers hold the state lock.
std::string registration_file(const std::string& folder, std::u16string_view application);
bool write_registration(const WakeUpRegistration& registration);
std::vector<WakeUpRegistration> read_registrations(const std::string& folder);

// An order-keeping number of a local time, to the millisecond.
std::int64_t time_key(const SYSTEMTIME& time);
SYSTEMTIME local_time_now();

}  // namespace platform::detail
