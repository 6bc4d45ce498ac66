// The shared parts of the wave-out and wave-in device model (inside the Linux back end
// only): the handle tables, the checks of a format and of a header, and the notification
// of the owning thread.
#pragma once

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "platform/linux/wave_backend.h"
#include "platform/messages.h"
#include "platform/wave.h"

namespace platform::detail {

// Live devices by handle value. A handle is a number that is never used again, so a
// closed handle stays invalid.
template <class Device>
class WaveDeviceTable {
public:
    std::uintptr_t add(std::shared_ptr<Device> device) {
        std::lock_guard guard(lock_);
        std::uintptr_t const id = next_++;
        devices_[id] = std::move(device);
        return id;
    }
    std::shared_ptr<Device> find(const void* handle) {
        std::lock_guard guard(lock_);
        auto const found = devices_.find(reinterpret_cast<std::uintptr_t>(handle));
        return found == devices_.end() ? nullptr : found->second;
    }
    void remove(const void* handle) {
        std::lock_guard guard(lock_);
        devices_.erase(reinterpret_cast<std::uintptr_t>(handle));
    }

private:
    std::mutex lock_;
    std::map<std::uintptr_t, std::shared_ptr<Device>> devices_;
    std::uintptr_t next_ = 0x5000;
};

// MMSYSERR_NOERROR with the device format, or why the request is refused.
MMRESULT check_wave_open(UINT device_id, LPCWAVEFORMATEX format, DWORD flags, WaveFormat& result);
MMRESULT check_wave_header(LPWAVEHDR header, UINT header_size);
MMRESULT prepare_wave_header(LPWAVEHDR header, UINT header_size);
MMRESULT unprepare_wave_header(LPWAVEHDR header, UINT header_size);

// The flags are written atomically: the owner of the buffers may look at them from its own
// thread while the device works.
inline void set_wave_flags(WAVEHDR& header, DWORD add, DWORD remove) {
    std::atomic_ref<DWORD> flags(header.dwFlags);
    DWORD value = flags.load();
    while (!flags.compare_exchange_weak(value, (value | add) & ~remove)) {
    }
}
inline DWORD wave_flags(WAVEHDR& header) { return std::atomic_ref<DWORD>(header.dwFlags).load(); }

// Posts to the callback thread when the device was opened with CALLBACK_THREAD.
struct WaveCallback {
    DWORD thread = 0;
    bool enabled = false;
    void post(UINT message, WPARAM wparam, LPARAM lparam) const {
        if (enabled) PostThreadMessageW(thread, message, wparam, lparam);
    }
};

}  // namespace platform::detail
