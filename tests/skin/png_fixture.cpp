#include "tests/skin/png_fixture.h"

#include <png.h>
#include <zlib.h>

#include <cstring>
#include <stdexcept>

namespace png_fixture {

namespace {

int channels(int colour_type) {
    switch (colour_type) {
    case 2: return 3;
    case 4: return 2;
    case 6: return 4;
    default: return 1;
    }
}

void append_to(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flush_nothing(png_structp) {}

struct MemoryInput {
    const Bytes* bytes;
    std::size_t offset;
};

void read_from(png_structp png, png_bytep data, png_size_t length) {
    auto* in = static_cast<MemoryInput*>(png_get_io_ptr(png));
    if (length > in->bytes->size() - in->offset) png_error(png, "short file");
    std::memcpy(data, in->bytes->data() + in->offset, length);
    in->offset += length;
}

void set_blocks(png_structp png, Blocks blocks) {
    switch (blocks) {
    case Blocks::stored:
        png_set_compression_level(png, 0);
        break;
    case Blocks::fixed:
        png_set_compression_strategy(png, Z_FIXED);
        break;
    case Blocks::dynamic:
        png_set_compression_level(png, 9);
        break;
    }
}

std::uint32_t crc_of(const std::string& type, const Bytes& data) {
    uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type.data()), 4);
    return std::uint32_t(crc32(crc, data.data(), uInt(data.size())));
}

void put_be32(Bytes& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(std::uint8_t(value >> shift));
}

}  // namespace

std::vector<Bytes> sample_rows(const Image& image) {
    std::size_t row_bytes = (std::size_t(image.width) * channels(image.colour_type) * image.bit_depth + 7) / 8;
    std::vector<Bytes> rows(image.height, Bytes(row_bytes));
    std::uint32_t state = 12345;
    for (std::uint32_t y = 0; y < image.height; ++y) {
        for (std::size_t i = 0; i < row_bytes; ++i) {
            state = state * 1103515245u + 12345u;
            // Runs of equal bytes and gradients for the matches, noise for the literals.
            std::uint8_t value = (y % 3 == 0) ? std::uint8_t(i * 7 + y) : std::uint8_t(state >> 16);
            if (image.colour_type == 3) {
                int per_byte = 8 / image.bit_depth;
                std::uint8_t packed = 0;
                for (int k = 0; k < per_byte; ++k) {
                    std::uint32_t index = (value + k * 5) % std::uint32_t(image.palette_entries);
                    packed = std::uint8_t(packed << image.bit_depth | index);
                }
                value = packed;
            }
            rows[y][i] = value;
        }
    }
    return rows;
}

Bytes write_with_libpng(const Image& image) { return write_with_libpng(image, sample_rows(image)); }

Bytes write_with_libpng(const Image& image, const std::vector<Bytes>& rows) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng could not write the fixture");
    }
    png_set_write_fn(png, &out, append_to, flush_nothing);
    png_set_IHDR(png, info, image.width, image.height, image.bit_depth, image.colour_type,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette(std::size_t(image.palette_entries));
    if (image.colour_type == 3) {
        for (std::size_t i = 0; i < palette.size(); ++i)
            palette[i] = {png_byte(i * 37 + 5), png_byte(255 - i * 11), png_byte(i * 91)};
        png_set_PLTE(png, info, palette.data(), int(palette.size()));
    }
    png_color_16 key{};
    if (!image.transparency.empty()) {
        const Bytes& t = image.transparency;
        if (image.colour_type == 3) {
            png_set_tRNS(png, info, t.data(), int(t.size()), nullptr);
        } else {
            auto sample = [&](int i) { return png_uint_16(t[2 * i] << 8 | t[2 * i + 1]); };
            if (image.colour_type == 0) key.gray = sample(0);
            else key = {0, sample(0), sample(1), sample(2), 0};
            png_set_tRNS(png, info, nullptr, 0, &key);
        }
    }
    set_blocks(png, image.blocks);
    png_set_filter(png, 0, PNG_ALL_FILTERS);
    std::vector<png_bytep> pointers;
    for (const Bytes& row : rows) pointers.push_back(const_cast<png_bytep>(row.data()));
    png_set_rows(png, info, pointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Rgba read_with_libpng(const Bytes& file) {
    Rgba result;
    MemoryInput input{&file, 0};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_error_fn(png, nullptr, [](png_structp p, png_const_charp) { png_longjmp(p, 1); },
                     [](png_structp, png_const_charp) {});
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        return {};
    }
    png_set_read_fn(png, &input, read_from);
    png_read_info(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    std::uint32_t width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    Bytes pixels(std::size_t(width) * height * 4);
    std::vector<png_bytep> rows(height);
    for (std::uint32_t y = 0; y < height; ++y) rows[y] = pixels.data() + std::size_t(y) * width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    result.width = width;
    result.height = height;
    result.pixels = std::move(pixels);
    return result;
}

Bytes assemble(const std::vector<Chunk>& chunks) {
    Bytes out = {137, 'P', 'N', 'G', 13, 10, 26, 10};
    for (const Chunk& chunk : chunks) {
        put_be32(out, std::uint32_t(chunk.data.size()));
        out.insert(out.end(), chunk.type.begin(), chunk.type.end());
        out.insert(out.end(), chunk.data.begin(), chunk.data.end());
        put_be32(out, crc_of(chunk.type, chunk.data));
    }
    return out;
}

Bytes header(std::uint32_t width, std::uint32_t height, int bit_depth, int colour_type, int interlace) {
    Bytes data;
    put_be32(data, width);
    put_be32(data, height);
    data.insert(data.end(), {std::uint8_t(bit_depth), std::uint8_t(colour_type), 0, 0, std::uint8_t(interlace)});
    return data;
}

Bytes compress(const Bytes& scanlines) {
    uLongf size = compressBound(uLong(scanlines.size()));
    Bytes out(size);
    if (compress2(out.data(), &size, scanlines.data(), uLong(scanlines.size()), 9) != Z_OK)
        throw std::runtime_error("zlib could not compress the fixture");
    out.resize(size);
    return out;
}

void BitWriter::bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) {
        buffer_ |= ((value >> i) & 1u) << held_;
        if (++held_ == 8) {
            bytes_.push_back(std::uint8_t(buffer_));
            buffer_ = 0;
            held_ = 0;
        }
    }
}

void BitWriter::code(std::uint32_t value, int length) {
    for (int i = length - 1; i >= 0; --i) bits((value >> i) & 1u, 1);
}

Bytes BitWriter::finish() {
    if (held_ > 0) bytes_.push_back(std::uint8_t(buffer_));
    buffer_ = 0;
    held_ = 0;
    return std::move(bytes_);
}

}  // namespace png_fixture
