#include "audio/decoder_mpc.h"

#include <mpc/mpcdec.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <string>

#include "audio/reader_arithmetic.h"

namespace audio {

struct MusepackStream {
    mpc_reader reader{};
    mpc_demux* demux = nullptr;
    // Channels 0 when the file was not opened.
    mpc_streaminfo info{};
    MPC_SAMPLE_FORMAT samples[MPC_DECODER_BUFFER_LENGTH] = {};
};

namespace {

// A damaged stream may give frame after frame without samples; this many in a row end it.
constexpr int max_empty_frames = 1000;
// No stream holds more sample frames per byte of its file than this (a frame of 1152
// samples takes more than two bits even when silent): a header that claims more is
// damaged, and its length is cut to what the file can hold.
constexpr std::uint64_t max_frames_per_byte = 1152 * 4;
os::File& file_of(mpc_reader* reader) { return *static_cast<os::File*>(reader->data); }

mpc_int32_t read_callback(mpc_reader* reader, void* buffer, mpc_int32_t size) {
    if (size <= 0) return 0;
    return static_cast<mpc_int32_t>(file_of(reader).read(buffer, static_cast<std::uint32_t>(size)));
}

// A place outside the file is refused: the library would otherwise go on looking for a
// stream there (a damaged length in the header sends it far beyond the end).
mpc_bool_t seek_callback(mpc_reader* reader, mpc_int32_t offset) {
    os::File& file = file_of(reader);
    if (offset < 0 || static_cast<std::uint32_t>(offset) > file.get_size()) return MPC_FALSE;
    return file.seek(static_cast<std::uint32_t>(offset));
}

mpc_int32_t tell_callback(mpc_reader* reader) { return static_cast<mpc_int32_t>(file_of(reader).get_position()); }

mpc_int32_t size_callback(mpc_reader* reader) { return static_cast<mpc_int32_t>(file_of(reader).get_size()); }

mpc_bool_t canseek_callback(mpc_reader*) { return MPC_TRUE; }

// To the nearest whole number, halves to the even one, as lrint does in the default
// rounding mode, without a library call for each sample: a float of at least 2^23 holds no
// fraction, so adding 1.5 x 2^23 rounds and taking it away again is exact.
inline std::int16_t to_16_bits(float sample) {
    float const scaled = sample * 32768.0f;
    if (!(scaled > -32768.0f)) return -32768;
    if (scaled >= 32767.0f) return 32767;
    constexpr float rounder = 12582912.0f;
    return static_cast<std::int16_t>((scaled + rounder) - rounder);
}

}  // namespace

std::int16_t mpc_sample_to_16_bits(float sample) { return to_16_bits(sample); }

DecoderMPC::DecoderMPC(const std::u16string& path) : FrameReader(path), stream_(std::make_unique<MusepackStream>()) {
    if (file_.has_errors()) return;
    stream_->reader = {read_callback, seek_callback, tell_callback, size_callback, canseek_callback, &file_};
    stream_->demux = mpc_demux_init(&stream_->reader);
    if (stream_->demux == nullptr) return;
    mpc_demux_get_info(stream_->demux, &stream_->info);
    mpc_streaminfo& info = stream_->info;
    // The decoder's buffer holds a frame of at most two channels; a stream needs a rate.
    if (info.channels > 2 || info.sample_freq == 0) info.channels = 0;
    if (info.channels == 0) return;
    auto const claimed = static_cast<std::uint64_t>(std::max<mpc_int64_t>(mpc_streaminfo_get_length_samples(&info), 0));
    length_ = clamp_to_u32(std::min(claimed, std::uint64_t{file_.get_size()} * max_frames_per_byte));
}

DecoderMPC::~DecoderMPC() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    if (stream_->demux != nullptr) mpc_demux_exit(stream_->demux);
}

bool DecoderMPC::decode_frame() {
    mpc_frame_info frame{};
    frame.buffer = stream_->samples;
    for (int empty = 0; empty < max_empty_frames; ++empty) {
        if (mpc_demux_decode(stream_->demux, &frame) != MPC_STATUS_OK || frame.bits == -1) return false;
        if (frame.samples == 0) continue;
        std::uint32_t const channels = stream_->info.channels;
        std::uint32_t const count = std::min<std::uint32_t>(frame.samples * channels, MPC_DECODER_BUFFER_LENGTH);
        liba::SharedBuffer bytes(count * 2);
        std::uint8_t* out = bytes.get_writable_data();
        MPC_SAMPLE_FORMAT const* const samples = stream_->samples;
        // Samples in the machine's order, which is the little-endian order of WAV data.
        for (std::uint32_t i = 0; i < count; ++i) {
            std::int16_t const value = to_16_bits(samples[i]);
            std::memcpy(out + 2 * i, &value, 2);
        }
        pending_ = PCMData(bytes, channels, 16, stream_->info.sample_freq);
        decoded_ += count / channels;
        demux_position_ += count / channels;
        return true;
    }
    return false;
}

PCMData DecoderMPC::get_data(std::uint32_t frames) {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    if (stream_->info.channels == 0) return PCMData();
    if (pending_.is_empty() && !decode_frame()) {
        // The stream ends here, whatever its header said: position and size agree, so
        // that the end is seen.
        length_ = decoded_ = std::min(length_, demux_position_);
        return PCMData();
    }
    std::uint64_t const wanted = std::uint64_t{frames} * pending_.get_frame_bytes();
    std::uint32_t const size = pending_.get_size();
    auto const take = static_cast<std::uint32_t>(std::min<std::uint64_t>(wanted, size));
    if (take == 0) return PCMData();
    PCMData const result = pending_.with_buffer(liba::SharedBuffer(pending_.buffer, 0, take));
    pending_ = pending_.with_buffer(liba::SharedBuffer(pending_.buffer, take, size - take));
    return result;
}

bool DecoderMPC::is_valid() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return stream_->info.channels != 0;
}

bool DecoderMPC::is_at_end() { return !is_valid() || get_position() >= get_size(); }

std::uint32_t DecoderMPC::get_channels() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return stream_->info.channels;
}

std::uint32_t DecoderMPC::get_sample_rate() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return stream_->info.channels != 0 ? stream_->info.sample_freq : 0;
}

std::uint32_t DecoderMPC::get_bit_rate() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return whole_units(stream_->info.average_bitrate);
}

std::uint32_t DecoderMPC::get_size() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return length_;
}

std::uint32_t DecoderMPC::get_position() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return decoded_;
}

void DecoderMPC::set_position(std::uint32_t frames) {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    if (stream_->info.channels == 0) return;
    if (stream_->info.stream_version >= 8) {
        seek_by_decoding(frames);
    } else {
        mpc_demux_seek_sample(stream_->demux, frames);
        demux_position_ = frames;
    }
    decoded_ = frames;
}

// In a stream of version 8 the decoder goes on from where it is when the target lies
// ahead; behind it, the stream is decoded again from its start. (The library's own seek
// follows the stream's seek table and then looks for audio packets until it has passed
// enough of them: in a damaged or cut file it never stops, and in a sound one its output
// after the seek is not the stream's.) What was decoded before the seek is still handed
// out first, then the target's frame from the target on.
void DecoderMPC::seek_by_decoding(std::uint32_t target) {
    PCMData const kept = pending_;
    pending_ = PCMData();
    if (target < demux_position_ && !restart()) return;
    while (demux_position_ < target && decode_frame()) {
    }
    PCMData tail;
    if (demux_position_ > target && !pending_.is_empty()) {
        std::uint32_t const bytes = (demux_position_ - target) * pending_.get_frame_bytes();
        std::uint32_t const size = pending_.get_size();
        tail = pending_.with_buffer(liba::SharedBuffer(pending_.buffer, size - std::min(bytes, size), std::min(bytes, size)));
    }
    if (kept.is_empty() || tail.is_empty()) {
        pending_ = kept.is_empty() ? tail : kept;
        return;
    }
    liba::SharedBuffer both(kept.get_size() + tail.get_size());
    both.copy_from(0, kept.buffer);
    both.copy_from(kept.get_size(), tail.buffer);
    pending_ = kept.with_buffer(both);
}

// A new decoder from the start of the file; false (the stream no longer valid) when the
// file cannot be opened again.
bool DecoderMPC::restart() {
    mpc_demux_exit(stream_->demux);
    file_.seek(0);
    stream_->demux = mpc_demux_init(&stream_->reader);
    demux_position_ = 0;
    if (stream_->demux != nullptr) return true;
    stream_->info.channels = 0;
    return false;
}

}  // namespace audio
