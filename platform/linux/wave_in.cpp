// The wave-in device model: while started, a worker thread captures a piece at a time from
// the chosen back end and fills the queued buffers in order; each full buffer goes back
// with MM_WIM_DATA. Stop, reset and close act under the device's lock and never wait for
// the notification thread (a stop waits only for the piece being captured).
#include <condition_variable>
#include <deque>
#include <thread>
#include <vector>

#include "platform/linux/wave_devices.h"

namespace platform::detail {

namespace {

struct WaveInDevice {
    WaveFormat format;
    WaveCallback callback;
    HWAVEIN handle = nullptr;
    std::unique_ptr<WaveInput> input;

    std::mutex lock;
    std::condition_variable changed;
    std::deque<WAVEHDR*> queue;
    bool started = false;
    bool capturing = false;  // a piece is being captured outside the lock
    bool closing = false;
    std::thread worker;
};

WaveDeviceTable<WaveInDevice>& devices() {
    static auto* const table = new WaveDeviceTable<WaveInDevice>;  // lives to the process end
    return *table;
}

// With the device's lock held.
void give_back_front(WaveInDevice& device) {
    WAVEHDR* const header = device.queue.front();
    device.queue.pop_front();
    set_wave_flags(*header, WHDR_DONE, WHDR_INQUEUE);
    device.callback.post(MM_WIM_DATA, reinterpret_cast<WPARAM>(device.handle), reinterpret_cast<LPARAM>(header));
}

// Spreads captured bytes over the queued buffers; what finds no buffer is dropped.
void deliver(WaveInDevice& device, const std::uint8_t* bytes, std::uint32_t size) {
    while (size > 0 && !device.queue.empty()) {
        WAVEHDR& header = *device.queue.front();
        std::uint32_t const count = std::min(size, header.dwBufferLength - header.dwBytesRecorded);
        std::copy_n(bytes, count, reinterpret_cast<std::uint8_t*>(header.lpData) + header.dwBytesRecorded);
        header.dwBytesRecorded += count;
        bytes += count;
        size -= count;
        if (header.dwBytesRecorded == header.dwBufferLength) give_back_front(device);
    }
}

void capture_loop(WaveInDevice& device) {
    std::vector<std::uint8_t> piece(piece_frames(device.format) * device.format.frame_bytes());
    std::unique_lock guard(device.lock);
    for (;;) {
        device.changed.wait(guard, [&] { return device.closing || device.started; });
        if (device.closing) return;
        device.capturing = true;
        guard.unlock();
        std::uint32_t const size = device.input->capture(piece.data(), static_cast<std::uint32_t>(piece.size()));
        guard.lock();
        device.capturing = false;
        deliver(device, piece.data(), size);
        device.changed.notify_all();
    }
}

// With the lock held: no capture runs when it returns.
void halt(WaveInDevice& device, std::unique_lock<std::mutex>& guard) {
    if (!device.started) return;
    device.started = false;
    device.changed.wait(guard, [&] { return !device.capturing; });
    device.input->stop();
}

template <class Action>
MMRESULT with_device(HWAVEIN handle, Action action) {
    auto const device = devices().find(handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    std::unique_lock guard(device->lock);
    return action(*device, guard);
}

}  // namespace

}  // namespace platform::detail

using namespace platform::detail;

UINT waveInGetNumDevs() { return 1; }

MMRESULT waveInOpen(LPHWAVEIN handle, UINT device_id, LPCWAVEFORMATEX format, DWORD_PTR callback,
                    DWORD_PTR instance, DWORD flags) {
    static_cast<void>(instance);
    if (handle) *handle = nullptr;
    WaveFormat wave_format;
    if (MMRESULT const error = check_wave_open(device_id, format, flags, wave_format)) return error;
    if (!handle) return MMSYSERR_INVALPARAM;
    MMRESULT error = MMSYSERR_NOERROR;
    auto input = open_wave_input(wave_format, error);
    if (!input) return error != MMSYSERR_NOERROR ? error : MMSYSERR_ALLOCATED;

    auto device = std::make_shared<WaveInDevice>();
    device->format = wave_format;
    device->callback = {static_cast<DWORD>(callback), (flags & CALLBACK_THREAD) != 0};
    device->input = std::move(input);
    device->handle = reinterpret_cast<HWAVEIN>(devices().add(device));
    device->worker = std::thread([raw = device.get()] { capture_loop(*raw); });
    *handle = device->handle;
    device->callback.post(MM_WIM_OPEN, reinterpret_cast<WPARAM>(device->handle), 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInClose(HWAVEIN handle) {
    auto const device = devices().find(handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    {
        std::unique_lock guard(device->lock);
        if (!device->queue.empty()) return WAVERR_STILLPLAYING;
        if (device->closing) return MMSYSERR_INVALHANDLE;
        halt(*device, guard);
        device->closing = true;
    }
    devices().remove(handle);
    device->changed.notify_all();
    device->worker.join();
    device->callback.post(MM_WIM_CLOSE, reinterpret_cast<WPARAM>(handle), 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveInPrepareHeader(HWAVEIN handle, LPWAVEHDR header, UINT header_size) {
    if (!devices().find(handle)) return MMSYSERR_INVALHANDLE;
    return prepare_wave_header(header, header_size);
}

MMRESULT waveInUnprepareHeader(HWAVEIN handle, LPWAVEHDR header, UINT header_size) {
    if (!devices().find(handle)) return MMSYSERR_INVALHANDLE;
    return unprepare_wave_header(header, header_size);
}

MMRESULT waveInAddBuffer(HWAVEIN handle, LPWAVEHDR header, UINT header_size) {
    if (MMRESULT const error = check_wave_header(header, header_size)) return error;
    return with_device(handle, [&](WaveInDevice& device, std::unique_lock<std::mutex>&) -> MMRESULT {
        DWORD const flags = wave_flags(*header);
        if (!(flags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
        if (flags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        header->dwBytesRecorded = 0;
        set_wave_flags(*header, WHDR_INQUEUE, WHDR_DONE);
        device.queue.push_back(header);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveInStart(HWAVEIN handle) {
    return with_device(handle, [](WaveInDevice& device, std::unique_lock<std::mutex>&) {
        if (!device.started) device.input->start();
        device.started = true;
        device.changed.notify_all();
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveInStop(HWAVEIN handle) {
    return with_device(handle, [](WaveInDevice& device, std::unique_lock<std::mutex>& guard) {
        halt(device, guard);
        if (!device.queue.empty() && device.queue.front()->dwBytesRecorded > 0) give_back_front(device);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveInReset(HWAVEIN handle) {
    return with_device(handle, [](WaveInDevice& device, std::unique_lock<std::mutex>& guard) {
        halt(device, guard);
        while (!device.queue.empty()) give_back_front(device);
        return MMSYSERR_NOERROR;
    });
}
