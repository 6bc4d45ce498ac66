// The shared parts of the wave-out and wave-in device model (inside the Linux back end
// only): the device record and its handle table, the checks of a format and of a header,
// the notification of the owning thread, and opening, closing and queueing.
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "platform/linux/kernel/handles.h"
#include "platform/linux/sound/wave_backend.h"
#include "platform/messages.h"
#include "platform/wave.h"

namespace platform::detail {

// Live devices of one kind (wave out or wave in) in the process's handle table, so that a
// handle of another kind or a closed one is refused.
template <class Device>
class WaveDeviceTable {
public:
    explicit WaveDeviceTable(HandleKind kind) : kind_(kind) {}
    std::uintptr_t add(std::shared_ptr<Device> device) { return add_typed_handle(kind_, std::move(device)); }
    std::shared_ptr<Device> find(const void* handle) {
        return std::static_pointer_cast<Device>(find_typed_handle(handle, kind_));
    }
    void remove(const void* handle) { remove_typed_handle(handle, kind_); }

private:
    HandleKind kind_;
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

// What every open device holds. Its queue and state change only under its lock; the
// worker serves the queue until the device is closing.
template <class Handle>
struct WaveDevice {
    WaveFormat format;
    WaveCallback callback;
    Handle handle = nullptr;

    std::mutex lock;
    std::condition_variable changed;
    std::deque<WAVEHDR*> queue;
    bool closing = false;
    std::thread worker;
};

// Checks the request, opens the back end (open_backend(device, format, error) says whether
// it could), registers the device, starts serve(device) on its worker and reports
// open_message.
template <class Device, class OpenBackend, class Serve>
MMRESULT open_wave_device(WaveDeviceTable<Device>& table, decltype(Device::handle)* handle, UINT device_id,
                          LPCWAVEFORMATEX format, DWORD_PTR callback, DWORD flags, UINT open_message,
                          OpenBackend open_backend, Serve serve) {
    if (handle) *handle = nullptr;
    WaveFormat wave_format;
    if (MMRESULT const error = check_wave_open(device_id, format, flags, wave_format)) return error;
    if (!handle) return MMSYSERR_INVALPARAM;
    auto device = std::make_shared<Device>();
    MMRESULT error = MMSYSERR_NOERROR;
    if (!open_backend(*device, wave_format, error)) return error != MMSYSERR_NOERROR ? error : MMSYSERR_ALLOCATED;

    device->format = wave_format;
    device->callback = {static_cast<DWORD>(callback), (flags & CALLBACK_THREAD) != 0};
    std::uintptr_t const value = table.add(device);
    if (value == 0) return MMSYSERR_NOMEM;
    device->handle = reinterpret_cast<decltype(Device::handle)>(value);
    device->worker = std::thread([raw = device.get(), serve] { serve(*raw); });
    *handle = device->handle;
    device->callback.post(open_message, reinterpret_cast<WPARAM>(device->handle), 0);
    return MMSYSERR_NOERROR;
}

// Refused while buffers are queued. Otherwise stop(device, guard) runs under the lock, the
// worker ends, finish(device) runs after it and close_message is reported.
template <class Device, class Stop, class Finish>
MMRESULT close_wave_device(WaveDeviceTable<Device>& table, const void* handle, UINT close_message, Stop stop,
                           Finish finish) {
    auto const device = table.find(handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    {
        std::unique_lock guard(device->lock);
        if (!device->queue.empty()) return WAVERR_STILLPLAYING;
        if (device->closing) return MMSYSERR_INVALHANDLE;
        stop(*device, guard);
        device->closing = true;
    }
    table.remove(handle);
    device->changed.notify_all();
    device->worker.join();
    finish(*device);
    device->callback.post(close_message, reinterpret_cast<WPARAM>(handle), 0);
    return MMSYSERR_NOERROR;
}

template <class Device>
MMRESULT prepare_wave_header(WaveDeviceTable<Device>& table, const void* handle, LPWAVEHDR header, UINT header_size) {
    if (!table.find(handle)) return MMSYSERR_INVALHANDLE;
    return prepare_wave_header(header, header_size);
}

template <class Device>
MMRESULT unprepare_wave_header(WaveDeviceTable<Device>& table, const void* handle, LPWAVEHDR header,
                               UINT header_size) {
    if (!table.find(handle)) return MMSYSERR_INVALHANDLE;
    return unprepare_wave_header(header, header_size);
}

// Runs action(device, guard) under the device's lock.
template <class Device, class Action>
MMRESULT with_wave_device(WaveDeviceTable<Device>& table, const void* handle, Action action) {
    auto const device = table.find(handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    std::unique_lock guard(device->lock);
    return action(*device, guard);
}

// With the device's lock held: a prepared buffer that is not queued yet goes to the back
// of the queue.
inline MMRESULT queue_wave_header(std::deque<WAVEHDR*>& queue, WAVEHDR& header) {
    DWORD const flags = wave_flags(header);
    if (!(flags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (flags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    set_wave_flags(header, WHDR_INQUEUE, WHDR_DONE);
    queue.push_back(&header);
    return MMSYSERR_NOERROR;
}

// With the device's lock held: the front buffer is done and goes back with message.
template <class Handle>
void give_back_front(WaveDevice<Handle>& device, UINT message) {
    WAVEHDR* const header = device.queue.front();
    device.queue.pop_front();
    set_wave_flags(*header, WHDR_DONE, WHDR_INQUEUE);
    device.callback.post(message, reinterpret_cast<WPARAM>(device.handle), reinterpret_cast<LPARAM>(header));
}

}  // namespace platform::detail
