// Points and sizes on the screen, in pixels.
#pragma once

namespace skinner {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size&) const = default;
};

}  // namespace skinner
