// Read access to the fields of a skin image held in memory (layout in skin_format.h).
#pragma once

#include <cstdint>
#include <string>

#include "skin/geometry.h"
#include "skin/skin_format.h"

namespace skinner {

// One record array of a node: its first byte and its number of records.
struct RecordArray {
    std::uint32_t begin = 0;
    std::uint32_t count = 0;
};

// A view over image bytes that it does not own. The field readers trust their offsets: use
// them on an image that SkinValidator accepted, or after checking with fits().
class SkinImage {
public:
    SkinImage() = default;
    SkinImage(const std::uint8_t* data, std::uint32_t size) : data_(data), size_(size) {}

    std::uint32_t size() const { return size_; }
    const std::uint8_t* data() const { return data_; }
    // Whether count bytes from the offset lie inside the image.
    bool fits(std::uint64_t offset, std::uint64_t count) const { return offset <= size_ && count <= size_ - offset; }

    std::uint8_t u8(std::uint32_t offset) const { return data_[offset]; }
    std::uint16_t u16(std::uint32_t offset) const;
    std::int16_t i16(std::uint32_t offset) const { return static_cast<std::int16_t>(u16(offset)); }
    std::uint32_t u32(std::uint32_t offset) const;
    std::int32_t i32(std::uint32_t offset) const { return static_cast<std::int32_t>(u32(offset)); }

    // The zero-terminated text at the offset.
    std::u16string text(std::uint32_t offset) const;
    // The number of code units of the text at the offset before its terminator; -1 when no
    // terminator lies inside the image.
    std::int64_t text_length(std::uint32_t offset) const;
    // Ordinal comparison of the name with the text at the offset: negative when the name
    // sorts first (a prefix sorts before the longer text), 0 when equal.
    int compare_text(const std::u16string& name, std::uint32_t offset) const;

    // Header fields.
    std::u16string compatibility_name() const { return text(format::compatibility_name_offset); }
    std::u16string device_letters() const { return text(format::device_letters_offset); }
    std::uint32_t form_root() const { return u32(format::form_tree_offset); }
    std::uint32_t kind_root() const { return u32(format::kind_tree_offset); }
    std::uint32_t picture_count() const { return u32(format::picture_count_offset); }
    std::uint32_t font_count() const { return u32(format::font_count_offset); }
    std::uint32_t name_pool() const { return u32(format::name_pool_offset); }
    Size screen_entry(std::uint32_t index) const;

    // Node fields.
    std::uint32_t left(std::uint32_t node) const { return u32(node + format::node_left); }
    std::uint32_t right(std::uint32_t node) const { return u32(node + format::node_right); }
    std::uint32_t name_offset(std::uint32_t node) const { return u32(node + format::node_name); }
    std::u16string name(std::uint32_t node) const { return text(name_offset(node)); }
    std::uint32_t child_tree(std::uint32_t node) const { return u32(node + format::node_child_tree); }
    std::uint32_t auto_count(std::uint32_t node) const { return u32(node + format::node_auto_count); }
    // The text offsets of the index-th automatic control: its name and its kind.
    std::uint32_t auto_name(std::uint32_t node, std::uint32_t index) const;
    std::uint32_t auto_kind(std::uint32_t node, std::uint32_t index) const;
    RecordArray records(std::uint32_t node, format::RecordType type) const;
    // The offset of the index-th record's name text.
    std::uint32_t record_name(RecordArray array, format::RecordType type, std::uint32_t index) const {
        return u16(record(array, type, index));
    }
    std::uint32_t record(RecordArray array, format::RecordType type, std::uint32_t index) const {
        return array.begin + index * format::record_size(type);
    }

private:
    const std::uint8_t* data_ = nullptr;
    std::uint32_t size_ = 0;
};

}  // namespace skinner
