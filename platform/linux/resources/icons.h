// The platform's icons: a picture at one size, blended by its alpha when drawn.
#pragma once

#include "platform/linux/resources/resource_pictures.h"
#include "platform/windows.h"

namespace platform::resources {

HICON make_icon(Picture picture);
// The icon's picture, or null for a handle that is no live icon.
const Picture* icon_picture(HICON icon);

// The screen's dots per inch.
int screen_dpi();
// The system's icon side: 32 pixels at 96 dpi (16 small), doubled at 192.
int icon_side(bool small);

// Blends the picture onto the context, its top-left corner at (x, y).
bool blend_onto(HDC dc, int x, int y, const Picture& picture);

}  // namespace platform::resources
