#include "skin/bitmap_file.h"

namespace skinner {

namespace {

constexpr std::size_t file_header_size = 14;
constexpr std::size_t info_header_size = 40;
constexpr std::int64_t largest_side = 16384;

std::uint32_t le32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16 | std::uint32_t(p[3]) << 24;
}

std::uint16_t le16(const std::uint8_t* p) { return std::uint16_t(p[0] | p[1] << 8); }

struct BitmapLayout {
    std::int64_t width;
    std::int64_t height;
    bool top_down;
    int bits;
    std::size_t table_offset;
    std::size_t table_entries;
    std::size_t pixel_offset;
    std::size_t stride;
};

std::optional<BitmapLayout> read_layout(const std::vector<std::uint8_t>& bytes) {
    if (bytes.size() < file_header_size + info_header_size || bytes[0] != 'B' || bytes[1] != 'M') return std::nullopt;
    const std::uint8_t* info = bytes.data() + file_header_size;
    std::uint32_t info_size = le32(info);
    BitmapLayout layout{};
    layout.width = std::int32_t(le32(info + 4));
    std::int64_t height = std::int32_t(le32(info + 8));
    layout.top_down = height < 0;
    layout.height = height < 0 ? -height : height;
    layout.bits = le16(info + 14);
    std::uint32_t compression = le32(info + 16), colours_used = le32(info + 32);
    if (info_size < info_header_size || le16(info + 12) != 1 || compression != 0) return std::nullopt;
    if (layout.width <= 0 || layout.height <= 0 || layout.width > largest_side || layout.height > largest_side)
        return std::nullopt;
    switch (layout.bits) {
    case 1: case 4: case 8: case 16: case 24: case 32: break;
    default: return std::nullopt;
    }
    layout.table_offset = file_header_size + std::size_t(info_size);
    if (layout.bits <= 8) {
        std::size_t most = std::size_t{1} << layout.bits;
        layout.table_entries = colours_used == 0 || colours_used > most ? most : colours_used;
    }
    layout.pixel_offset = le32(bytes.data() + 10);
    layout.stride = std::size_t((layout.width * layout.bits + 31) / 32 * 4);
    std::uint64_t table_end = std::uint64_t(layout.table_offset) + 4 * std::uint64_t(layout.table_entries);
    std::uint64_t pixels_end = std::uint64_t(layout.pixel_offset) + std::uint64_t(layout.stride) * layout.height;
    if (table_end > bytes.size() || pixels_end > bytes.size() || layout.pixel_offset < table_end) return std::nullopt;
    return layout;
}

std::uint32_t pixel_at(const BitmapLayout& layout, const std::uint8_t* row, const std::uint8_t* table, std::int64_t x) {
    switch (layout.bits) {
    case 32: return le32(row + 4 * x) & 0x00FFFFFF;
    case 24: return std::uint32_t(row[3 * x]) | std::uint32_t(row[3 * x + 1]) << 8 | std::uint32_t(row[3 * x + 2]) << 16;
    case 16: {
        std::uint32_t v = le16(row + 2 * x);
        auto widen = [](std::uint32_t five) { return (five << 3) | (five >> 2); };
        return widen(v & 31) | widen((v >> 5) & 31) << 8 | widen((v >> 10) & 31) << 16;
    }
    default: {
        int per_byte = 8 / layout.bits;
        std::uint32_t byte = row[x / per_byte];
        std::uint32_t index = (byte >> (8 - layout.bits * (x % per_byte + 1))) & ((1u << layout.bits) - 1);
        return index < layout.table_entries ? le32(table + 4 * index) & 0x00FFFFFF : 0;
    }
    }
}

}  // namespace

std::optional<PixelImage> read_bitmap_file(const std::vector<std::uint8_t>& bytes) {
    auto layout = read_layout(bytes);
    if (!layout) return std::nullopt;
    PixelImage image(int(layout->width), int(layout->height));
    const std::uint8_t* table = bytes.data() + layout->table_offset;
    for (std::int64_t y = 0; y < layout->height; ++y) {
        std::int64_t stored_row = layout->top_down ? y : layout->height - 1 - y;
        const std::uint8_t* row = bytes.data() + layout->pixel_offset + std::size_t(stored_row) * layout->stride;
        for (std::int64_t x = 0; x < layout->width; ++x) image.at(int(x), int(y)) = pixel_at(*layout, row, table, x);
    }
    return image;
}

}  // namespace skinner
