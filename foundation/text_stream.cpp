#include "foundation/text_stream.h"

#include <cstdio>

#include "foundation/small_helpers.h"
#include "foundation/text_convert.h"

namespace liba {
namespace {

WideTextOStream& write_text(WideTextOStream& stream, const std::u16string& text) {
    stream.write(text.data(), text.data() + text.size());
    return stream;
}

}  // namespace

WideTextOStream& operator<<(WideTextOStream& stream, const char* text) {
    return write_text(stream, to_wstring(text));
}

WideTextOStream& operator<<(WideTextOStream& stream, const char16_t* text) {
    return write_text(stream, text);
}

WideTextOStream& operator<<(WideTextOStream& stream, const std::u16string& text) {
    return write_text(stream, text);
}

WideTextOStream& operator<<(WideTextOStream& stream, int value) {
    return write_text(stream, int_to_wstring(value));
}

WideTextOStream& operator<<(WideTextOStream& stream, unsigned int value) {
    char text[16];
    int const length = std::snprintf(text, sizeof text, "%u", value);
    return write_text(stream, std::u16string(text, text + length));
}

WideTextOStream& operator<<(WideTextOStream& stream, double value) {
    std::u16string text;
    narrow_to_wide(format_double(value), text);
    return write_text(stream, text);
}

}  // namespace liba
