// Skin font descriptions: "size bold italic underline face", as in "14 1 0 0 Tahoma".
#pragma once

#include <optional>
#include <string>

namespace skinner {

struct FontDescription {
    static constexpr std::size_t max_face_length = 31;

    int size = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    std::u16string face;

    // Four decimal integers and a face name (the rest of the text, at most 31 characters),
    // separated by blanks; nothing when a part is missing.
    static std::optional<FontDescription> parse(const std::u16string& text);
    // The description in one spelling: single blanks, flags as 0 or 1, the face as used.
    std::u16string normalised() const;
    // The logical font height at the scale: the points at a fixed 96 dots per inch, negated.
    int logical_height(int scale) const;
};

}  // namespace skinner
