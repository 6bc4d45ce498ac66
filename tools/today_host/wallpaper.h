// The start screen's wallpaper as a picture of the screen's size, drawn behind the items and
// into an item's device context when the item asks for it.
#pragma once

#include "platform/gdi.h"
#include "platform/windows.h"

namespace today_host {

class Wallpaper {
public:
    Wallpaper() = default;
    ~Wallpaper();
    Wallpaper(const Wallpaper&) = delete;
    Wallpaper& operator=(const Wallpaper&) = delete;

    // Makes the picture anew for this size; false when it cannot be made.
    bool make(int width, int height);
    // Fills area of target with the wallpaper; origin is where the target's (0, 0) lies on
    // the wallpaper.
    void draw(HDC target, const RECT& area, POINT origin) const;

private:
    void free();
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

}  // namespace today_host
