#include "tools/skin_compiler/stored_zip.h"

#include <array>
#include <cctype>

namespace skin_compiler {
namespace {

std::uint32_t crc32(const std::vector<std::uint8_t>& data) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::uint8_t byte : data) crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

class ZipBytes {
public:
    void u16(std::uint32_t value) {
        bytes.push_back(static_cast<std::uint8_t>(value));
        bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    }
    void u32(std::uint32_t value) {
        u16(value & 0xFFFF);
        u16(value >> 16);
    }
    void append(const std::string& text) { bytes.insert(bytes.end(), text.begin(), text.end()); }
    void append(const std::vector<std::uint8_t>& data) { bytes.insert(bytes.end(), data.begin(), data.end()); }
    std::uint32_t size() const { return static_cast<std::uint32_t>(bytes.size()); }

    std::vector<std::uint8_t> bytes;
};

constexpr std::uint32_t dos_date = (0 << 9) | (1 << 5) | 1;  // 1980-01-01

// The fields that the local header and the central directory share, from the version
// needed to the extra field's length.
void common_fields(ZipBytes& out, const std::string& name, std::uint32_t crc, std::uint32_t size) {
    out.u16(10);  // version needed
    out.u16(0);   // flags
    out.u16(0);   // stored
    out.u16(0);   // time
    out.u16(dos_date);
    out.u32(crc);
    out.u32(size);
    out.u32(size);
    out.u16(static_cast<std::uint32_t>(name.size()));
    out.u16(0);  // extra field
}

}  // namespace

std::vector<std::uint8_t> make_stored_zip(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries) {
    ZipBytes out;
    std::vector<std::uint32_t> offsets;
    for (auto const& [name, data] : entries) {
        offsets.push_back(out.size());
        out.u32(0x04034B50);
        common_fields(out, name, crc32(data), static_cast<std::uint32_t>(data.size()));
        out.append(name);
        out.append(data);
    }
    std::uint32_t directory = out.size();
    for (std::size_t index = 0; index < entries.size(); ++index) {
        auto const& [name, data] = entries[index];
        out.u32(0x02014B50);
        out.u16(20);  // made by
        common_fields(out, name, crc32(data), static_cast<std::uint32_t>(data.size()));
        out.u16(0);  // comment
        out.u16(0);  // disk
        out.u16(0);  // internal attributes
        out.u32(0);  // external attributes
        out.u32(offsets[index]);
        out.append(name);
    }
    std::uint32_t directory_size = out.size() - directory;
    out.u32(0x06054B50);
    out.u16(0);
    out.u16(0);
    out.u16(static_cast<std::uint32_t>(entries.size()));
    out.u16(static_cast<std::uint32_t>(entries.size()));
    out.u32(directory_size);
    out.u32(directory);
    out.u16(0);
    return std::move(out.bytes);
}

}  // namespace skin_compiler

namespace skin_compiler {
namespace {

std::uint32_t little(const std::vector<std::uint8_t>& b, std::size_t at, int count) {
    std::uint32_t value = 0;
    for (int index = count - 1; index >= 0; --index) value = value << 8 | b[at + index];
    return value;
}

bool names_skin(std::string name) {
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name.size() > 5 && name.compare(name.size() - 5, 5, ".skin") == 0;
}

}  // namespace

std::vector<std::uint8_t> skin_image_of_file(const std::vector<std::uint8_t>& bytes) {
    std::size_t at = 0;
    while (at + 30 <= bytes.size() && little(bytes, at, 4) == 0x04034B50) {
        std::uint32_t method = little(bytes, at + 8, 2);
        std::uint32_t compressed = little(bytes, at + 18, 4);
        std::uint32_t size = little(bytes, at + 22, 4);
        std::size_t name_length = little(bytes, at + 26, 2);
        std::size_t data = at + 30 + name_length + little(bytes, at + 28, 2);
        if (method != 0 || compressed != size || data + size > bytes.size()) break;
        std::string name(bytes.begin() + static_cast<std::ptrdiff_t>(at + 30),
                         bytes.begin() + static_cast<std::ptrdiff_t>(at + 30 + name_length));
        if (names_skin(name)) {
            return {bytes.begin() + static_cast<std::ptrdiff_t>(data), bytes.begin() + static_cast<std::ptrdiff_t>(data + size)};
        }
        at = data + size;
    }
    return bytes;
}

}  // namespace skin_compiler
