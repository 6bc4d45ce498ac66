#include "audio/frame_reader.h"

#include "audio/push_pieces.h"
#include "audio/reader_arithmetic.h"

namespace audio {

FrameReader::FrameReader(const std::u16string& path) : file_(path, 0) {}

std::uint32_t FrameReader::time_to_bytes(double seconds) { return whole_units(get_sample_rate() * seconds); }

double FrameReader::bytes_to_time(std::uint32_t frames) {
    std::uint32_t const rate = get_sample_rate();
    return rate == 0 ? 0.0 : static_cast<double>(frames) / rate;
}

bool FrameReader::read_duration(double seconds) { return read_block(whole_units(get_sample_rate() * seconds)); }

bool FrameReader::read_block(std::uint32_t frames) {
    if (!is_valid()) return false;
    return push_frames(*this, frames, frames);
}

}  // namespace audio
