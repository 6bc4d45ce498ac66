// A tap or a context press on a grid's column header.
#pragma once

#include "skin/geometry.h"

namespace skinner {

struct HeaderEvent {
    int column = -1;
    Point offset;  // inside the header cell
    Point point;   // in the window's client coordinates
};

}  // namespace skinner
