// The screen frame and its damage (inside the Linux back end only): surfaces are composed
// bottom to top into the damaged part of the frame only.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/linux/display/display_driver.h"

namespace platform::screen {

using display::ScreenRect;

// Pixels another party drew: 32-bit x8r8g8b8, rows top-down, read only.
class SurfacePixels {
public:
    virtual ~SurfacePixels() = default;
    virtual const std::uint32_t* pixels() const = 0;
    virtual int width() const = 0;
    virtual int height() const = 0;
    virtual int stride() const = 0;  // pixels from one row to the next
};

// Pixels held in memory, all of one colour at first (surfaces of tests and benchmarks).
class MemoryPixels final : public SurfacePixels {
public:
    MemoryPixels(int width, int height, std::uint32_t colour = 0)
        : pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), colour), width_(width),
          height_(height) {}
    const std::uint32_t* pixels() const override { return pixels_.data(); }
    int width() const override { return width_; }
    int height() const override { return height_; }
    int stride() const override { return width_; }

private:
    std::vector<std::uint32_t> pixels_;
    int width_;
    int height_;
};

// One surface to compose: its pixels shown at rect's top-left corner.
struct Layer {
    const SurfacePixels* pixels = nullptr;
    ScreenRect rect;
};

class Compositor {
public:
    Compositor(int width, int height);
    ~Compositor();
    Compositor(const Compositor&) = delete;
    Compositor& operator=(const Compositor&) = delete;

    // A new frame of that size, all of it damaged.
    void resize(int width, int height);
    void damage(const ScreenRect& rect);
    void damage_all();
    bool has_damage() const;
    // Composes the layers (bottom first) into the damaged area, then blends the overlays
    // over them by their alpha (first at the bottom), and returns that area's rectangles;
    // the damage is then empty.
    std::vector<ScreenRect> compose(const std::vector<Layer>& layers, const std::vector<Layer>& overlays = {});
    display::Frame frame() const;
    int width() const { return width_; }
    int height() const { return height_; }

    static constexpr std::uint32_t background = 0x00000000;

private:
    struct Damage;
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint32_t> pixels_;
    std::unique_ptr<Damage> damage_;
};

}  // namespace platform::screen
