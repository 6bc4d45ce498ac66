// The cursor a skin gives a control (its "Cursor" property): one of the system cursors,
// shown while the stylus is over the control.
#pragma once

#include <optional>
#include <string_view>

#include "platform/cursors.h"

namespace skinner {

class Cursor {
public:
    Cursor() = default;
    explicit Cursor(HCURSOR handle) : handle_(handle) {}

    // Reads a cursor name ("ARROW", "HAND", "IBEAM", ...; exact case). When the name is one
    // of the system cursors, stores its cursor and gives the end of the text; otherwise
    // stores none and gives nothing, and the caller treats the value as not given.
    std::optional<std::u16string_view::const_iterator> parse(std::u16string_view text);

    // Shows this cursor, or the arrow when it holds none.
    void show() const;

    HCURSOR get_handle() const { return handle_; }
    bool operator==(const Cursor&) const = default;

private:
    HCURSOR handle_ = nullptr;  // none: the default arrow; system cursors are never destroyed
};

// The system cursor's resource number for a cursor name, nothing for any other name.
std::optional<unsigned> cursor_id_from_name(std::u16string_view name);
// The system cursor for the name; an empty cursor for any other name.
Cursor cursor_from_name(std::u16string_view name);

}  // namespace skinner
