// The binary layout of a skin image, shared by the reader and the skin compiler.
//
// All integers are little-endian; every offset counts bytes from the image's first byte and
// 0 means none. Texts are UTF-16LE, zero-terminated.
#pragma once

#include <cstddef>
#include <cstdint>

namespace skinner::format {

// Header, at offset 0.
constexpr std::uint32_t magic_offset = 0;
constexpr char16_t magic[4] = {u'\u0421', u'\u043A', u'\u0438', u'\u043D'};
constexpr std::uint32_t compatibility_name_offset = 8;
constexpr std::uint32_t form_tree_offset = 72;
constexpr std::uint32_t kind_tree_offset = 76;
constexpr std::uint32_t picture_count_offset = 80;
constexpr std::uint32_t font_count_offset = 84;
constexpr std::uint32_t name_pool_offset = 88;
constexpr std::uint32_t screen_table_offset = 92;
constexpr std::uint32_t device_letters_offset = 476;
constexpr std::uint32_t header_size = 540;

constexpr std::uint32_t header_text_units = 32;
constexpr std::uint32_t screen_entry_count = 32;
constexpr std::uint32_t screen_entry_size = 12;

// Node: children, name, six record arrays (begin, end), child tree; form nodes go on with
// the count of automatic controls and that many pairs of 16-bit text offsets.
constexpr std::uint32_t node_left = 0;
constexpr std::uint32_t node_right = 4;
constexpr std::uint32_t node_name = 8;
constexpr std::uint32_t node_arrays = 12;
constexpr std::uint32_t node_child_tree = 60;
constexpr std::uint32_t node_auto_count = 64;
constexpr std::uint32_t node_auto_pairs = 68;
constexpr std::uint32_t node_size = 64;       // a control or kind node
constexpr std::uint32_t form_node_size = 68;  // a form node without automatic controls
constexpr std::uint32_t auto_pair_size = 4;

// The six record arrays of a node, in the order of their begin/end pairs.
enum class RecordType { integer, point, string, picture, color, font };
constexpr int record_type_count = 6;

constexpr std::uint32_t array_begin(RecordType type) { return node_arrays + 8 * static_cast<std::uint32_t>(type); }
constexpr std::uint32_t array_end(RecordType type) { return array_begin(type) + 4; }

struct IntegerNode {
    static constexpr std::uint32_t Size = 8;  // u16 name, 2 unread bytes, i32 value
};
struct PointNode {
    static constexpr std::uint32_t Size = 6;  // u16 name, i16 x, i16 y
};
struct StringNode {
    static constexpr std::uint32_t Size = 4;  // u16 name, u16 value text
};
struct PictureNode {
    static constexpr std::uint32_t Size = 20;  // u16 name, 8 u16 coordinates, u8 picture, u8 stretch
};
struct ColorNode {
    static constexpr std::uint32_t Size = 6;  // u16 name, 4 colour bytes (red first)
};
struct FontNode {
    static constexpr std::uint32_t Size = 8;  // u16 name, 2 unread bytes, u32 font index
};

constexpr std::uint32_t record_size(RecordType type) {
    switch (type) {
    case RecordType::integer: return IntegerNode::Size;
    case RecordType::point: return PointNode::Size;
    case RecordType::string: return StringNode::Size;
    case RecordType::picture: return PictureNode::Size;
    case RecordType::color: return ColorNode::Size;
    case RecordType::font: return FontNode::Size;
    }
    return 0;
}

// Texts named by 16-bit offsets (record names, string values, automatic controls) begin in
// the image's first 65,536 bytes.
constexpr std::uint32_t short_offset_limit = 0x10000;

}  // namespace skinner::format
