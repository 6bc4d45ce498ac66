// The pictures of bitmap and icon resources: a colour PNG and its optional "_8" alpha
// companion (a grey PNG whose value is the alpha), decoded and checked.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/gdi.h"

namespace platform::resources {

// 0xAARRGGBB pixels, rows top-down, alpha not premultiplied.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The picture of "<stem>.png" with "<stem>_8.png" as its alpha when that exists (opaque
// otherwise); nullopt, with a report, when a file is missing, damaged, too large or the two
// differ in size.
std::optional<Picture> load_picture(const std::string& stem);

// Nearest-neighbour scaling to width x height (both positive).
Picture scaled(const Picture& picture, int width, int height);

// A new 32-bit top-down DIB section holding the picture (alpha in the fourth byte).
HBITMAP bitmap_of(const Picture& picture);
// The picture of a 32-bit DIB section; nullopt for any other bitmap.
std::optional<Picture> picture_of(HBITMAP bitmap);

}  // namespace platform::resources
