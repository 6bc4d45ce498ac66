#include "platform/linux/media/media_player_control.h"

#include <array>
#include <vector>

#include "platform/device.h"
#include "platform/kernel.h"
#include "platform/linux/media/media_decoder.h"
#include "platform/unicode.h"
#include "platform/wave.h"

namespace platform::detail {
namespace {

constexpr std::size_t buffer_count = 4;

// Wave-out buffers of a twentieth of a second each, with the frames each one holds.
struct OutputBuffers {
    std::array<WAVEHDR, buffer_count> headers{};
    std::array<std::vector<std::int16_t>, buffer_count> samples;
    std::array<std::size_t, buffer_count> frames{};
    std::array<bool, buffer_count> queued{};
};

class WaveOut {
public:
    WaveOut(int channels, int rate) {
        WAVEFORMATEX format{};
        format.wFormatTag = WAVE_FORMAT_PCM;
        format.nChannels = static_cast<WORD>(channels);
        format.nSamplesPerSec = static_cast<DWORD>(rate);
        format.wBitsPerSample = 16;
        format.nBlockAlign = static_cast<WORD>(channels * 2);
        format.nAvgBytesPerSec = format.nSamplesPerSec * format.nBlockAlign;
        if (waveOutOpen(&device_, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) device_ = nullptr;
    }
    ~WaveOut() {
        if (device_ == nullptr) return;
        waveOutReset(device_);
        waveOutClose(device_);
    }
    WaveOut(const WaveOut&) = delete;
    WaveOut& operator=(const WaveOut&) = delete;

    HWAVEOUT get() const { return device_; }

private:
    HWAVEOUT device_ = nullptr;
};

}  // namespace

MediaPlayerControl::MediaPlayerControl(HWND host) : host_(host) {}

MediaPlayerControl::~MediaPlayerControl() { stop_player(); }

ULONG MediaPlayerControl::AddRef() { return ++references_; }

ULONG MediaPlayerControl::Release() {
    ULONG const left = --references_;
    if (left == 0) delete this;
    return left;
}

HRESULT MediaPlayerControl::put_FileName(LPCWSTR path) {
    if (path == nullptr) return E_INVALIDARG;
    stop_player();
    ready_state_ = MEDIA_PLAYER_UNINITIALIZED;
    position_ = 0.0;
    auto const host_path = platform::host_path(path);
    std::shared_ptr<MediaDecoder> decoder;
    if (host_path) decoder = MediaDecoder::open(*host_path);
    if (!decoder) return E_FAIL;
    std::lock_guard guard(lock_);
    decoder_ = decoder;
    duration_ = decoder->duration();
    bit_rate_ = decoder->bit_rate();
    ready_state_ = MEDIA_PLAYER_LOADING;
    stop_requested_ = false;
    pause_requested_ = false;
    seek_to_ = -1.0;
    play_state_ = MEDIA_PLAYER_PLAYING;
    player_ = std::thread([this] { play_file(); });
    return S_OK;
}

HRESULT MediaPlayerControl::put_StartMode(LONG mode) { return mode == 0 ? S_OK : E_INVALIDARG; }
HRESULT MediaPlayerControl::put_ShowAudioControls(BOOL show) { return show_flags_[0] = show, S_OK; }
HRESULT MediaPlayerControl::put_ShowControls(BOOL show) { return show_flags_[1] = show, S_OK; }
HRESULT MediaPlayerControl::put_ShowPositionControls(BOOL show) { return show_flags_[2] = show, S_OK; }
HRESULT MediaPlayerControl::put_ShowTracker(BOOL show) { return show_flags_[3] = show, S_OK; }

HRESULT MediaPlayerControl::get_Bandwidth(LONG* bits_per_second) {
    if (bits_per_second == nullptr) return E_INVALIDARG;
    std::lock_guard guard(lock_);
    if (!decoder_) return E_FAIL;
    *bits_per_second = static_cast<LONG>(bit_rate_);
    return S_OK;
}

HRESULT MediaPlayerControl::get_CurrentPosition(double* seconds) {
    if (seconds == nullptr) return E_INVALIDARG;
    double const pending = seek_to_;
    *seconds = pending >= 0.0 ? pending : position_.load();
    return S_OK;
}

HRESULT MediaPlayerControl::put_CurrentPosition(double seconds) {
    if (seconds < 0.0) seconds = 0.0;
    std::lock_guard guard(lock_);
    if (player_.joinable() && play_state_ != MEDIA_PLAYER_STOPPED) {
        seek_to_ = seconds;
    } else {
        position_ = seconds;
    }
    return S_OK;
}

HRESULT MediaPlayerControl::get_Duration(double* seconds) {
    if (seconds == nullptr) return E_INVALIDARG;
    std::lock_guard guard(lock_);
    if (!decoder_) return E_FAIL;
    *seconds = duration_;
    return S_OK;
}

HRESULT MediaPlayerControl::get_BufferingProgress(LONG* percent) {
    if (percent == nullptr) return E_INVALIDARG;
    *percent = ready_state_ == MEDIA_PLAYER_COMPLETE ? 100 : 0;
    return S_OK;
}

HRESULT MediaPlayerControl::get_PlayState(LONG* state) {
    if (state == nullptr) return E_INVALIDARG;
    *state = play_state_;
    return S_OK;
}

HRESULT MediaPlayerControl::get_ReadyState(LONG* state) {
    if (state == nullptr) return E_INVALIDARG;
    *state = ready_state_;
    return S_OK;
}

HRESULT MediaPlayerControl::Pause() {
    if (play_state_ != MEDIA_PLAYER_PLAYING) return E_FAIL;
    pause_requested_ = true;
    play_state_ = MEDIA_PLAYER_PAUSED;
    return S_OK;
}

HRESULT MediaPlayerControl::Play() {
    if (play_state_ != MEDIA_PLAYER_PAUSED) return play_state_ == MEDIA_PLAYER_PLAYING ? S_OK : E_FAIL;
    pause_requested_ = false;
    play_state_ = MEDIA_PLAYER_PLAYING;
    return S_OK;
}

HRESULT MediaPlayerControl::Stop() {
    stop_player();
    return S_OK;
}

void MediaPlayerControl::on_host_message(UINT message) {
    if (message == WM_MEDIA_PLAYER_LOADED && ready_state_ == MEDIA_PLAYER_LOADING) ready_state_ = MEDIA_PLAYER_COMPLETE;
}

void MediaPlayerControl::detach_host() {
    std::lock_guard guard(lock_);
    host_ = nullptr;
}

void MediaPlayerControl::post_to_host(UINT message) {
    std::lock_guard guard(lock_);
    if (host_ != nullptr) PostMessageW(host_, message, 0, 0);
}

void MediaPlayerControl::stop_player() {
    std::thread player;
    {
        std::lock_guard guard(lock_);
        player = std::move(player_);
    }
    stop_requested_ = true;
    if (player.joinable()) player.join();
    play_state_ = MEDIA_PLAYER_STOPPED;
}

// The player thread: keeps the device's buffers filled from the decoder, follows pause and
// seek requests, and counts what the device has given back as played.
void MediaPlayerControl::play_file() {
    std::shared_ptr<MediaDecoder> decoder;
    {
        std::lock_guard guard(lock_);
        decoder = decoder_;
    }
    int const channels = decoder->channels();
    int const rate = decoder->sample_rate();
    // The device goes before the buffers that it may still be reading.
    OutputBuffers buffers;
    WaveOut out(channels, rate);
    if (out.get() == nullptr) {
        play_state_ = MEDIA_PLAYER_STOPPED;
        return;
    }
    std::size_t const buffer_frames = static_cast<std::size_t>(rate / 20 + 1);
    double start = 0.0;
    std::size_t played_frames = 0;
    bool data_ended = false;
    bool paused = false;
    bool announced = false;

    auto give_back = [&](std::size_t i) {
        WAVEHDR& header = buffers.headers[i];
        waveOutUnprepareHeader(out.get(), &header, sizeof(header));
        buffers.queued[i] = false;
    };
    while (!stop_requested_) {
        double const seek = seek_to_.exchange(-1.0);
        if (seek >= 0.0) {
            waveOutReset(out.get());
            for (std::size_t i = 0; i < buffer_count; ++i)
                if (buffers.queued[i]) give_back(i);
            decoder->seek(seek);
            start = seek;
            played_frames = 0;
            data_ended = false;
            position_ = start;
        }
        if (pause_requested_ != paused) {
            paused = pause_requested_;
            paused ? waveOutPause(out.get()) : waveOutRestart(out.get());
        }
        bool any_queued = false;
        for (std::size_t i = 0; i < buffer_count; ++i) {
            WAVEHDR& header = buffers.headers[i];
            if (buffers.queued[i] && (header.dwFlags & WHDR_DONE) != 0) {
                played_frames += buffers.frames[i];
                give_back(i);
            }
            if (!buffers.queued[i] && !data_ended) {
                buffers.samples[i].resize(buffer_frames * static_cast<std::size_t>(channels));
                std::size_t const frames = decoder->read(buffers.samples[i].data(), buffer_frames);
                if (frames < buffer_frames) data_ended = true;
                if (frames > 0) {
                    header = WAVEHDR{};
                    header.lpData = reinterpret_cast<LPSTR>(buffers.samples[i].data());
                    header.dwBufferLength = static_cast<DWORD>(frames * static_cast<std::size_t>(channels) * 2);
                    buffers.frames[i] = frames;
                    waveOutPrepareHeader(out.get(), &header, sizeof(header));
                    waveOutWrite(out.get(), &header, sizeof(header));
                    buffers.queued[i] = true;
                }
            }
            any_queued = any_queued || buffers.queued[i];
        }
        position_ = start + static_cast<double>(played_frames) / rate;
        if (!announced) {
            post_to_host(WM_MEDIA_PLAYER_LOADED);
            announced = true;
        }
        if (data_ended && !any_queued) {
            play_state_ = MEDIA_PLAYER_STOPPED;
            post_to_host(WM_MEDIA_PLAYER_ENDED);
            return;
        }
        Sleep(5);
    }
}

}  // namespace platform::detail
