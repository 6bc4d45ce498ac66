#include <cstdint>

#include "platform/text.h"
#include "platform/unicode.h"

namespace {

template <char16_t (*Map)(char16_t)>
DWORD map_buffer(LPWSTR text, DWORD length) {
    if (!text) return 0;
    for (DWORD i = 0; i < length; ++i) text[i] = Map(text[i]);
    return length;
}

// A pointer value below 0x10000 carries one character instead of pointing at a text.
template <char16_t (*Map)(char16_t)>
LPWSTR map_text(LPWSTR text) {
    auto const value = reinterpret_cast<std::uintptr_t>(text);
    if (value >> 16 == 0) {
        return reinterpret_cast<LPWSTR>(static_cast<std::uintptr_t>(Map(static_cast<char16_t>(value))));
    }
    for (LPWSTR p = text; *p; ++p) *p = Map(*p);
    return text;
}

}  // namespace

DWORD CharLowerBuffW(LPWSTR text, DWORD length) { return map_buffer<platform::to_lower>(text, length); }
DWORD CharUpperBuffW(LPWSTR text, DWORD length) { return map_buffer<platform::to_upper>(text, length); }
LPWSTR CharLowerW(LPWSTR text) { return map_text<platform::to_lower>(text); }
LPWSTR CharUpperW(LPWSTR text) { return map_text<platform::to_upper>(text); }
