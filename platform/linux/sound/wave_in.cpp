// The wave-in device model: while started, a worker thread captures a piece at a time from
// the chosen back end and fills the queued buffers in order; each full buffer goes back
// with MM_WIM_DATA. Stop, reset and close act under the device's lock and never wait for
// the notification thread (a stop waits only for the piece being captured).
#include <vector>

#include "platform/linux/sound/wave_devices.h"

namespace platform::detail {

namespace {

struct WaveInDevice : WaveDevice<HWAVEIN> {
    std::unique_ptr<WaveInput> input;
    bool started = false;
    bool capturing = false;  // a piece is being captured outside the lock
};

WaveDeviceTable<WaveInDevice>& devices() {
    static auto* const table = new WaveDeviceTable<WaveInDevice>(HandleKind::wave_in);  // lives to the process end
    return *table;
}

// With the device's lock held.
void give_back_front(WaveInDevice& device) { give_back_front(device, MM_WIM_DATA); }

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
    return with_wave_device(devices(), handle, action);
}

}  // namespace

}  // namespace platform::detail

using namespace platform::detail;

UINT waveInGetNumDevs() { return 1; }

MMRESULT waveInOpen(LPHWAVEIN handle, UINT device_id, LPCWAVEFORMATEX format, DWORD_PTR callback,
                    DWORD_PTR instance, DWORD flags) {
    static_cast<void>(instance);
    auto const open_input = [](WaveInDevice& device, const WaveFormat& wave_format, MMRESULT& error) {
        device.input = open_wave_input(wave_format, error);
        return device.input != nullptr;
    };
    return open_wave_device(devices(), handle, device_id, format, callback, flags, MM_WIM_OPEN, open_input,
                            capture_loop);
}

MMRESULT waveInClose(HWAVEIN handle) {
    return close_wave_device(devices(), handle, MM_WIM_CLOSE, halt, [](WaveInDevice&) {});
}

MMRESULT waveInPrepareHeader(HWAVEIN handle, LPWAVEHDR header, UINT header_size) {
    return prepare_wave_header(devices(), handle, header, header_size);
}

MMRESULT waveInUnprepareHeader(HWAVEIN handle, LPWAVEHDR header, UINT header_size) {
    return unprepare_wave_header(devices(), handle, header, header_size);
}

MMRESULT waveInAddBuffer(HWAVEIN handle, LPWAVEHDR header, UINT header_size) {
    if (MMRESULT const error = check_wave_header(header, header_size)) return error;
    return with_device(handle, [&](WaveInDevice& device, std::unique_lock<std::mutex>&) {
        // Still under the lock, so the worker sees the buffer only with the count cleared.
        MMRESULT const error = queue_wave_header(device.queue, *header);
        if (error == MMSYSERR_NOERROR) header->dwBytesRecorded = 0;
        return error;
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
