#include "skin/skin_image.h"

namespace skinner {

std::uint16_t SkinImage::u16(std::uint32_t offset) const {
    return static_cast<std::uint16_t>(data_[offset] | data_[offset + 1] << 8);
}

std::uint32_t SkinImage::u32(std::uint32_t offset) const {
    return static_cast<std::uint32_t>(data_[offset]) | static_cast<std::uint32_t>(data_[offset + 1]) << 8 |
           static_cast<std::uint32_t>(data_[offset + 2]) << 16 | static_cast<std::uint32_t>(data_[offset + 3]) << 24;
}

std::int64_t SkinImage::text_length(std::uint32_t offset) const {
    for (std::uint64_t at = offset; at + 2 <= size_; at += 2) {
        if (data_[at] == 0 && data_[at + 1] == 0) return static_cast<std::int64_t>((at - offset) / 2);
    }
    return -1;
}

std::u16string SkinImage::text(std::uint32_t offset) const {
    std::u16string result;
    for (std::uint64_t at = offset; at + 2 <= size_; at += 2) {
        char16_t unit = u16(static_cast<std::uint32_t>(at));
        if (unit == 0) break;
        result.push_back(unit);
    }
    return result;
}

int SkinImage::compare_text(const std::u16string& name, std::uint32_t offset) const {
    std::uint64_t at = offset;
    for (char16_t unit : name) {
        char16_t other = at + 2 <= size_ ? u16(static_cast<std::uint32_t>(at)) : 0;
        if (unit != other) return unit < other ? -1 : 1;
        at += 2;
    }
    bool text_ends = at + 2 > size_ || u16(static_cast<std::uint32_t>(at)) == 0;
    return text_ends ? 0 : -1;
}

Size SkinImage::screen_entry(std::uint32_t index) const {
    std::uint32_t entry = format::screen_table_offset + index * format::screen_entry_size;
    return {i32(entry), i32(entry + 4)};
}

std::uint32_t SkinImage::auto_name(std::uint32_t node, std::uint32_t index) const {
    return u16(node + format::node_auto_pairs + index * format::auto_pair_size);
}

std::uint32_t SkinImage::auto_kind(std::uint32_t node, std::uint32_t index) const {
    return u16(node + format::node_auto_pairs + index * format::auto_pair_size + 2);
}

RecordArray SkinImage::records(std::uint32_t node, format::RecordType type) const {
    std::uint32_t begin = u32(node + format::array_begin(type));
    std::uint32_t end = u32(node + format::array_end(type));
    if (end <= begin) return {begin, 0};
    return {begin, (end - begin) / format::record_size(type)};
}

}  // namespace skinner
