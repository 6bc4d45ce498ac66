#include "platform/linux/gdi/bitmap.h"

#include <cstring>
#include <limits>
#include <new>

namespace platform::gdi {
namespace {

bool size_allowed(long long width, long long height) {
    return width > 0 && height > 0 && width <= Bitmap::max_side && height <= Bitmap::max_side &&
           width * height <= Bitmap::max_pixels;
}

bool depth_allowed(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

std::uint32_t pixel_of(RGBQUAD colour) {
    return static_cast<std::uint32_t>(colour.rgbRed) << 16 |
           static_cast<std::uint32_t>(colour.rgbGreen) << 8 | colour.rgbBlue;
}

std::uint32_t expand5(std::uint32_t value) { return value << 3 | value >> 2; }

}  // namespace

Bitmap::Bitmap(int width, int height) : Object(Kind::bitmap), width_(width), height_(height) {}

Bitmap* Bitmap::create(int width, int height) {
    if (!size_allowed(width, height)) return nullptr;
    auto* bitmap = new (std::nothrow) Bitmap(width, height);
    if (bitmap == nullptr) return nullptr;
    bitmap->own_pixels_.reset(new (std::nothrow) std::uint32_t[static_cast<std::size_t>(width) * height]());
    if (!bitmap->own_pixels_) {
        delete bitmap;
        return nullptr;
    }
    bitmap->pixels_ = bitmap->own_pixels_.get();
    return bitmap;
}

Bitmap* Bitmap::create_dib(BITMAPINFO const& info) {
    BITMAPINFOHEADER const& header = info.bmiHeader;
    long long const height = header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || header.biCompression != BI_RGB ||
        !depth_allowed(header.biBitCount) || !size_allowed(header.biWidth, height)) {
        return nullptr;
    }
    auto* bitmap = new (std::nothrow) Bitmap(header.biWidth, static_cast<int>(height));
    if (bitmap == nullptr) return nullptr;
    bitmap->is_dib_ = true;
    bitmap->header_ = header;
    bitmap->header_.biSize = sizeof(BITMAPINFOHEADER);
    bitmap->header_.biSizeImage = static_cast<DWORD>(bitmap->row_bytes() * bitmap->height_);
    if (header.biBitCount <= 8) {
        DWORD const full = 1u << header.biBitCount;
        DWORD const used = header.biClrUsed == 0 || header.biClrUsed > full ? full : header.biClrUsed;
        auto const* table = reinterpret_cast<RGBQUAD const*>(reinterpret_cast<unsigned char const*>(&info) + header.biSize);
        bitmap->colours_.assign(table, table + used);
        bitmap->header_.biClrUsed = used;
    } else {
        bitmap->header_.biClrUsed = 0;
    }
    bitmap->dib_bits_.reset(new (std::nothrow) unsigned char[bitmap->header_.biSizeImage]());
    if (!bitmap->dib_bits_) {
        delete bitmap;
        return nullptr;
    }
    if (bitmap->is_direct()) {
        bitmap->pixels_ = reinterpret_cast<std::uint32_t*>(bitmap->dib_bits_.get());
    } else {
        bitmap->own_pixels_.reset(
            new (std::nothrow) std::uint32_t[static_cast<std::size_t>(bitmap->width_) * bitmap->height_]());
        if (!bitmap->own_pixels_) {
            delete bitmap;
            return nullptr;
        }
        bitmap->pixels_ = bitmap->own_pixels_.get();
    }
    return bitmap;
}

std::size_t Bitmap::row_bytes() const {
    return ((static_cast<std::size_t>(bits_per_pixel()) * width_ + 31) / 32) * 4;
}

bool Bitmap::is_direct() const {
    return !is_dib_ || (header_.biBitCount == 32 && header_.biHeight < 0);
}

std::uint32_t Bitmap::decode(unsigned char const* row, int x) const {
    auto indexed = [&](unsigned index) {
        return index < colours_.size() ? pixel_of(colours_[index]) : 0u;
    };
    switch (header_.biBitCount) {
    case 1: return indexed(row[x / 8] >> (7 - x % 8) & 1);
    case 4: return indexed(row[x / 2] >> (x % 2 == 0 ? 4 : 0) & 0xF);
    case 8: return indexed(row[x]);
    case 16: {
        std::uint32_t const word = row[2 * x] | row[2 * x + 1] << 8;
        return expand5(word >> 10 & 31) << 16 | expand5(word >> 5 & 31) << 8 | expand5(word & 31);
    }
    case 24: return static_cast<std::uint32_t>(row[3 * x + 2]) << 16 | row[3 * x + 1] << 8 | row[3 * x];
    default: {
        std::uint32_t pixel;
        std::memcpy(&pixel, row + 4 * x, 4);
        return pixel;
    }
    }
}

int Bitmap::nearest_colour(std::uint32_t pixel) const {
    int best = 0;
    long best_distance = std::numeric_limits<long>::max();
    for (std::size_t i = 0; i < colours_.size(); ++i) {
        long const dr = static_cast<long>(pixel >> 16 & 0xFF) - colours_[i].rgbRed;
        long const dg = static_cast<long>(pixel >> 8 & 0xFF) - colours_[i].rgbGreen;
        long const db = static_cast<long>(pixel & 0xFF) - colours_[i].rgbBlue;
        long const distance = dr * dr + dg * dg + db * db;
        if (distance < best_distance) {
            best_distance = distance;
            best = static_cast<int>(i);
        }
    }
    return best;
}

void Bitmap::encode(unsigned char* row, int x, std::uint32_t pixel) const {
    switch (header_.biBitCount) {
    case 1: {
        unsigned char const bit = static_cast<unsigned char>(0x80 >> x % 8);
        row[x / 8] = static_cast<unsigned char>(nearest_colour(pixel) ? row[x / 8] | bit : row[x / 8] & ~bit);
        break;
    }
    case 4: {
        int const shift = x % 2 == 0 ? 4 : 0;
        row[x / 2] = static_cast<unsigned char>((row[x / 2] & ~(0xF << shift)) | nearest_colour(pixel) << shift);
        break;
    }
    case 8: row[x] = static_cast<unsigned char>(nearest_colour(pixel)); break;
    case 16: {
        unsigned const word = (pixel >> 19 & 31) << 10 | (pixel >> 11 & 31) << 5 | (pixel >> 3 & 31);
        row[2 * x] = static_cast<unsigned char>(word);
        row[2 * x + 1] = static_cast<unsigned char>(word >> 8);
        break;
    }
    case 24:
        row[3 * x] = static_cast<unsigned char>(pixel);
        row[3 * x + 1] = static_cast<unsigned char>(pixel >> 8);
        row[3 * x + 2] = static_cast<unsigned char>(pixel >> 16);
        break;
    default: std::memcpy(row + 4 * x, &pixel, 4); break;
    }
}

void Bitmap::before_read() {
    if (is_direct()) return;
    bool const top_down = header_.biHeight < 0;
    for (int y = 0; y < height_; ++y) {
        unsigned char const* row = dib_bits_.get() + row_bytes() * (top_down ? y : height_ - 1 - y);
        std::uint32_t* out = pixels_ + static_cast<std::size_t>(y) * width_;
        for (int x = 0; x < width_; ++x) out[x] = decode(row, x);
    }
}

void Bitmap::after_write() {
    if (is_direct()) return;
    bool const top_down = header_.biHeight < 0;
    for (int y = 0; y < height_; ++y) {
        unsigned char* row = dib_bits_.get() + row_bytes() * (top_down ? y : height_ - 1 - y);
        std::uint32_t const* in = pixels_ + static_cast<std::size_t>(y) * width_;
        for (int x = 0; x < width_; ++x) encode(row, x, in[x]);
    }
}

}  // namespace platform::gdi
