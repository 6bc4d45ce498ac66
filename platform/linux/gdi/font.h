// Fonts: a logical font description resolved to a FreeType face at a pixel size, with the
// face's rendered glyphs cached.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/linux/gdi/object.h"

namespace platform::gdi {

// Grey coverage (0-255) of one glyph, placed relative to the pen on the baseline.
struct Glyph {
    int left = 0;  // from the pen to the first column
    int top = 0;   // from the baseline up to the first row
    int width = 0;
    int height = 0;
    int advance = 0;  // whole pixels
    std::vector<std::uint8_t> coverage;
};

// Which face file stands for a description, and at which size.
struct FaceChoice {
    std::string file;
    int index = 0;
    int pixel_size = 0;  // the em size in pixels
};

class Face {
public:
    static std::shared_ptr<Face> open(FaceChoice const& choice);
    ~Face();

    Glyph const& glyph(char32_t character);
    int ascent() const { return ascent_; }
    int descent() const { return descent_; }
    int height() const { return ascent_ + descent_; }
    int underline_offset() const { return underline_offset_; }  // below the baseline
    int line_thickness() const { return line_thickness_; }
    FaceChoice const& choice() const { return choice_; }

private:
    Face() = default;
    struct Native;
    std::unique_ptr<Native> native_;
    FaceChoice choice_;
    int ascent_ = 0;
    int descent_ = 0;
    int underline_offset_ = 1;
    int line_thickness_ = 1;
    std::unordered_map<char32_t, Glyph> glyphs_;
};

// The stand-in face for a description: file and size. False when no face is found.
bool choose_face(LOGFONTW const& description, FaceChoice* choice);
// How glyphs are loaded and rendered, the same for the drawing and its reference.
int glyph_load_flags();

class Font : public Object {
public:
    static constexpr Kind object_kind = Kind::font;
    // Null when no face stands for the description.
    static Font* create(LOGFONTW const& description);

    LOGFONTW const& description() const { return description_; }
    Face& face() { return *face_; }

private:
    Font(LOGFONTW const& description, std::shared_ptr<Face> face);
    LOGFONTW description_;
    std::shared_ptr<Face> face_;
};

// Characters of a UTF-16 text (unpaired surrogates become U+FFFD).
std::u32string decode_utf16(std::u16string_view text);

}  // namespace platform::gdi
