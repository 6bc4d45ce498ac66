#include "skin/cursor.h"

#include <array>
#include <cstdint>
#include <utility>

namespace skinner {

namespace {

constexpr std::array<std::pair<std::u16string_view, unsigned>, 12> system_cursors = {{
    {u"ARROW", 32512},
    {u"HAND", 32649},
    {u"IBEAM", 32513},
    {u"SIZENESW", 32643},
    {u"SIZENS", 32645},
    {u"SIZENWSE", 32642},
    {u"SIZEWE", 32644},
    {u"WAIT", 32514},
    {u"SIZEALL", 32646},
    {u"NO", 32648},
    {u"HELP", 32651},
    {u"APPSTARTING", 32650},
}};

HCURSOR load_system_cursor(unsigned id) {
    return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(static_cast<std::uintptr_t>(id)));
}

HCURSOR arrow() {
    static HCURSOR const loaded_once = LoadCursorW(nullptr, IDC_ARROW);
    return loaded_once;
}

}  // namespace

std::optional<unsigned> cursor_id_from_name(std::u16string_view name) {
    for (auto const& [cursor_name, id] : system_cursors) {
        if (cursor_name == name) return id;
    }
    return std::nullopt;
}

Cursor cursor_from_name(std::u16string_view name) {
    auto const id = cursor_id_from_name(name);
    return Cursor(id ? load_system_cursor(*id) : nullptr);
}

std::optional<std::u16string_view::const_iterator> Cursor::parse(std::u16string_view text) {
    auto const id = cursor_id_from_name(text);
    handle_ = id ? load_system_cursor(*id) : nullptr;
    if (!id) return std::nullopt;
    return text.end();
}

void Cursor::show() const { SetCursor(handle_ ? handle_ : arrow()); }

}  // namespace skinner
