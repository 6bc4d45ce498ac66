#include "skin/picture_bands.h"

#include <algorithm>

namespace skinner {

int map_band(int d, int position, int limit, const BandAxis& axis, bool stretch) {
    if (d < position || d >= limit) return -1;
    long long t = static_cast<long long>(d) - position;
    long long length = static_cast<long long>(limit) - position;
    long long first = axis.middle_begin - axis.origin;
    if (t <= first) return static_cast<int>(axis.origin + t);
    long long last_start = length - axis.end + axis.middle_end;
    if (t >= last_start) return static_cast<int>(t - length + axis.end);
    long long middle = axis.middle_end - axis.middle_begin;
    if (!stretch) return middle == 0 ? 0 : static_cast<int>(axis.middle_begin + (t - first) % middle);
    long long span = last_start - first;
    return static_cast<int>(axis.middle_begin + (t - first) * middle / span);
}

BorderPair fit_borders(int first, int last, int extent) {
    first = std::max(first, 0);
    last = std::max(last, 0);
    extent = std::max(extent, 0);
    long long over = static_cast<long long>(first) + last - extent;
    if (over <= 0) return {first, last};
    long long new_last = last - (over + 1) / 2;
    long long new_first = first - over / 2;
    if (new_first < 0) {
        new_last += new_first;
        new_first = 0;
    }
    if (new_last < 0) {
        new_first += new_last;
        new_last = 0;
    }
    return {static_cast<int>(new_first), static_cast<int>(new_last)};
}

namespace {

RECT rect(long long left, long long top, long long right, long long bottom) {
    return {static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right), static_cast<LONG>(bottom)};
}

bool empty(const RECT& r) { return r.right <= r.left || r.bottom <= r.top; }

RECT clip(const RECT& r, int width, int height) {
    return rect(std::clamp<long long>(r.left, 0, width), std::clamp<long long>(r.top, 0, height),
                std::clamp<long long>(r.right, 0, width), std::clamp<long long>(r.bottom, 0, height));
}

}  // namespace

std::vector<FramePiece> frame_pieces(const POINT points[4], const RECT& destination, int picture_width,
                                     int picture_height) {
    using Kind = FramePiece::Kind;
    std::vector<FramePiece> pieces;
    if (empty(destination)) return pieces;
    const long long L = points[0].x, T = points[0].y, x2 = points[1].x, y2 = points[1].y;
    const long long x3 = points[2].x, y3 = points[2].y, R = points[3].x, B = points[3].y;
    BorderPair horizontal = fit_borders(int(std::clamp<long long>(x2 - L, 0, 1 << 30)),
                                        int(std::clamp<long long>(R - x3, 0, 1 << 30)),
                                        destination.right - destination.left);
    BorderPair vertical = fit_borders(int(std::clamp<long long>(y2 - T, 0, 1 << 30)),
                                      int(std::clamp<long long>(B - y3, 0, 1 << 30)),
                                      destination.bottom - destination.top);
    const long long lw = horizontal.first, rw = horizontal.last, th = vertical.first, bh = vertical.last;
    const long long dx0 = destination.left, dy0 = destination.top, dx1 = destination.right, dy1 = destination.bottom;
    // Destination columns and rows: [dx0, dx0 + lw) [dx0 + lw, dx1 - rw) [dx1 - rw, dx1].
    const long long columns[4] = {dx0, dx0 + lw, dx1 - rw, dx1};
    const long long rows[4] = {dy0, dy0 + th, dy1 - bh, dy1};
    const long long source_columns[4][2] = {{L, L + lw}, {x2, x3}, {R - rw, R}};
    const long long source_rows[4][2] = {{T, T + th}, {y2, y3}, {B - bh, B}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            Kind kind = row != 1 && column != 1 ? Kind::corner
                        : row == 1 && column == 1 ? Kind::centre
                        : column == 1             ? Kind::top_bottom_edge
                                                  : Kind::side_edge;
            RECT to = rect(columns[column], rows[row], columns[column + 1], rows[row + 1]);
            RECT from = rect(source_columns[column][0], source_rows[row][0], source_columns[column][1],
                             source_rows[row][1]);
            RECT clipped = clip(from, picture_width, picture_height);
            if (empty(to) || empty(clipped)) continue;
            if (kind == Kind::corner) {
                // A corner is copied 1:1; what the clip took off the source comes off the destination.
                to.left += clipped.left - from.left;
                to.top += clipped.top - from.top;
                to.right -= from.right - clipped.right;
                to.bottom -= from.bottom - clipped.bottom;
                if (empty(to)) continue;
            }
            pieces.push_back({kind, to, clipped});
        }
    return pieces;
}

}  // namespace skinner
