#include "tests/support/zip_writer.h"

#include <algorithm>
#include <cstdint>

namespace testing_support {
namespace {

std::uint32_t crc32(const std::string& data) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char const byte : data) {
        crc ^= byte;
        for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put16(std::string& out, std::uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void put32(std::string& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

// A deflate stream made of stored blocks: valid, and larger than the data.
std::string deflate_stored(const std::string& data) {
    std::string out;
    std::size_t at = 0;
    do {
        std::size_t const length = std::min<std::size_t>(data.size() - at, 0xFFFF);
        bool const last = at + length == data.size();
        out += static_cast<char>(last ? 1 : 0);
        put16(out, static_cast<std::uint32_t>(length));
        put16(out, static_cast<std::uint32_t>(~length & 0xFFFF));
        out.append(data, at, length);
        at += length;
    } while (at < data.size());
    return out;
}

struct Written {
    std::uint32_t offset;
    std::uint32_t crc;
    std::uint32_t compressed_size;
};

// The fields from "version needed" to the lengths, shared by both header kinds.
void put_common_fields(std::string& out, const ZipEntry& entry, const Written& written) {
    put16(out, 20);                        // version needed
    put16(out, 0);                         // flags
    put16(out, entry.deflated ? 8 : 0);    // method
    put16(out, 0);                         // time
    put16(out, 0x21);                      // date: 1980-01-01
    put32(out, written.crc);
    put32(out, written.compressed_size);
    put32(out, static_cast<std::uint32_t>(entry.data.size()));
    put16(out, static_cast<std::uint32_t>(entry.name.size()));
    put16(out, static_cast<std::uint32_t>(entry.extra.size()));
}

}  // namespace

std::string make_zip(const std::vector<ZipEntry>& entries) {
    std::string out;
    std::vector<Written> written;
    for (ZipEntry const& entry : entries) {
        std::string const body = entry.deflated ? deflate_stored(entry.data) : entry.data;
        Written const w{static_cast<std::uint32_t>(out.size()), crc32(entry.data),
                        static_cast<std::uint32_t>(body.size())};
        put32(out, 0x04034B50);
        put_common_fields(out, entry, w);
        out += entry.name + entry.extra + body;
        written.push_back(w);
    }
    std::uint32_t const directory_offset = static_cast<std::uint32_t>(out.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        put32(out, 0x02014B50);
        put16(out, 20);  // version made by
        put_common_fields(out, entries[i], written[i]);
        put16(out, 0);   // comment length
        put16(out, 0);   // disk number
        put16(out, 0);   // internal attributes
        put32(out, 0);   // external attributes
        put32(out, written[i].offset);
        out += entries[i].name + entries[i].extra;
    }
    std::uint32_t const directory_size = static_cast<std::uint32_t>(out.size()) - directory_offset;
    put32(out, 0x06054B50);
    put16(out, 0);
    put16(out, 0);
    put16(out, static_cast<std::uint32_t>(entries.size()));
    put16(out, static_cast<std::uint32_t>(entries.size()));
    put32(out, directory_size);
    put32(out, directory_offset);
    put16(out, 0);
    return out;
}

}  // namespace testing_support
