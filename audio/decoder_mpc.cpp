#include "audio/decoder_mpc.h"

#include <mpc/mpcdec.h>

#include <algorithm>
#include <bit>
#include <cstring>
#include <mutex>
#include <string>

#include "audio/reader_arithmetic.h"

namespace audio {

struct MusepackStream {
    explicit MusepackStream(os::File& opened) : file(opened) {}

    os::File& file;
    // While the library seeks: file positions it may still ask for; -1 outside a seek.
    int seek_budget = -1;
    // The budget ran out: the walk was sent to the stream's end (see seek_callback).
    bool walk_cut_short = false;
    mpc_reader reader{};
    mpc_demux* demux = nullptr;
    // Channels 0 when the file was not opened.
    mpc_streaminfo info{};
    MPC_SAMPLE_FORMAT samples[MPC_DECODER_BUFFER_LENGTH] = {};
    std::int16_t pcm[MPC_DECODER_BUFFER_LENGTH] = {};
};

namespace {

// A damaged stream may give frame after frame without samples; this many in a row end it.
constexpr int max_empty_frames = 1000;
// No stream holds more sample frames per byte of its file than this (a frame of 1152
// samples takes more than two bits even when silent): a header that claims more is
// damaged, and its length is cut to what the file can hold.
constexpr std::uint64_t max_frames_per_byte = 1152 * 4;
// File positions a sound seek of the library needs at most: it jumps to the nearest entry
// of the stream's seek table and walks packet by packet from there to the target's block.
constexpr int max_seek_steps = 4096;
// Sample frames the decoder holds back at the start of a stream and after a seek.
constexpr std::uint32_t synthesis_delay = MPC_DECODER_SYNTH_DELAY;

MusepackStream& stream_of(mpc_reader* reader) { return *static_cast<MusepackStream*>(reader->data); }
os::File& file_of(mpc_reader* reader) { return stream_of(reader).file; }

// Empty audio packets ("AP", size 3, no payload) one after another.
void fill_with_empty_audio_packets(void* buffer, std::uint32_t size) {
    auto* bytes = static_cast<std::uint8_t*>(buffer);
    for (std::uint32_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>("AP\x03"[i % 3]);
}

mpc_int32_t read_callback(mpc_reader* reader, void* buffer, mpc_int32_t size) {
    if (size <= 0) return 0;
    if (stream_of(reader).walk_cut_short) {
        fill_with_empty_audio_packets(buffer, static_cast<std::uint32_t>(size));
        return size;
    }
    return static_cast<mpc_int32_t>(file_of(reader).read(buffer, static_cast<std::uint32_t>(size)));
}

// A place outside the file is refused: the library would otherwise go on looking for a
// stream there (a damaged length in the header sends it far beyond the end). In a seek
// the library walks packets until it has passed enough audio packets, and it does not stop
// at a refused place; in a damaged file that walk may never end. When the seek's budget of
// places runs out, every place is granted and what is read there are empty audio packets,
// which end the walk within as many steps as the stream has blocks; the seek then counts as
// failed. (A refused place would not do: the library then reads nothing and walks on over
// what its buffer held.)
mpc_bool_t seek_callback(mpc_reader* reader, mpc_int32_t offset) {
    MusepackStream& stream = stream_of(reader);
    if (stream.seek_budget == 0) stream.walk_cut_short = true;
    if (stream.seek_budget > 0) --stream.seek_budget;
    if (stream.walk_cut_short) return MPC_TRUE;
    os::File& file = stream.file;
    if (offset < 0 || static_cast<std::uint32_t>(offset) > file.get_size()) return MPC_FALSE;
    return file.seek(static_cast<std::uint32_t>(offset));
}

mpc_int32_t tell_callback(mpc_reader* reader) { return static_cast<mpc_int32_t>(file_of(reader).get_position()); }

mpc_int32_t size_callback(mpc_reader* reader) { return static_cast<mpc_int32_t>(file_of(reader).get_size()); }

mpc_bool_t canseek_callback(mpc_reader*) { return MPC_TRUE; }

// To the nearest whole number, halves to the even one, as lrint does in the default
// rounding mode, without a library call for each sample: added to 1.5 x 2^23, a float in
// range keeps no fraction, so the sum is rounded as lrint rounds and its low bits are the
// whole number. Clipped by comparisons on the sum (a NaN fails the first one and becomes
// the lowest value), which leaves a frame's loop free of branches.
inline std::int16_t to_16_bits(float sample) {
    constexpr float rounder = 12582912.0f;
    float const low = rounder - 32768.0f;
    float const high = rounder + 32767.0f;
    float const sum = sample * 32768.0f + rounder;
    float const clipped = std::min(std::max(low, sum), high);
    return static_cast<std::int16_t>(std::bit_cast<std::int32_t>(clipped) - std::bit_cast<std::int32_t>(rounder));
}

// Into an array of 16-bit samples: a loop that the compiler vectorises.
void to_16_bits(const MPC_SAMPLE_FORMAT* samples, std::uint32_t count, std::int16_t* out) {
    for (std::uint32_t i = 0; i < count; ++i) out[i] = to_16_bits(samples[i]);
}

}  // namespace

std::int16_t mpc_sample_to_16_bits(float sample) { return to_16_bits(sample); }

DecoderMPC::DecoderMPC(const std::u16string& path) : FrameReader(path), stream_(std::make_unique<MusepackStream>(file_)) {
    if (file_.has_errors()) return;
    stream_->reader = {read_callback, seek_callback, tell_callback, size_callback, canseek_callback, stream_.get()};
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
        to_16_bits(stream_->samples, count, stream_->pcm);
        // Samples in the machine's order, which is the little-endian order of WAV data.
        std::memcpy(bytes.get_writable_data(), stream_->pcm, count * 2);
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
        seek_version_8(frames);
    } else {
        mpc_demux_seek_sample(stream_->demux, frames);
        demux_position_ = frames;
    }
    decoded_ = frames;
}

// In a stream of version 8 the decoder goes on from where it is when the target lies at
// most a block ahead, and starts again from the file's start when the target lies in the
// first block. Elsewhere the library seeks: it jumps to the target's block through the
// stream's seek table and decodes from the block's key frame; if that seek fails its
// checks the stream is decoded again from its start. What was decoded before the seek is
// still handed out first, then the target's frame from the target on.
void DecoderMPC::seek_version_8(std::uint32_t target) {
    PCMData const kept = pending_;
    pending_ = PCMData();
    std::uint64_t const block = block_frames();
    bool const close_ahead = target >= demux_position_ && target - demux_position_ <= block;
    bool const in_first_block = target + stream_->info.beg_silence < block;
    if (!close_ahead && !in_first_block) {
        if (!seek_with_library(target) && !restart()) return;
    } else if (target < demux_position_ && !restart()) {
        return;
    }
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

std::uint64_t DecoderMPC::block_frames() const {
    std::uint32_t const power = std::min<std::uint32_t>(stream_->info.block_pwr, 32);
    return std::uint64_t{MPC_FRAME_LENGTH} << power;
}

// The library's seek, checked: its walk must end within its budget, and the first frame
// decoded after it must begin at the target, which the number of samples it gives shows
// (the decoder drops its delay and the block's frames before the target). On success the
// target's frame is pending. False leaves the decoder in no known place.
bool DecoderMPC::seek_with_library(std::uint32_t target) {
    stream_->seek_budget = max_seek_steps;
    bool const walked = mpc_demux_seek_sample(stream_->demux, target) == MPC_STATUS_OK && !stream_->walk_cut_short;
    stream_->seek_budget = -1;
    stream_->walk_cut_short = false;
    if (!walked) return false;
    demux_position_ = target;
    if (!decode_frame()) return target >= length_;
    std::uint64_t const skipped = synthesis_delay + (target + stream_->info.beg_silence) % block_frames();
    std::uint32_t const expected = MPC_FRAME_LENGTH - static_cast<std::uint32_t>(skipped % MPC_FRAME_LENGTH);
    std::uint32_t const given = demux_position_ - target;
    return given == expected || (given < expected && demux_position_ >= length_);
}

// A new decoder from the start of the file; false (the stream no longer valid) when the
// file cannot be opened again.
bool DecoderMPC::restart() {
    mpc_demux_exit(stream_->demux);
    file_.seek(0);
    stream_->demux = mpc_demux_init(&stream_->reader);
    demux_position_ = 0;
    pending_ = PCMData();
    if (stream_->demux != nullptr) return true;
    stream_->info.channels = 0;
    return false;
}

}  // namespace audio
