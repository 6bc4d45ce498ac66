#include "surface_fixture.h"

#include <algorithm>

namespace gdi_testing {

std::map<char, std::uint32_t> const& palette() {
    static std::map<char, std::uint32_t> const colours = {
        {'.', 0x00FFFFFF}, {'#', 0x00000000}, {'r', 0x00FF0000}, {'g', 0x0000FF00}, {'b', 0x000000FF},
        {'y', 0x00FFFF00}, {'c', 0x0000FFFF}, {'m', 0x00FF00FF}, {'A', 0xFF000000}, {'R', 0xFFFF0000},
        {'W', 0xFFFFFFFF},
    };
    return colours;
}

Canvas::Canvas(int width, int height) : width_(width), height_(height) {
    DibHeader header = dib_header(32, width, -height);
    void* bits = nullptr;
    dc_ = CreateCompatibleDC(nullptr);
    bitmap_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0);
    pixels_ = static_cast<std::uint32_t*>(bits);
    previous_ = SelectObject(dc_, bitmap_);
}

Canvas::~Canvas() {
    SelectObject(dc_, previous_);
    DeleteObject(bitmap_);
    DeleteDC(dc_);
}

void Canvas::paint(std::vector<std::string> const& rows) {
    for (int y = 0; y < height_ && y < static_cast<int>(rows.size()); ++y) {
        for (int x = 0; x < width_ && x < static_cast<int>(rows[y].size()); ++x) {
            pixels_[y * width_ + x] = palette().at(rows[y][x]);
        }
    }
}

void Canvas::fill(std::uint32_t value) { std::fill(pixels_, pixels_ + width_ * height_, value); }

std::vector<std::string> Canvas::picture() const {
    std::vector<std::string> rows;
    for (int y = 0; y < height_; ++y) {
        std::string row;
        for (int x = 0; x < width_; ++x) {
            char shown = '?';
            for (auto const& [character, value] : palette()) {
                if (value == pixel(x, y)) shown = character;
            }
            row.push_back(shown);
        }
        rows.push_back(row);
    }
    return rows;
}

DibHeader dib_header(int bits, int width, int height, std::vector<RGBQUAD> const& colours) {
    DibHeader result{};
    result.header.biSize = sizeof(BITMAPINFOHEADER);
    result.header.biWidth = width;
    result.header.biHeight = height;
    result.header.biPlanes = 1;
    result.header.biBitCount = static_cast<WORD>(bits);
    result.header.biCompression = BI_RGB;
    result.header.biClrUsed = static_cast<DWORD>(colours.size());
    std::copy(colours.begin(), colours.end(), result.colours);
    return result;
}

}  // namespace gdi_testing
