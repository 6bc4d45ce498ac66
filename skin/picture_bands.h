// The band arithmetic of a picture part: a first band copied 1:1, a middle band tiled or
// stretched, a last band copied 1:1 against the far edge; on each axis alike.
#pragma once

#include <vector>

#include "platform/messages.h"
#include "platform/windows.h"

namespace skinner {

// One axis of a picture part: origin <= middle begin <= middle end <= end.
struct BandAxis {
    int origin;
    int middle_begin;
    int middle_end;
    int end;
};

// The source coordinate that destination coordinate d shows for a destination from position
// (inclusive) to limit (exclusive); -1 outside.
int map_band(int d, int position, int limit, const BandAxis& axis, bool stretch);

// The first and last border of an axis drawn into an extent: when both do not fit, the last
// loses the larger half of the deficit and the first the rest; what one cannot give the other
// gives. Negative borders count as 0.
struct BorderPair {
    int first;
    int last;
};
BorderPair fit_borders(int first, int last, int extent);

// One of the nine pieces of a framed drawing: where it goes, where it comes from.
struct FramePiece {
    enum class Kind { corner, side_edge, top_bottom_edge, centre };
    Kind kind;
    RECT destination;
    RECT source;
};

// The pieces that draw the picture part (outer top-left, inner top-left, inner bottom-right,
// outer bottom-right) into the destination rectangle, for a picture of the given size:
// corners at their (fitted) size, edges and centre over the rest. Source rectangles are
// clipped to the picture; pieces with nothing to draw are left out.
std::vector<FramePiece> frame_pieces(const POINT points[4], const RECT& destination, int picture_width,
                                     int picture_height);

}  // namespace skinner
