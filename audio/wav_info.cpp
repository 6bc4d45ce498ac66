#include "audio/wav_info.h"

#include <algorithm>
#include <cstring>

namespace audio {

namespace {

bool read_exact(liba::StreamReader& file, void* target, std::uint32_t count) {
    return file.read(target, count) == count;
}

bool read_u16(liba::StreamReader& file, std::uint16_t& value) {
    std::uint8_t bytes[2];
    if (!read_exact(file, bytes, 2)) return false;
    value = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
    return true;
}

bool read_u16(liba::StreamReader& file, std::uint32_t& value) {
    std::uint16_t narrow = 0;
    if (!read_u16(file, narrow)) return false;
    value = narrow;
    return true;
}

bool read_i16(liba::StreamReader& file, std::int32_t& value) {
    std::uint16_t bits = 0;
    if (!read_u16(file, bits)) return false;
    value = static_cast<std::int16_t>(bits);
    return true;
}

bool read_u32(liba::StreamReader& file, std::uint32_t& value) {
    std::uint8_t bytes[4];
    if (!read_exact(file, bytes, 4)) return false;
    value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    return true;
}

bool read_id(liba::StreamReader& file, const char* id) {
    char bytes[4];
    return read_exact(file, bytes, 4) && std::memcmp(bytes, id, 4) == 0;
}

bool write_exact(liba::StreamWriter& file, const void* source, std::uint32_t count) {
    return file.write(source, count) == count;
}

bool write_u16(liba::StreamWriter& file, std::uint32_t value) {
    std::uint8_t const bytes[2] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8)};
    return write_exact(file, bytes, 2);
}

bool write_u32(liba::StreamWriter& file, std::uint32_t value) {
    std::uint8_t const bytes[4] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                   static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
    return write_exact(file, bytes, 4);
}

bool seek_to(liba::StreamReader& file, std::uint64_t position) {
    return position <= 0xFFFFFFFFu && file.seek(static_cast<std::uint32_t>(position));
}

// The sample count of the "fact" chunk, searched from the end of the fmt chunk.
bool read_fact(liba::StreamReader& file, const WAVInfo& info, std::uint32_t& sample_count) {
    std::uint32_t size = 0;
    return seek_to(file, info.get_fmt_end()) && find_wav_chunk(file, "fact", size) && size >= 4 &&
           read_u32(file, sample_count);
}

bool write_fact(liba::StreamWriter& file, std::uint32_t sample_count) {
    return write_exact(file, "fact", 4) && write_u32(file, 4) && write_u32(file, sample_count);
}

// The fields common to every kind, from offset 0 to 36.
bool read_common_fields(liba::StreamReader& file, WAVInfo& info) {
    return read_id(file, "RIFF") && read_u32(file, info.riff_size) && read_id(file, "WAVE") &&
           read_id(file, "fmt ") && read_u32(file, info.fmt_size) && read_u16(file, info.format_tag) &&
           read_u16(file, info.channels) && read_u32(file, info.sample_rate) && read_u32(file, info.byte_rate) &&
           read_u16(file, info.block_align) && read_u16(file, info.bits_per_sample);
}

// A header that would make a frame, a block or a second of sound zero long.
bool is_degenerate(const WAVInfo& info) {
    return info.fmt_size < 16 || info.channels == 0 || info.sample_rate == 0 || info.block_align == 0;
}

}  // namespace

bool find_wav_chunk(liba::StreamReader& file, const char* id, std::uint32_t& size) {
    for (;;) {
        char found[4];
        std::uint32_t chunk_size = 0;
        if (!read_exact(file, found, 4) || !read_u32(file, chunk_size)) return false;
        if (std::memcmp(found, id, 4) == 0) {
            size = chunk_size;
            return true;
        }
        std::uint64_t const next = std::uint64_t{file.get_position()} + chunk_size + (chunk_size & 1);
        if (next > file.get_size() || !seek_to(file, next)) return false;
    }
}

bool read_wav_header(liba::StreamReader& file, WAVInfo& info) {
    if (file.has_errors() || !file.seek(0)) return false;
    if (!read_common_fields(file, info) || is_degenerate(info)) return false;
    if (!info.read_extension(file)) return false;
    std::uint32_t size = 0;
    if (!seek_to(file, info.get_fmt_end()) || !find_wav_chunk(file, "data", size)) return false;
    info.data_start = file.get_position();
    std::uint32_t const in_file = file.get_size() - info.data_start;
    bool const recovered = size == 0 || size > in_file;
    info.data_size = recovered ? in_file : size;
    info.fit_to_data(recovered);
    return true;
}

void WAVInfo::fit_to_data(bool recovered) {
    static_cast<void>(recovered);
    if (block_align != 0) data_size -= data_size % block_align;
}

namespace {

// The sample count of a block-coded kind: what the data holds when the header was stale,
// else the smaller of the count and what the data holds.
std::uint32_t fit_sample_count(std::uint32_t count, const WAVInfo& info, std::uint32_t samples_per_block,
                               bool recovered) {
    std::uint64_t const held = std::uint64_t{info.data_size / info.block_align} * samples_per_block;
    std::uint32_t const capped = static_cast<std::uint32_t>(std::min<std::uint64_t>(held, 0xFFFFFFFFu));
    return recovered ? capped : std::min(count, capped);
}

}  // namespace

bool WAVInfo::read_extension(liba::StreamReader& file) {
    static_cast<void>(file);
    return true;
}

bool WAVInfo::write_extension(liba::StreamWriter& file) {
    static_cast<void>(file);
    return true;
}

bool WAVInfoPCM::read_extension(liba::StreamReader& file) {
    static_cast<void>(file);
    std::uint32_t const frame_bytes = (bits_per_sample + 7) / 8 * channels;
    return format_tag == 1 && bits_per_sample != 0 && block_align == frame_bytes;
}

bool WAVInfoPCM::write_extension(liba::StreamWriter& file) {
    static_cast<void>(file);
    return true;
}



bool WAVInfoADPCM::read_extension(liba::StreamReader& file) {
    std::uint32_t extension_size = 0;
    if (fmt_size < 22 || !read_u16(file, extension_size) || !read_u16(file, samples_per_block) ||
        !read_u16(file, coefficient_count))
        return false;
    if (22 + 4 * std::uint64_t{coefficient_count} > fmt_size) return false;
    coefficients.assign(coefficient_count, {0, 0});
    for (auto& [first, second] : coefficients) {
        if (!read_i16(file, first) || !read_i16(file, second)) return false;
    }
    if (!read_fact(file, *this, fact_sample_count)) return false;
    bool const mono_or_stereo = channels == 1 || channels == 2;
    return format_tag == 2 && mono_or_stereo && bits_per_sample == 4 && coefficient_count == 7 &&
           block_align >= 7 * channels + 1 && samples_per_block != 0;
}

bool WAVInfoADPCM::write_extension(liba::StreamWriter& file) {
    if (!write_u16(file, (coefficient_count + 1) * 4) || !write_u16(file, samples_per_block) ||
        !write_u16(file, coefficient_count))
        return false;
    for (auto const& [first, second] : coefficients) {
        if (!write_u16(file, static_cast<std::uint16_t>(first)) || !write_u16(file, static_cast<std::uint16_t>(second)))
            return false;
    }
    return write_fact(file, fact_sample_count);
}

void WAVInfoADPCM::fit_to_data(bool recovered) {
    WAVInfo::fit_to_data(recovered);
    fact_sample_count = fit_sample_count(fact_sample_count, *this, samples_per_block, recovered);
}

bool WAVInfoGSM::read_extension(liba::StreamReader& file) {
    std::uint32_t extension_size = 0;
    if (fmt_size < 20 || !read_u16(file, extension_size) || !read_u16(file, samples_per_block)) return false;
    if (!read_fact(file, *this, fact_sample_count)) return false;
    return format_tag == 49 && channels == 1 && sample_rate == 8000 && samples_per_block == 320 &&
           block_align == 65;
}

bool WAVInfoGSM::write_extension(liba::StreamWriter& file) {
    return write_u16(file, 2) && write_u16(file, samples_per_block) && write_fact(file, fact_sample_count);
}

void WAVInfoGSM::fit_to_data(bool recovered) {
    WAVInfo::fit_to_data(recovered);
    fact_sample_count = fit_sample_count(fact_sample_count, *this, samples_per_block, recovered);
}

}  // namespace audio
