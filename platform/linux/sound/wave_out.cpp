// The wave-out device model: a worker thread per open device plays the queued buffers in
// order through the chosen back end, a piece at a time, and gives each back with
// MM_WOM_DONE. Reset, pause and close act under the device's lock and never wait for the
// notification thread.
#include <vector>

#include "platform/linux/sound/wave_devices.h"

namespace platform::detail {

namespace {

struct WaveOutDevice : WaveDevice<HWAVEOUT> {
    std::unique_ptr<WaveOutput> output;
    std::uint32_t played = 0;        // bytes of the front buffer played so far
    std::uint64_t generation = 0;    // counts resets, so that a piece in flight is forgotten
    bool paused = false;
    DWORD volume = 0xFFFFFFFFu;
};

WaveDeviceTable<WaveOutDevice>& devices() {
    static auto* const table = new WaveDeviceTable<WaveOutDevice>(HandleKind::wave_out);  // lives to the process end
    return *table;
}

// With the device's lock held.
void give_back_front(WaveOutDevice& device) {
    device.played = 0;
    give_back_front(device, MM_WOM_DONE);
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
    return with_wave_device(devices(), handle,
                            [&](WaveOutDevice& device, std::unique_lock<std::mutex>&) { return action(device); });
}

}  // namespace

}  // namespace platform::detail

using namespace platform::detail;

UINT waveOutGetNumDevs() { return 1; }

MMRESULT waveOutOpen(LPHWAVEOUT handle, UINT device_id, LPCWAVEFORMATEX format, DWORD_PTR callback,
                     DWORD_PTR instance, DWORD flags) {
    static_cast<void>(instance);
    auto const open_output = [](WaveOutDevice& device, const WaveFormat& wave_format, MMRESULT& error) {
        device.output = open_wave_output(wave_format, error);
        return device.output != nullptr;
    };
    return open_wave_device(devices(), handle, device_id, format, callback, flags, MM_WOM_OPEN, open_output,
                            play_queue);
}

MMRESULT waveOutClose(HWAVEOUT handle) {
    return close_wave_device(
        devices(), handle, MM_WOM_CLOSE, [](WaveOutDevice&, std::unique_lock<std::mutex>&) {},
        [](WaveOutDevice& device) { device.output->finish(); });
}

MMRESULT waveOutPrepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT header_size) {
    return prepare_wave_header(devices(), handle, header, header_size);
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT handle, LPWAVEHDR header, UINT header_size) {
    return unprepare_wave_header(devices(), handle, header, header_size);
}

MMRESULT waveOutWrite(HWAVEOUT handle, LPWAVEHDR header, UINT header_size) {
    if (MMRESULT const error = check_wave_header(header, header_size)) return error;
    return with_device(handle, [&](WaveOutDevice& device) {
        MMRESULT const error = queue_wave_header(device.queue, *header);
        if (error == MMSYSERR_NOERROR) device.changed.notify_all();
        return error;
    });
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
