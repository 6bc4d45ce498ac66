#include "audio/file_reader_wma.h"

#include <atomic>
#include <mutex>

namespace audio {
namespace {

// Program-wide: the slot that places the next hidden window, and the readers alive.
std::atomic<int> next_slot{0};
std::atomic<int> live_readers{0};

template <class Value>
Value read_or_zero(IMediaPlayer* player, HRESULT (IMediaPlayer::*read)(Value*)) {
    Value value{};
    if (player == nullptr || FAILED((player->*read)(&value))) return Value{};
    return value;
}

std::uint32_t seconds_to_milliseconds(double seconds) {
    if (!(seconds > 0.0)) return 0;
    if (seconds >= 4294967.295) return 0xFFFFFFFFu;
    return static_cast<std::uint32_t>(seconds * 1000.0);
}

}  // namespace

FileReaderWMA::FileReaderWMA(const std::u16string& path) {
    int slot = next_slot.load();
    while (!next_slot.compare_exchange_weak(slot, (slot + 1) % 4)) {
    }
    if (live_readers.load() == 0 && window_.create(0, 26 + 50 * slot, 240, 50)) valid_ = window_.Play(path);
    ++live_readers;
}

FileReaderWMA::~FileReaderWMA() {
    --live_readers;
    if (window_.exists()) {
        if (IMediaPlayer* const player = window_.player()) player->Stop();
        window_.destroy();
    }
}

PCMData FileReaderWMA::get_data(std::uint32_t) { return PCMData(); }

bool FileReaderWMA::is_valid() {
    std::lock_guard guard(lock_);
    return valid_;
}

bool FileReaderWMA::is_at_end() {
    std::lock_guard guard(lock_);
    return get_position() >= get_size();
}

std::uint32_t FileReaderWMA::get_channels() { return 1; }
std::uint32_t FileReaderWMA::get_bits_per_sample() { return 16; }
std::uint32_t FileReaderWMA::get_sample_rate() { return 44100; }

std::uint32_t FileReaderWMA::get_bit_rate() {
    std::lock_guard guard(lock_);
    return static_cast<std::uint32_t>(read_or_zero(window_.player(), &IMediaPlayer::get_Bandwidth));
}

std::uint32_t FileReaderWMA::time_to_bytes(double seconds) { return seconds_to_milliseconds(seconds); }

double FileReaderWMA::bytes_to_time(std::uint32_t milliseconds) { return milliseconds * 0.001; }

std::uint32_t FileReaderWMA::get_size() {
    std::lock_guard guard(lock_);
    return read_size();
}

std::uint32_t FileReaderWMA::read_size() {
    return seconds_to_milliseconds(read_or_zero(window_.player(), &IMediaPlayer::get_Duration));
}

std::uint32_t FileReaderWMA::get_position() {
    std::lock_guard guard(lock_);
    IMediaPlayer* const player = window_.player();
    std::int32_t const state = read_or_zero(player, &IMediaPlayer::get_PlayState);
    // A control that went from playing to stopped has played the file to its end.
    if (last_play_state_ == MEDIA_PLAYER_PLAYING && state == MEDIA_PLAYER_STOPPED) return read_size();
    last_play_state_ = state;
    return seconds_to_milliseconds(read_or_zero(player, &IMediaPlayer::get_CurrentPosition));
}

void FileReaderWMA::set_position(std::uint32_t milliseconds) {
    std::lock_guard guard(lock_);
    if (IMediaPlayer* const player = window_.player()) player->put_CurrentPosition(milliseconds * 0.001);
}

bool FileReaderWMA::read_duration(double) { return false; }
bool FileReaderWMA::read_block(std::uint32_t) { return false; }

bool FileReaderWMA::set_pause_state(bool paused) {
    std::lock_guard guard(lock_);
    if (IMediaPlayer* const player = window_.player()) paused ? player->Pause() : player->Play();
    paused_ = paused;
    return true;
}

bool FileReaderWMA::get_pause_state() {
    std::lock_guard guard(lock_);
    return paused_;
}

}  // namespace audio
