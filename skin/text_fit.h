// Where a text that is too wide is cut for an ellipsis (U+2026).
#pragma once

#include <functional>
#include <string>

namespace skinner {

// The width of a text in the font in use.
using TextWidth = std::function<int(const std::u16string&)>;

// The text as drawn in a box of the width: unchanged when it fits (no wider than the box) or is empty, else the
// longest fitting beginning followed by an ellipsis.
std::u16string fit_with_ellipsis(const std::u16string& text, int box_width, const TextWidth& width);
// The same with an ellipsis followed by the longest fitting end.
std::u16string fit_with_left_ellipsis(const std::u16string& text, int box_width, const TextWidth& width);

}  // namespace skinner
