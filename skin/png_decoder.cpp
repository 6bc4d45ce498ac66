#include "skin/png_decoder.h"

#include <algorithm>
#include <cstdlib>
#include <new>

namespace {

constexpr std::uint8_t png_signature[8] = {137, 'P', 'N', 'G', 13, 10, 26, 10};

constexpr std::uint32_t chunk_type(char a, char b, char c, char d) {
    return std::uint32_t(std::uint8_t(a)) << 24 | std::uint32_t(std::uint8_t(b)) << 16 |
           std::uint32_t(std::uint8_t(c)) << 8 | std::uint32_t(std::uint8_t(d));
}

std::uint32_t read_be32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

std::uint32_t read_be16(const std::uint8_t* p) { return std::uint32_t(p[0]) << 8 | p[1]; }

// Reads chunks in place; any length that does not fit what is left ends the walk.
class ChunkReader {
public:
    ChunkReader(const std::uint8_t* bytes, std::size_t size) : bytes_(bytes), size_(size), offset_(8) {}

    bool next(std::uint32_t& type, const std::uint8_t*& data, std::uint32_t& length) {
        if (remaining() < 8) return false;
        length = read_be32(bytes_ + offset_);
        type = read_be32(bytes_ + offset_ + 4);
        offset_ += 8;
        if (length > remaining()) return false;
        data = bytes_ + offset_;
        offset_ += length;
        if (remaining() < 4) return false;  // the CRC, not checked
        offset_ += 4;
        return true;
    }

private:
    std::size_t remaining() const { return size_ - offset_; }

    const std::uint8_t* bytes_;
    std::size_t size_;
    std::size_t offset_;
};

// Adam7 passes: first column and row, column and row step. Pass 0 is the plain image.
struct PassGeometry {
    std::uint32_t x0, y0, dx, dy;
};
constexpr PassGeometry pass_table[8] = {
    {0, 0, 1, 1}, {0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2},
};

std::uint32_t pass_extent(std::uint32_t size, std::uint32_t start, std::uint32_t step) {
    return size > start ? (size - start + step - 1) / step : 0;
}

int paeth(int left, int above, int upper_left) {
    int p = left + above - upper_left;
    int pa = std::abs(p - left), pb = std::abs(p - above), pc = std::abs(p - upper_left);
    if (pa <= pb && pa <= pc) return left;
    if (pb <= pc) return above;
    return upper_left;
}

}  // namespace

int ZqGenericPngDecoder::decode(const std::uint8_t* bytes, std::size_t size) {
    if (size < 8 || !std::equal(png_signature, png_signature + 8, bytes)) return -1;
    std::fill(std::begin(palette_alpha_), std::end(palette_alpha_), std::uint8_t{255});
    std::vector<std::uint8_t> idat;
    try {
        idat.reserve(size - 8);
    } catch (const std::bad_alloc&) {
        return 1;
    }
    if (!read_chunks(bytes, size, idat)) return -1;
    if (begin_image()) {
        inflate(idat.data(), idat.size());
        end_image();
    }
    return 1;
}

bool ZqGenericPngDecoder::read_chunks(const std::uint8_t* bytes, std::size_t size, std::vector<std::uint8_t>& idat) {
    ChunkReader reader(bytes, size);
    std::uint32_t type = 0, length = 0;
    const std::uint8_t* data = nullptr;
    while (reader.next(type, data, length)) {
        if (type == chunk_type('I', 'E', 'N', 'D')) break;
        if (length == 0) continue;
        switch (type) {
        case chunk_type('I', 'H', 'D', 'R'):
            read_header(data, length);
            break;
        case chunk_type('P', 'L', 'T', 'E'):
            if (length % 3 != 0) return false;
            palette_.assign(data, data + length);
            break;
        case chunk_type('g', 'A', 'M', 'A'):
            if (length >= 4) gamma_ = read_be32(data);
            break;
        case chunk_type('t', 'R', 'N', 'S'):
            read_transparency(data, length);
            break;
        case chunk_type('I', 'D', 'A', 'T'):
            idat.insert(idat.end(), data, data + length);  // within the reserved size - 8
            break;
        default:
            break;
        }
    }
    return true;
}

void ZqGenericPngDecoder::read_header(const std::uint8_t* data, std::uint32_t length) {
    if (length < 13) return;
    width_ = read_be32(data);
    height_ = read_be32(data + 4);
    bit_depth_ = data[8];
    colour_type_ = data[9];
    compression_method_ = data[10];
    filter_method_ = data[11];
    interlace_method_ = data[12];
}

// Grey and RGB images carry colour keys; a palette image carries one alpha byte for each of
// its first entries (the entries past the chunk stay opaque).
void ZqGenericPngDecoder::read_transparency(const std::uint8_t* data, std::uint32_t length) {
    switch (colour_type_) {
    case 0:
        if (length >= 2) colour_keys_[0] = read_be16(data);
        break;
    case 2:
        if (length >= 6)
            for (int i = 0; i < 3; ++i) colour_keys_[i] = read_be16(data + 2 * i);
        break;
    case 3:
        std::fill(std::begin(palette_alpha_), std::end(palette_alpha_), std::uint8_t{255});
        std::copy(data, data + std::min<std::uint32_t>(length, 256), palette_alpha_);
        break;
    default:
        break;
    }
}

void ZqRawPngDecoder::copy_to_bgra(std::uint8_t* bits) const {
    for (std::size_t i = 0; i < image_.size(); i += 4) {
        bits[i] = image_[i + 2];
        bits[i + 1] = image_[i + 1];
        bits[i + 2] = image_[i];
        bits[i + 3] = image_[i + 3];
    }
}

bool ZqRawPngDecoder::accepts_format() const {
    switch (colour_type_) {
    case 0: return bit_depth_ == 1 || bit_depth_ == 8;
    case 2: return bit_depth_ == 8 || bit_depth_ == 16;
    case 3: return bit_depth_ == 4 || bit_depth_ == 8;
    case 4: return bit_depth_ == 8;
    case 6: return bit_depth_ == 8;
    default: return false;
    }
}

std::uint32_t ZqRawPngDecoder::bits_per_pixel() const {
    static constexpr std::uint32_t channels[7] = {1, 0, 3, 1, 2, 0, 4};
    return channels[colour_type_] * bit_depth_;
}

bool ZqRawPngDecoder::begin_image() {
    image_width_ = image_height_ = 0;
    image_.clear();
    if (!accepts_format() || width_ == 0 || height_ == 0) return false;
    if (width_ > max_side || height_ > max_side || std::uint64_t{width_} * height_ > max_pixels) return false;
    std::size_t row_capacity = (std::size_t{width_} * bits_per_pixel() + 7) / 8;
    try {
        image_.assign(std::size_t{width_} * height_ * 4, 0);
        rows_.assign(2 * row_capacity, 0);
    } catch (const std::bad_alloc&) {
        image_.clear();
        return false;
    }
    image_width_ = width_;
    image_height_ = height_;
    current_ = rows_.data();
    previous_ = rows_.data() + row_capacity;
    filter_unit_ = std::max<std::uint32_t>(1, bits_per_pixel() / 8);
    interlaced_ = interlace_method_ == 1;
    finished_ = interlace_method_ > 1;
    pass_ = interlaced_ ? 1 : 0;
    x_ = -1;
    y_ = 0;
    if (!finished_) finished_ = !start_pass();
    return true;
}

// Moves to the first pass, from the current one on, that holds any pixels.
bool ZqRawPngDecoder::start_pass() {
    for (; pass_ < 8; ++pass_) {
        const PassGeometry& g = pass_table[pass_];
        pass_width_ = pass_extent(width_, g.x0, g.dx);
        pass_height_ = pass_extent(height_, g.y0, g.dy);
        if (pass_width_ != 0 && pass_height_ != 0) {
            row_bytes_ = (std::size_t{pass_width_} * bits_per_pixel() + 7) / 8;
            return true;
        }
        if (!interlaced_) return false;
    }
    return false;
}

void ZqRawPngDecoder::next_row() {
    x_ = -1;
    std::swap(current_, previous_);
    if (++y_ < pass_height_) return;
    y_ = 0;
    if (!interlaced_) {
        finished_ = true;
        return;
    }
    ++pass_;
    finished_ = !start_pass();
}

bool ZqRawPngDecoder::put_byte(std::uint8_t byte) {
    if (finished_) return false;
    if (x_ < 0) {
        row_filter_ = byte;
        x_ = 0;
        return true;
    }
    std::size_t i = std::size_t(x_);
    current_[i] = unfilter(i, byte);
    convert_byte(i);
    if (++x_ == std::int64_t(row_bytes_)) next_row();
    return true;
}

std::uint8_t ZqRawPngDecoder::unfilter(std::size_t i, std::uint8_t byte) const {
    int left = i >= filter_unit_ ? current_[i - filter_unit_] : 0;
    int above = y_ > 0 ? previous_[i] : 0;
    int upper_left = y_ > 0 && i >= filter_unit_ ? previous_[i - filter_unit_] : 0;
    switch (row_filter_) {
    case 1: return std::uint8_t(byte + left);
    case 2: return std::uint8_t(byte + above);
    case 3: return std::uint8_t(byte + (left + above) / 2);
    case 4: return std::uint8_t(byte + paeth(left, above, upper_left));
    default: return byte;
    }
}

std::uint8_t ZqRawPngDecoder::key_alpha(std::uint32_t sample) const {
    return sample == colour_keys_[0] || sample == colour_keys_[1] || sample == colour_keys_[2] ? 0 : 255;
}

// Converts what byte i of the unfiltered row completes: the pixels packed in it, or the
// pixel whose last byte it is.
void ZqRawPngDecoder::convert_byte(std::size_t i) {
    const std::uint8_t* row = current_;
    if (bit_depth_ < 8) {
        std::uint32_t per_byte = 8 / bit_depth_;
        std::uint32_t mask = (1u << bit_depth_) - 1;
        for (std::uint32_t k = 0; k < per_byte; ++k) {
            std::uint32_t x = std::uint32_t(i) * per_byte + k;
            if (x >= pass_width_) break;
            std::uint32_t value = (row[i] >> (8 - bit_depth_ * (k + 1))) & mask;
            if (colour_type_ == 0) {
                std::uint8_t level = value ? 255 : 0;
                write_pixel(x, level, level, level, key_alpha(value));
            } else if (3 * value + 2 < palette_.size()) {
                const std::uint8_t* entry = &palette_[3 * value];
                write_pixel(x, entry[0], entry[1], entry[2], palette_alpha_[value]);
            }
        }
        return;
    }
    std::size_t pixel_bytes = bits_per_pixel() / 8;
    if ((i + 1) % pixel_bytes != 0) return;
    std::uint32_t x = std::uint32_t(i / pixel_bytes);
    const std::uint8_t* p = row + i + 1 - pixel_bytes;
    switch (colour_type_) {
    case 0:
        write_pixel(x, p[0], p[0], p[0], key_alpha(p[0]));
        break;
    case 2:
        if (bit_depth_ == 8) {
            bool keyed = p[0] == colour_keys_[0] && p[1] == colour_keys_[1] && p[2] == colour_keys_[2];
            write_pixel(x, p[0], p[1], p[2], keyed ? 0 : 255);
        } else {
            bool keyed = read_be16(p) == colour_keys_[0] && read_be16(p + 2) == colour_keys_[1] &&
                         read_be16(p + 4) == colour_keys_[2];
            write_pixel(x, p[0], p[2], p[4], keyed ? 0 : 255);
        }
        break;
    case 3:
        if (3u * p[0] + 2 < palette_.size()) {
            const std::uint8_t* entry = &palette_[3u * p[0]];
            write_pixel(x, entry[0], entry[1], entry[2], palette_alpha_[p[0]]);
        }
        break;
    case 4:
        write_pixel(x, p[0], p[0], p[0], p[1]);
        break;
    case 6:
        write_pixel(x, p[0], p[1], p[2], p[3]);
        break;
    default:
        break;
    }
}

void ZqRawPngDecoder::write_pixel(std::uint32_t x, std::uint8_t r, std::uint8_t g, std::uint8_t b, std::uint8_t a) {
    const PassGeometry& geometry = pass_table[pass_];
    std::size_t column = geometry.x0 + std::size_t{x} * geometry.dx;
    std::size_t line = geometry.y0 + std::size_t{y_} * geometry.dy;
    std::uint8_t* out = &image_[(line * image_width_ + column) * 4];
    out[0] = r;
    out[1] = g;
    out[2] = b;
    out[3] = a;
}
