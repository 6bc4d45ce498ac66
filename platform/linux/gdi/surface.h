// What a device context draws on: 32-bit pixels (0xAARRGGBB words), rows top-down. A bitmap
// is one; a window's device context will draw on the surface its window system gives it.
#pragma once

#include <cstdint>

namespace platform::gdi {

class PixelSurface {
public:
    virtual ~PixelSurface() = default;
    virtual std::uint32_t* pixels() = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    // Pixels from one row to the next.
    virtual int stride() const = 0;
    // Called before the pixels are read and after they were written, so that a surface
    // kept in another layout can bring the 32-bit pixels up to date, and back.
    virtual void before_read() {}
    virtual void after_write() {}
};

}  // namespace platform::gdi
