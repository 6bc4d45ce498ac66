// Device contexts on surfaces other than bitmaps: the window system makes its window and
// screen device contexts with these.
#pragma once

#include <vector>

#include "platform/gdi.h"
#include "platform/linux/gdi/surface.h"

namespace platform::gdi {

// A device context that draws on the surface (which must outlive it), with the context's
// (0, 0) at the origin in surface coordinates and never outside the visible rectangles
// (surface coordinates). Deleted with DeleteDC.
HDC create_surface_dc(PixelSurface& surface, POINT origin, std::vector<RECT> const& visible);
// Moves a context made by create_surface_dc, as when its window moves; FALSE for another.
BOOL retarget_surface_dc(HDC dc, PixelSurface& surface, POINT origin, std::vector<RECT> const& visible);

}  // namespace platform::gdi
