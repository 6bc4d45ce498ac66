#include "skin/text_fit.h"

namespace skinner {

namespace {

constexpr char16_t ellipsis = u'\u2026';

// Halving search over counts: lo fits, hi does not (by the test), until they meet.
template <typename Fits>
void halve(std::size_t& lo, std::size_t& hi, Fits fits) {
    for (;;) {
        std::size_t mid = (lo + hi) / 2;
        if (!fits(mid)) {
            if (hi == mid) return;
            hi = mid;
        } else {
            if (lo == mid) return;
            lo = mid;
        }
    }
}

}  // namespace

std::u16string fit_with_ellipsis(const std::u16string& text, int box_width, const TextWidth& width) {
    if (text.empty() || width(text) <= box_width) return text;
    int e = width(std::u16string(1, ellipsis));
    std::size_t lo = 0, hi = text.size();
    halve(lo, hi, [&](std::size_t mid) { return width(text.substr(0, mid)) + e < box_width; });
    return text.substr(0, lo) + ellipsis;
}

std::u16string fit_with_left_ellipsis(const std::u16string& text, int box_width, const TextWidth& width) {
    if (text.empty() || width(text) <= box_width) return text;
    int e = width(std::u16string(1, ellipsis));
    std::size_t lo = 0, hi = text.size();
    halve(lo, hi, [&](std::size_t mid) { return width(text.substr(text.size() - mid)) + 2 * e < box_width; });
    return ellipsis + text.substr(text.size() - lo);
}

}  // namespace skinner
