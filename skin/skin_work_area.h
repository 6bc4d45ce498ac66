// The part of the screen that forms may use, as the skin reader needs it for form choice.
#pragma once

#include <functional>

#include "skin/geometry.h"

namespace skinner {

// Given the screen size, the work area without the input panel. The form window supplies
// it; until one does, the whole screen is the work area.
using WorkAreaSource = std::function<Size(Size screen)>;

// Replaces the source; an empty one puts back the default. Returns the previous one.
WorkAreaSource set_work_area_source(WorkAreaSource source);
Size get_skin_work_area(Size screen);

}  // namespace skinner
