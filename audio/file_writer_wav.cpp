#include "audio/file_writer_wav.h"

#include <vector>

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

// The header's bytes gathered in memory, so that the file gets them in one write: a
// recording rewrites its header about once a second.
class HeaderBytes : public liba::StreamWriter {
public:
    std::uint32_t write(const void* buffer, std::uint32_t count) override {
        auto const* const bytes = static_cast<const std::uint8_t*>(buffer);
        bytes_.insert(bytes_.end(), bytes, bytes + count);
        return count;
    }
    std::uint32_t get_size() override { return static_cast<std::uint32_t>(bytes_.size()); }
    bool seek(std::uint32_t) override { return false; }
    std::uint32_t get_position() override { return get_size(); }

    bool write_to(liba::StreamWriter& file) const {
        return put(file, bytes_.data(), static_cast<std::uint32_t>(bytes_.size()));
    }

private:
    std::vector<std::uint8_t> bytes_;
};

}  // namespace

bool write_wav_header(liba::StreamWriter& file, WAVInfo& info) {
    info.riff_size = info.data_start + info.data_size - 8;
    HeaderBytes header;
    return put(header, "RIFF", 4) && put_u32(header, info.riff_size) && put(header, "WAVE", 4) &&
           put(header, "fmt ", 4) && put_u32(header, info.fmt_size) && put_u16(header, info.format_tag) &&
           put_u16(header, info.channels) && put_u32(header, info.sample_rate) && put_u32(header, info.byte_rate) &&
           put_u16(header, info.block_align) && put_u16(header, info.bits_per_sample) &&
           info.write_extension(header) && put(header, "data", 4) && put_u32(header, info.data_size) &&
           header.write_to(file);
}

}  // namespace audio
