#include "foundation/zip_file.h"

#include <algorithm>

#include "foundation/paths.h"
#include "foundation/text_convert.h"

namespace liba {
namespace {

constexpr std::uint32_t local_header_signature = 0x04034B50;
// Version needed, flags, method, time, date and CRC-32: not used.
constexpr std::int32_t unused_header_bytes = 14;

std::uint32_t little_endian(const unsigned char* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = (value << 8) | bytes[i];
    return value;
}

bool read_exactly(os::File& file, void* buffer, std::uint32_t count) {
    return count == 0 || file.read(buffer, count) == count;
}

bool skip_exactly(os::File& file, std::int32_t count) {
    return count == 0 || file.skip(count) == static_cast<std::uint32_t>(count);
}

}  // namespace

ZipFile::ZipFile(const std::u16string& path) : archive_(path, 0) {}

ZipFile::~ZipFile() = default;

bool ZipFile::open_entry(const std::u16string& name) {
    next_header_offset_ = 0;
    for (;;) {
        std::u16string const entry = next_entry();
        if (entry.empty()) return false;
        if (os::paths_equal(entry, name)) return true;
    }
}

std::u16string ZipFile::next_entry() {
    if (!archive_.seek(next_header_offset_)) return std::u16string();
    unsigned char signature[4];
    if (!read_exactly(archive_, signature, 4) || little_endian(signature, 4) != local_header_signature) {
        return std::u16string();
    }
    unsigned char fields[12];
    if (!skip_exactly(archive_, unused_header_bytes) || !read_exactly(archive_, fields, sizeof fields)) {
        return std::u16string();
    }
    std::uint32_t const compressed_size = little_endian(fields, 4);
    std::uint32_t const size = little_endian(fields + 4, 4);
    std::uint32_t const name_length = little_endian(fields + 8, 2);
    std::uint32_t const extra_length = little_endian(fields + 10, 2);

    std::string name(name_length, '\0');
    if (!read_exactly(archive_, name.data(), name_length)) return std::u16string();
    if (!skip_exactly(archive_, static_cast<std::int32_t>(extra_length))) return std::u16string();
    if (compressed_size != size) return std::u16string();

    // The sizes come from the file: data said to run past its end mean a damaged archive.
    std::uint64_t const data_offset = archive_.get_position();
    if (data_offset + size > archive_.get_size()) return std::u16string();

    entry_offset_ = static_cast<std::uint32_t>(data_offset);
    entry_size_ = size;
    position_ = 0;
    next_header_offset_ = entry_offset_ + size;
    return to_wstring(name.c_str());
}

std::uint32_t ZipFile::read(void* buffer, std::uint32_t count) {
    std::uint32_t const wanted = std::min(count, remaining());
    if (wanted == 0 || !archive_.seek(entry_offset_ + position_)) return 0;
    std::uint32_t const done = archive_.read(buffer, wanted);
    position_ += done;
    return done;
}

std::uint32_t ZipFile::skip(std::int32_t count) {
    if (count >= 0) {
        std::uint32_t const moved = std::min(static_cast<std::uint32_t>(count), remaining());
        position_ += moved;
        return moved;
    }
    std::uint32_t const back = std::min(0u - static_cast<std::uint32_t>(count), position_);
    position_ -= back;
    return 0u - back;
}

std::uint32_t ZipFile::get_size() { return entry_size_; }

bool ZipFile::seek(std::uint32_t position) {
    position_ = position;
    std::uint64_t const offset = std::uint64_t{entry_offset_} + position;
    return offset <= 0xFFFFFFFFu && archive_.seek(static_cast<std::uint32_t>(offset));
}

std::uint32_t ZipFile::get_position() { return position_; }

std::uint32_t ZipFile::write(const void*, std::uint32_t) { return 0; }

}  // namespace liba
