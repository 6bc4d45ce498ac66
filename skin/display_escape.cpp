#include "skin/display_escape.h"

#include <utility>

#include "platform/gdi.h"

namespace skinner::display {
namespace {

Escape& override_slot() {
    static Escape escape;
    return escape;
}

}  // namespace

int ext_escape(HDC dc, int escape, int input_size, const char* input, int output_size, char* output) {
    if (override_slot()) return override_slot()(dc, escape, input_size, input, output_size, output);
    return ExtEscape(dc, escape, input_size, input, output_size, output);
}

void set_escape_override(Escape escape) { override_slot() = std::move(escape); }

}  // namespace skinner::display
