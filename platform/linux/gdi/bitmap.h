// A bitmap: 32-bit pixels, or a DIB section whose bits the caller writes in the layout of
// its header (then converted to 32 bits for drawing and back after drawing into it).
#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "platform/linux/gdi/object.h"
#include "platform/linux/gdi/surface.h"

namespace platform::gdi {

class Bitmap : public Object, public PixelSurface {
public:
    static constexpr Kind object_kind = Kind::bitmap;
    static constexpr int max_side = 16384;
    static constexpr long long max_pixels = 1 << 24;

    // Black 32-bit pixels; null when the size is not positive or too large (a side beyond
    // max_side or more than max_pixels in all).
    static Bitmap* create(int width, int height);
    // A DIB section in the layout of the header; null for a layout it does not take.
    static Bitmap* create_dib(BITMAPINFO const& info);

    std::uint32_t* pixels() override { return pixels_; }
    int width() const override { return width_; }
    int height() const override { return height_; }
    int stride() const override { return width_; }
    void before_read() override;
    void after_write() override;

    void* bits() { return is_dib_ ? static_cast<void*>(dib_bits_.get()) : static_cast<void*>(pixels_); }
    int bits_per_pixel() const { return is_dib_ ? header_.biBitCount : 32; }
    bool is_dib() const { return is_dib_; }
    BITMAPINFOHEADER const& header() const { return header_; }
    std::size_t row_bytes() const;

    // The device context it is selected into, or null.
    void* selected_into() const { return selected_into_; }
    void set_selected_into(void* dc) { selected_into_ = dc; }

private:
    Bitmap(int width, int height);
    bool is_direct() const;
    std::uint32_t decode(unsigned char const* row, int x) const;
    void encode(unsigned char* row, int x, std::uint32_t pixel) const;
    int nearest_colour(std::uint32_t pixel) const;

    int width_;
    int height_;
    std::unique_ptr<std::uint32_t[]> own_pixels_;
    std::uint32_t* pixels_ = nullptr;
    bool is_dib_ = false;
    BITMAPINFOHEADER header_{};
    std::vector<RGBQUAD> colours_;
    std::unique_ptr<unsigned char[]> dib_bits_;
    void* selected_into_ = nullptr;
};

}  // namespace platform::gdi
