// The wave-out device model: a worker thread per open device plays the queued buffers in
// order through the chosen back end, a piece at a time, and gives each back with
// MM_WOM_DONE. Reset, pause and close act under the device's lock and never wait for the
// notification thread.
#include <condition_variable>
#include <deque>
#include <thread>
#include <vector>

#include "platform/linux/wave_devices.h"

namespace platform::detail {

namespace {

struct WaveOutDevice {
    WaveFormat format;
    WaveCallback callback;
    HWAVEOUT handle = nullptr;
    std::unique_ptr<WaveOutput> output;

    std::mutex lock;
    std::condition_variable changed;
    std::deque<WAVEHDR*> queue;
    std::uint32_t played = 0;        // bytes of the front buffer played so far
    std::uint64_t generation = 0;    // counts resets, so that a piece in flight is forgotten
    bool paused = false;
    bool closing = false;
    DWORD volume = 0xFFFFFFFFu;
    std::thread worker;
};

WaveDeviceTable<WaveOutDevice>& devices() {
    static auto* const table = new WaveDeviceTable<WaveOutDevice>;  // lives to the process end
    return *table;
}

// With the device's lock held.
void give_back_front(WaveOutDevice& device) {
    WAVEHDR* const header = device.queue.front();
    device.queue.pop_front();
    device.played = 0;
    set_wave_flags(*header, WHDR_DONE, WHDR_INQUEUE);
    device.callback.post(MM_WOM_DONE, reinterpret_cast<WPARAM>(device.handle), reinterpret_cast<LPARAM>(header));
}

void play_queue(WaveOutDevice& device) {
    std::uint32_t const frame = device.format.frame_bytes();
    std::uint32_t const piece_bytes = piece_frames(device.format) * frame;
    std::vector<std::uint8_t> piece(piece_bytes);
    std::unique_lock guard(device.lock);
    for (;;) {
        device.changed.wait(guard, [&] { return device.closing || (!device.paused && !device.queue.empty()); });
        if (device.closing) return;
        WAVEHDR& header = *device.queue.front();
        std::uint32_t const left = header.dwBufferLength - device.played;
        // A trailing part of a frame is skipped, not played.
        std::uint32_t const size = std::min(left, piece_bytes) / frame * frame;
        if (size == 0) {
            give_back_front(device);
            continue;
        }
        std::copy_n(reinterpret_cast<const std::uint8_t*>(header.lpData) + device.played, size, piece.data());
        std::uint64_t const generation = device.generation;
        guard.unlock();
        device.output->play(piece.data(), size);
        guard.lock();
        if (generation == device.generation) device.played += size;
    }
}

template <class Action>
MMRESULT with_device(HWAVEOUT handle, Action action) {
    auto const device = devices().find(handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    std::lock_guard guard(device->lock);
    return action(*device);
}

}  // namespace

}  // namespace platform::detail

using namespace platform::detail;

UINT waveOutGetNumDevs() { return 1; }

MMRESULT waveOutOpen(LPHWAVEOUT handle, UINT device_id, LPCWAVEFORMATEX format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags) {
    static_cast<void>(instance);
    if (handle) *handle = nullptr;
    WaveFormat wave_format;
    if (MMRESULT const error = check_wave_open(device_id, format, flags, wave_format)) return error;
    if (!handle) return MMSYSERR_INVALPARAM;
    MMRESULT error = MMSYSERR_NOERROR;
    auto output = open_wave_output(wave_format, error);
    if (!output) return error != MMSYSERR_NOERROR ? error : MMSYSERR_ALLOCATED;

    auto device = std::make_shared<WaveOutDevice>();
    device->format = wave_format;
    device->callback = {static_cast<DWORD>(callback), (flags & CALLBACK_THREAD) != 0};
    device->output = std::move(output);
    device->handle = reinterpret_cast<HWAVEOUT>(devices().add(device));
    device->worker = std::thread([raw = device.get()] { play_queue(*raw); });
    *handle = device->handle;
    device->callback.post(MM_WOM_OPEN, reinterpret_cast<WPARAM>(device->handle), 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT handle) {
    auto const device = devices().find(handle);
    if (!device) return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard guard(device->lock);
        if (!device->queue.empty()) return WAVERR_STILLPLAYING;
        if (device->closing) return MMSYSERR_INVALHANDLE;
        device->closing = true;
    }
    devices().remove(handle);
    device->changed.notify_all();
    device->worker.join();
    device->output->finish();
    device->callback.post(MM_WOM_CLOSE, reinterpret_cast<WPARAM>(handle), 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT header_size) {
    if (!devices().find(handle)) return MMSYSERR_INVALHANDLE;
    return prepare_wave_header(header, header_size);
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT header_size) {
    if (!devices().find(handle)) return MMSYSERR_INVALHANDLE;
    return unprepare_wave_header(header, header_size);
}

MMRESULT waveOutWrite(HWAVEOUT handle, LPWAVEHDR header, UINT header_size) {
    if (MMRESULT const error = check_wave_header(header, header_size)) return error;
    MMRESULT const result = with_device(handle, [&](WaveOutDevice& device) -> MMRESULT {
        DWORD const flags = wave_flags(*header);
        if (!(flags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
        if (flags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
        set_wave_flags(*header, WHDR_INQUEUE, WHDR_DONE);
        device.queue.push_back(header);
        device.changed.notify_all();
        return MMSYSERR_NOERROR;
    });
    return result;
}

MMRESULT waveOutPause(HWAVEOUT handle) {
    return with_device(handle, [](WaveOutDevice& device) {
        if (!device.paused) device.output->pause();
        device.paused = true;
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutRestart(HWAVEOUT handle) {
    return with_device(handle, [](WaveOutDevice& device) {
        if (device.paused) device.output->restart();
        device.paused = false;
        device.changed.notify_all();
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutReset(HWAVEOUT handle) {
    return with_device(handle, [](WaveOutDevice& device) {
        ++device.generation;
        while (!device.queue.empty()) give_back_front(device);
        device.output->discard();
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutSetVolume(HWAVEOUT handle, DWORD volume) {
    return with_device(handle, [volume](WaveOutDevice& device) {
        device.volume = volume;
        device.output->set_volume(volume);
        return MMSYSERR_NOERROR;
    });
}

MMRESULT waveOutGetVolume(HWAVEOUT handle, LPDWORD volume) {
    if (!volume) return MMSYSERR_INVALPARAM;
    return with_device(handle, [volume](WaveOutDevice& device) {
        *volume = device.volume;
        return MMSYSERR_NOERROR;
    });
}
