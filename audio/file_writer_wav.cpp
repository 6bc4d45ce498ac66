#include "audio/file_writer_wav.h"

namespace audio {

namespace {

bool put(liba::StreamWriter& file, const void* bytes, std::uint32_t count) {
    return file.write(bytes, count) == count;
}

bool put_u16(liba::StreamWriter& file, std::uint32_t value) {
    std::uint8_t const bytes[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
    return put(file, bytes, 2);
}

bool put_u32(liba::StreamWriter& file, std::uint32_t value) {
    std::uint8_t const bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return put(file, bytes, 4);
}

}  // namespace

bool write_wav_header(liba::StreamWriter& file, WAVInfo& info) {
    info.riff_size = info.data_start + info.data_size - 8;
    return put(file, "RIFF", 4) && put_u32(file, info.riff_size) && put(file, "WAVE", 4) && put(file, "fmt ", 4) &&
           put_u32(file, info.fmt_size) && put_u16(file, info.format_tag) && put_u16(file, info.channels) &&
           put_u32(file, info.sample_rate) && put_u32(file, info.byte_rate) && put_u16(file, info.block_align) &&
           put_u16(file, info.bits_per_sample) && info.write_extension(file) && put(file, "data", 4) &&
           put_u32(file, info.data_size);
}

}  // namespace audio
