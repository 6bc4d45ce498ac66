#include "tools/wav_file.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

namespace tools {

namespace {

constexpr std::size_t header_size = 44;
constexpr std::uint16_t tag_pcm = 1;
constexpr std::uint16_t tag_extensible = 0xFFFE;

void put_le(std::string& out, std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) out += static_cast<char>(value >> (8 * i) & 0xFF);
}

std::uint32_t le(const std::vector<std::uint8_t>& bytes, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

std::string header_for(std::uint32_t channels, std::uint32_t bits, std::uint32_t rate, std::uint32_t data_size) {
    std::uint32_t const block_align = channels * ((bits + 7) / 8);
    std::string header = "RIFF";
    put_le(header, static_cast<std::uint32_t>(header_size - 8) + data_size + (data_size & 1), 4);
    header += "WAVEfmt ";
    put_le(header, 16, 4);
    put_le(header, tag_pcm, 2);
    put_le(header, channels, 2);
    put_le(header, rate, 4);
    put_le(header, rate * block_align, 4);
    put_le(header, block_align, 2);
    put_le(header, bits, 2);
    header += "data";
    put_le(header, data_size, 4);
    return header;
}

std::string hex4(std::uint32_t value) {
    char text[8];
    std::snprintf(text, sizeof text, "%04X", value & 0xFFFF);
    return text;
}

}  // namespace

WavFileWriter::WavFileWriter(const std::string& path, std::uint32_t channels, std::uint32_t bits, std::uint32_t rate)
    : file_(path, std::ios::binary | std::ios::trunc), channels_(channels), bits_(bits), rate_(rate) {
    std::string const header = header_for(channels, bits, rate, 0);
    file_.write(header.data(), static_cast<std::streamsize>(header.size()));
}

void WavFileWriter::write(const std::uint8_t* bytes, std::uint64_t count) {
    file_.write(reinterpret_cast<const char*>(bytes), static_cast<std::streamsize>(count));
    data_size_ += count;
}

bool WavFileWriter::finish() {
    if (!file_.is_open()) return false;
    if (data_size_ & 1) file_.put('\0');
    auto const size = static_cast<std::uint32_t>(std::min<std::uint64_t>(data_size_, 0xFFFFFFFFu - header_size));
    std::string const header = header_for(channels_, bits_, rate_, size);
    file_.seekp(0);
    file_.write(header.data(), static_cast<std::streamsize>(header.size()));
    file_.close();
    return !file_.fail();
}

std::string why_wav_is_not_playable(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::vector<std::uint8_t> bytes(4096);
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0)
        return "not a WAV file";
    for (std::size_t at = 12; at + 8 <= bytes.size();) {
        std::uint32_t const size = le(bytes, at + 4, 4);
        if (std::memcmp(bytes.data() + at, "fmt ", 4) == 0) {
            if (size < 16 || at + 8 + 16 > bytes.size()) return "its format chunk is cut short";
            std::size_t const body = at + 8;
            std::uint32_t const tag = le(bytes, body, 2);
            std::uint32_t const bits = le(bytes, body + 14, 2);
            std::string const kind = tag == tag_extensible ? "WAVE_FORMAT_EXTENSIBLE" : "format tag 0x" + hex4(tag);
            // The sub-format of an extensible file starts with the format tag it stands for.
            bool const extensible_pcm =
                tag == tag_extensible && size >= 40 && body + 26 <= bytes.size() && le(bytes, body + 24, 2) == tag_pcm;
            std::string const content = tag == tag_pcm || extensible_pcm ? std::to_string(bits) + "-bit PCM" : "";
            if (tag == tag_pcm)
                return "holds " + content + " in a header the player does not accept (it plays 8 or 16 bits, 1 or 2 "
                                            "channels, with a data chunk)";
            return kind + (content.empty() ? "" : " holding " + content) +
                   " is not supported: the player takes plain PCM WAV (format tag 1) of 8 or 16 bits; "
                   "convert it, e.g. sox IN.wav -b 16 OUT.wav";
        }
        at += 8 + size + (size & 1);
    }
    return "a WAV file without a format chunk";
}

}  // namespace tools
