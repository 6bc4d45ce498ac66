#include "skin/picture_surface.h"

#include <algorithm>

#include "skin/hdc_selector.h"

namespace skinner {

namespace {

int next_power_of_two(int size) {
    int power = 1;
    while (power < size && power < (1 << 30)) power <<= 1;
    return power;
}

}  // namespace

bool PictureSurface::create_dib(POINT size) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.x, -size.y, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap_ = size.x > 0 && size.y > 0 ? CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0) : nullptr;
    if (bitmap_ == nullptr || bits == nullptr) {
        release();
        return false;
    }
    width_ = size.x;
    height_ = size.y;
    rows_.resize(std::size_t(height_));
    for (int y = 0; y < height_; ++y) rows_[std::size_t(y)] = static_cast<std::uint32_t*>(bits) + std::size_t(y) * width_;
    return true;
}

PictureSurface::PictureSurface(const PictureRef& picture, POINT target_size, bool power_of_two) {
    POINT size = target_size;
    if (power_of_two) size = {next_power_of_two(size.x), next_power_of_two(size.y)};
    if (!create_dib(size)) return;
    // The DIB section starts zeroed, so what lies outside the target size stays 0.
    const Picture* source = picture.get_picture();
    if (source == nullptr || target_size.x < 1 || target_size.y < 1) return;
    PixelImage rendered(target_size.x, target_size.y);
    source->render_with_alpha(rendered, {0, 0, target_size.x, target_size.y}, picture.get_points(),
                              picture.get_stretch(), source->has_alternative_blit());
    for (int y = 0; y < std::min(height_, rendered.height); ++y)
        std::copy_n(&rendered.at(0, y), std::min(width_, rendered.width), row(y));
}

PictureSurface::PictureSurface(Canvas& canvas, POINT source, POINT size) {
    if (!create_dib(size)) return;
    HDCSelector memory(canvas.get_dc(), bitmap_);
    BitBlt(memory.get_dc(), 0, 0, width_, height_, canvas.get_dc(), source.x, source.y, SRCCOPY);
    for (int y = 0; y < height_; ++y)
        for (int x = 0; x < width_; ++x) row(y)[x] |= 0xFF000000u;
}

void PictureSurface::blit_to(Canvas& canvas, POINT point) const {
    if (bitmap_ == nullptr) return;
    HDCSelector memory(canvas.get_dc(), bitmap_);
    BitBlt(canvas.get_dc(), point.x, point.y, width_, height_, memory.get_dc(), 0, 0, SRCCOPY);
}

void PictureSurface::release() {
    rows_.clear();
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    bitmap_ = nullptr;
    width_ = height_ = 0;
}

}  // namespace skinner
