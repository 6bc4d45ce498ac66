#include "tools/today_host/wallpaper.h"

#include <cstdint>

#include "tools/today_host/wallpaper_colour.h"

namespace today_host {

Wallpaper::~Wallpaper() { free(); }

void Wallpaper::free() {
    if (dc_) {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    if (bitmap_) DeleteObject(bitmap_);
    dc_ = nullptr;
    bitmap_ = nullptr;
    previous_ = nullptr;
}

bool Wallpaper::make(int width, int height) {
    free();
    if (width <= 0 || height <= 0) return false;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    if (!bitmap_ || !bits || !dc_) {
        free();
        return false;
    }
    auto* const pixels = static_cast<std::uint32_t*>(bits);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels[y * width + x] = wallpaper_colour(x, y, width, height);
    }
    previous_ = SelectObject(dc_, bitmap_);
    return true;
}

void Wallpaper::draw(HDC target, const RECT& area, POINT origin) const {
    if (!dc_ || !target) return;
    BitBlt(target, area.left, area.top, area.right - area.left, area.bottom - area.top, dc_, area.left + origin.x,
           area.top + origin.y, SRCCOPY);
}

}  // namespace today_host
