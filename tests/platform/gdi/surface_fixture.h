// A 32-bit top-down DIB section selected into a memory device context, and images written
// as rows of characters, one character a pixel.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/gdi.h"

namespace gdi_testing {

// Pixel values (0xAARRGGBB) by character.
std::map<char, std::uint32_t> const& palette();

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(Canvas const&) = delete;
    Canvas& operator=(Canvas const&) = delete;

    HDC dc() const { return dc_; }
    HBITMAP bitmap() const { return bitmap_; }
    int width() const { return width_; }
    int height() const { return height_; }
    std::uint32_t* pixels() const { return pixels_; }
    std::uint32_t pixel(int x, int y) const { return pixels_[y * width_ + x]; }

    // Paints the picture (palette characters) into the pixels.
    void paint(std::vector<std::string> const& rows);
    void fill(std::uint32_t value);
    // The pixels as palette characters ('?' for a value the palette lacks).
    std::vector<std::string> picture() const;

private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_;
    HGDIOBJ previous_;
    std::uint32_t* pixels_ = nullptr;
};

// A header for a DIB section: bits per pixel, width, height (negative: top-down) and a
// colour table.
struct DibHeader {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};
DibHeader dib_header(int bits, int width, int height, std::vector<RGBQUAD> const& colours = {});

}  // namespace gdi_testing
