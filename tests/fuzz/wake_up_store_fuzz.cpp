// Any file kept as a timed-start registration: the store reads it (or passes it over) and
// what it reads can be written back and read again unchanged.
#include <cstdlib>
#include <fstream>
#include <string>

#include "platform/device.h"
#include "platform/linux/wake_up_store.h"
#include "tests/fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace platform::detail;
    std::string const folder = wake_up_folder(platform::device_folder());
    std::string const file = folder + "/fuzz.wake";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    WakeUpLock const lock(state_lock_path(folder), true);
    for (auto const& found : read_registrations(folder)) {
        time_key(found.time);
        // A program line may not hold a line end; one that does cannot come back whole.
        if (found.host_program.find('\r') != std::string::npos) continue;
        if (!write_registration(found)) continue;
        auto const again = read_registrations(folder);
        if (again.size() != 1 || again[0].host_program != found.host_program ||
            time_key(again[0].time) != time_key(found.time))
            std::abort();
    }
    std::remove(file.c_str());
    return 0;
}
