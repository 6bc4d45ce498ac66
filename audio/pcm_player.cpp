#include "audio/pcm_player.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "audio/pcm_player_impl.h"
#include "foundation/log.h"
#include "platform/messages.h"

namespace audio {

// ---- PlayerPCM --------------------------------------------------------------------------

PlayerPCM::PlayerPCM() : impl_(std::make_unique<PlayerPCMImpl>(*this)) {}

PlayerPCM::~PlayerPCM() { impl_.reset(); }

void PlayerPCM::on_data(const PCMData&) {
    os::fatal_error(u"PlayerPCM::on_data", u"on_data unexpected - player is active object");
}

bool PlayerPCM::play() { return impl_->request_play(); }
bool PlayerPCM::pause() { return impl_->request_pause(); }
bool PlayerPCM::stop() { return impl_->request_stop_playing(); }
bool PlayerPCM::is_paused() const { return impl_->is_pause_requested(); }
void PlayerPCM::set_volume(double volume) { impl_->set_volume(volume); }
double PlayerPCM::get_volume() { return impl_->get_volume(); }
bool PlayerPCM::is_playing() { return impl_->is_open(); }
bool PlayerPCM::has_device_failed() { return impl_->has_device_failed(); }

// ---- PlayerPCMImpl: the user-interface side ----------------------------------------------

PlayerPCMImpl::PlayerPCMImpl(PlayerPCM& owner) : owner_(owner) {
    ready_.reset();
    start();
}

PlayerPCMImpl::~PlayerPCMImpl() {
    ready_.wait();
    request_stop();
    post_command();
    join();
}

// 200 ms of sound, and at least one frame: below 5 Hz 200 ms round down to no frame, and a
// buffer of no bytes would come back at once for ever. 0 when a frame has no bytes.
std::uint32_t PlayerPCMImpl::buffer_size_for(std::uint32_t channels, std::uint32_t bits, std::uint32_t rate) {
    std::uint32_t const block_align = channels * bits / 8;
    std::uint64_t const frames = std::max<std::uint64_t>(std::uint64_t{rate} * buffer_milliseconds / 1000, 1);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(frames * block_align, 0x7FFFFFFF));
}

bool PlayerPCMImpl::post_command() { return PostThreadMessageW(get_id(), WM_USER, 0, 0) != FALSE; }

bool PlayerPCMImpl::request_play() {
    ready_.wait();
    {
        std::lock_guard guard(owner_.get_lock());
        device_failed_ = false;
    }
    play_requested_ = true;
    pause_requested_ = false;
    return post_command();
}

bool PlayerPCMImpl::request_pause() {
    ready_.wait();
    pause_requested_ = true;
    return post_command();
}

bool PlayerPCMImpl::request_stop_playing() {
    ready_.wait();
    play_requested_ = false;
    pause_requested_ = false;
    return post_command();
}

void PlayerPCMImpl::set_volume(double volume) {
    std::lock_guard guard(owner_.get_lock());
    volume_ = std::clamp(volume, 0.0, 1.0);
    apply_volume();
}

double PlayerPCMImpl::get_volume() {
    std::lock_guard guard(owner_.get_lock());
    return volume_;
}

bool PlayerPCMImpl::is_open() {
    std::lock_guard guard(owner_.get_lock());
    return state_ != closed;
}

bool PlayerPCMImpl::has_device_failed() {
    std::lock_guard guard(owner_.get_lock());
    return device_failed_;
}

void PlayerPCMImpl::apply_volume() {
    if (!device_) return;
    auto const word = static_cast<DWORD>(static_cast<int>(volume_ * 65535.0));
    waveOutSetVolume(device_, word | word << 16);
}

// ---- The player thread --------------------------------------------------------------------

void PlayerPCMImpl::run() {
    set_priority(1);
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE);
    ready_.set();
    while (!is_stop_requested()) {
        if (GetMessageW(&message, nullptr, 0, 0) == 0) break;
        switch (message.message) {
        case MM_WOM_OPEN: on_open(reinterpret_cast<HWAVEOUT>(message.wParam)); break;
        case MM_WOM_CLOSE: on_close(); break;
        case MM_WOM_DONE: on_done(reinterpret_cast<WAVEHDR*>(message.lParam)); break;
        case WM_USER: on_command(); break;
        default: break;
        }
    }
    std::lock_guard guard(owner_.get_lock());
    if (device_) {
        waveOutReset(device_);
        waveOutClose(device_);
        device_ = nullptr;
    }
}

// The whole step runs under the lock: it pulls, as fill_buffers does, and it changes what
// the notifications and the volume look at.
void PlayerPCMImpl::on_command() {
    std::lock_guard guard(owner_.get_lock());
    if (play_requested_ && state_ == closed) {
        if (pending_.is_empty()) pending_ = owner_.pull_data(pull_frames);
        if (!pending_.is_empty() && buffer_size_for(pending_.channels, pending_.bits_per_sample, pending_.sample_rate) == 0) {
            // No whole byte in a frame: nothing the device could play.
            os::get_log() << "PlayerPCM: a format without whole frames is refused\n";
            give_up_device();
        }
        if (!pending_.is_empty()) {
            channels_ = pending_.channels;
            bits_ = pending_.bits_per_sample;
            rate_ = pending_.sample_rate;
            state_ = playing;
            open_device();
        }
    } else if (!play_requested_ && state_ == playing) {
        state_ = draining;
        waveOutReset(device_);
        pending_ = PCMData();
    }
    apply_pause();
}

// The paused flag follows the device: it is set only when a device took the pause.
void PlayerPCMImpl::apply_pause() {
    if (pause_requested_ && !paused_) {
        paused_ = device_ != nullptr && waveOutPause(device_) == MMSYSERR_NOERROR;
    } else if (!pause_requested_ && paused_) {
        waveOutRestart(device_);
        paused_ = false;
    }
}

void PlayerPCMImpl::open_device() {
    if (device_) return;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels_);
    format.nSamplesPerSec = rate_;
    format.wBitsPerSample = static_cast<WORD>(bits_);
    format.nBlockAlign = static_cast<WORD>(channels_ * bits_ / 8);
    format.nAvgBytesPerSec = format.nBlockAlign * rate_;
    format.cbSize = 0;
    MMRESULT const result = waveOutOpen(&device_, WAVE_MAPPER, &format, get_id(),
                                        reinterpret_cast<DWORD_PTR>(this), CALLBACK_THREAD);
    if (result != MMSYSERR_NOERROR) {
        os::get_log() << "PlayerPCM: waveOutOpen failed: " << static_cast<int>(result) << "\n";
        device_ = nullptr;
        give_up_device();
        state_ = closed;
        channels_ = bits_ = rate_ = 0;
        return;
    }
    std::uint32_t const size = buffer_size_for(channels_, bits_, rate_);
    if (size != buffer_size_) {
        for (std::size_t i = 0; i < buffers_.size(); ++i) {
            storage_[i] = std::make_unique<char[]>(size);
            buffers_[i].lpData = storage_[i].get();
        }
        buffer_size_ = size;
    }
    for (WAVEHDR& header : buffers_) header.dwUser = 0;
}

// The device refused: the player stops instead of waiting for buffers that never come.
// The block that could not be played is dropped with the request, and the failure is kept
// for the caller, who would otherwise wait for the end of a stream that is never pulled.
void PlayerPCMImpl::give_up_device() {
    device_failed_ = true;
    play_requested_ = false;
    pending_ = PCMData();
}

void PlayerPCMImpl::on_open(HWAVEOUT device) {
    std::lock_guard guard(owner_.get_lock());
    device_ = device;
    apply_volume();
    // A pause requested before there was a device takes effect before any sound.
    if (pause_requested_ && !paused_) paused_ = waveOutPause(device_) == MMSYSERR_NOERROR;
    refill_or_close();
}

void PlayerPCMImpl::on_done(WAVEHDR* header) {
    std::lock_guard guard(owner_.get_lock());
    header->dwUser = 0;
    waveOutUnprepareHeader(device_, header, sizeof(WAVEHDR));
    refill_or_close();
}

void PlayerPCMImpl::refill_or_close() {
    if (state_ == playing && !fill_buffers()) state_ = draining;
    if (state_ == draining && all_buffers_free()) waveOutClose(device_);
}

void PlayerPCMImpl::on_close() {
    std::lock_guard guard(owner_.get_lock());
    for (WAVEHDR& header : buffers_) {
        if (header.dwUser == 0) continue;
        waveOutUnprepareHeader(device_, &header, sizeof(WAVEHDR));
        header.dwUser = 0;
    }
    state_ = closed;
    channels_ = bits_ = rate_ = 0;
    device_ = nullptr;
    paused_ = false;
    // A play request that still stands (a block of a new format in pending) reopens.
    post_command();
}

bool PlayerPCMImpl::all_buffers_free() const {
    if (state_ == playing) return false;
    return std::none_of(buffers_.begin(), buffers_.end(), [](const WAVEHDR& header) { return header.dwUser != 0; });
}

bool PlayerPCMImpl::fill_buffers() {
    for (WAVEHDR& header : buffers_) {
        if (header.dwUser != 0) continue;
        bool const ran_dry = !fill_one(header);
        write_buffer(header);
        if (ran_dry || header.dwUser == 0) return false;
    }
    return true;
}

// Copies pending sound into the buffer; false when the data ran out or a block of another
// format came (it stays in pending for the next open).
bool PlayerPCMImpl::fill_one(WAVEHDR& header) {
    header.dwBufferLength = 0;
    std::uint32_t remaining = buffer_size_;
    do {
        std::uint32_t const n = std::min(pending_.get_size(), remaining);
        if (n > 0) std::memcpy(header.lpData + header.dwBufferLength, pending_.buffer.get_data(), n);
        header.dwBufferLength += n;
        remaining -= n;
        pending_ = pending_.with_buffer(liba::SharedBuffer(pending_.buffer, n, pending_.get_size() - n));
        if (pending_.is_empty()) {
            pending_ = owner_.pull_data(pull_frames);
            if (pending_.is_empty() || pending_.channels != channels_ || pending_.bits_per_sample != bits_ ||
                pending_.sample_rate != rate_)
                return false;
        }
    } while (remaining > 0);
    return true;
}

// A buffer that the device does not take is not left marked as queued, and the player
// stops: otherwise it would wait for its return for ever.
void PlayerPCMImpl::write_buffer(WAVEHDR& header) {
    header.dwUser = 1;
    header.dwFlags = 0;
    MMRESULT result = waveOutPrepareHeader(device_, &header, sizeof(WAVEHDR));
    if (result == MMSYSERR_NOERROR) {
        result = waveOutWrite(device_, &header, sizeof(WAVEHDR));
        if (result != MMSYSERR_NOERROR) waveOutUnprepareHeader(device_, &header, sizeof(WAVEHDR));
    }
    if (result != MMSYSERR_NOERROR) {
        os::get_log() << "PlayerPCM: the device refused a buffer: " << static_cast<int>(result) << "\n";
        header.dwUser = 0;
        give_up_device();
    }
}

}  // namespace audio
