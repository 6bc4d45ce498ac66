#include "audio/decoder_vorbis.h"

#include <tremor/ivorbisfile.h>

#include <algorithm>
#include <mutex>

#include "audio/reader_arithmetic.h"

namespace audio {

struct VorbisStream {
    OggVorbis_File file{};
    // Of the whole stream; null when the file was not opened.
    vorbis_info* info = nullptr;
    std::int32_t bit_rate = 0;
};

namespace {

constexpr std::uint32_t max_frames_per_read = 8192;

os::File& file_of(void* source) { return *static_cast<os::File*>(source); }

std::size_t read_callback(void* buffer, std::size_t size, std::size_t count, void* source) {
    if (size == 0) return 0;
    std::size_t const wanted = std::min<std::size_t>(size * count, 0x7FFFFFFF);
    return file_of(source).read(buffer, static_cast<std::uint32_t>(wanted)) / size;
}

int seek_callback(void* source, ogg_int64_t offset, int whence) {
    os::File& file = file_of(source);
    auto const low = static_cast<std::uint32_t>(offset);
    if (whence == 0) file.seek(low);
    if (whence == 1) file.seek(file.get_position() + low);
    if (whence == 2) file.seek(file.get_size() + low);
    return 0;
}

int close_callback(void*) { return 0; }

long tell_callback(void* source) { return static_cast<long>(file_of(source).get_position()); }

// The library's whole-stream bit rate divides by the stream's length in milliseconds (and
// each link's length by its rate), so it is asked only when both are known to be
// non-zero; otherwise the header's nominal rate stands in (0 when there is none).
std::int32_t whole_stream_bit_rate(OggVorbis_File& file, const vorbis_info& first) {
    std::int32_t const nominal = first.bitrate_nominal > 0 ? static_cast<std::int32_t>(first.bitrate_nominal) : 0;
    long const links = ov_streams(&file);
    if (!ov_seekable(&file) || links < 1) return nominal;
    for (long link = 0; link < links; ++link) {
        vorbis_info const* const info = ov_info(&file, static_cast<int>(link));
        if (info == nullptr || info->rate <= 0) return nominal;
    }
    if (ov_time_total(&file, -1) <= 0) return nominal;
    long const rate = ov_bitrate(&file, -1);
    return rate > 0 && rate <= 0x7FFFFFFF ? static_cast<std::int32_t>(rate) : nominal;
}

}  // namespace

DecoderVorbis::DecoderVorbis(const std::u16string& path) : FrameReader(path), stream_(std::make_unique<VorbisStream>()) {
    if (file_.has_errors()) return;
    ov_callbacks const callbacks = {read_callback, seek_callback, close_callback, tell_callback};
    if (ov_open_callbacks(&file_, &stream_->file, nullptr, 0, callbacks) < 0) return;
    stream_->info = ov_info(&stream_->file, -1);
    // A stream without channels or rate cannot be played.
    if (stream_->info == nullptr || stream_->info->channels <= 0 || stream_->info->rate <= 0) {
        ov_clear(&stream_->file);
        stream_->info = nullptr;
        return;
    }
    stream_->bit_rate = whole_stream_bit_rate(stream_->file, *stream_->info);
}

DecoderVorbis::~DecoderVorbis() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    if (stream_->info != nullptr) ov_clear(&stream_->file);
}

PCMData DecoderVorbis::get_data(std::uint32_t frames) {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    vorbis_info const* const info = stream_->info;
    if (info == nullptr) return PCMData();
    auto const channels = static_cast<std::uint32_t>(info->channels);
    frames = std::min(frames, max_frames_per_read);
    liba::SharedBuffer buffer(channels * frames * 2);
    int section = 0;
    long read = 0;
    // A gap in the stream (damaged or missing pages) is reported once; decoding goes on
    // after it.
    do {
        read = ov_read(&stream_->file, reinterpret_cast<char*>(buffer.get_writable_data()),
                       static_cast<int>(buffer.get_size()), &section);
    } while (read == OV_HOLE);
    if (read <= 0) return PCMData();
    return PCMData(liba::SharedBuffer(buffer, 0, static_cast<std::uint32_t>(read)), channels, 16,
                   static_cast<std::uint32_t>(info->rate));
}

bool DecoderVorbis::is_valid() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return stream_->info != nullptr;
}

bool DecoderVorbis::is_at_end() { return !is_valid() || get_position() == get_size(); }

std::uint32_t DecoderVorbis::get_channels() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return stream_->info != nullptr ? static_cast<std::uint32_t>(stream_->info->channels) : 0;
}

std::uint32_t DecoderVorbis::get_sample_rate() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return stream_->info != nullptr ? static_cast<std::uint32_t>(stream_->info->rate) : 0;
}

std::uint32_t DecoderVorbis::get_bit_rate() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    return static_cast<std::uint32_t>(std::max(stream_->bit_rate, 0));
}

std::uint32_t DecoderVorbis::get_size() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    if (stream_->info == nullptr) return 0;
    return clamp_to_u32(static_cast<std::uint64_t>(std::max<ogg_int64_t>(ov_pcm_total(&stream_->file, -1), 0)));
}

std::uint32_t DecoderVorbis::get_position() {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    if (stream_->info == nullptr) return 0;
    return clamp_to_u32(static_cast<std::uint64_t>(std::max<ogg_int64_t>(ov_pcm_tell(&stream_->file), 0)));
}

void DecoderVorbis::set_position(std::uint32_t frames) {
    std::lock_guard<liba::CriticalSection> guard(lock_);
    if (stream_->info != nullptr) ov_pcm_seek(&stream_->file, frames);
}

}  // namespace audio
