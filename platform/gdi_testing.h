// What tests and benchmarks compare the drawing with: FreeType's own rendering of a text,
// glyph by glyph, in the face and size that a font stands for.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi.h"

namespace platform {

// One glyph's grey coverage (0-255), its top-left corner relative to the top-left corner of
// the text's cell.
struct RenderedGlyph {
    int x;
    int y;
    int width;
    int height;
    std::vector<unsigned char> coverage;
};

// FreeType with its own library and face for the font's face file and size, rendering
// every character afresh (no cache), each glyph advanced by its rounded advance.
class FreeTypeText {
public:
    explicit FreeTypeText(HFONT font);
    ~FreeTypeText();
    FreeTypeText(FreeTypeText const&) = delete;
    FreeTypeText& operator=(FreeTypeText const&) = delete;

    // Empty when the handle was not a font.
    std::vector<RenderedGlyph> render(std::u16string_view text);

private:
    struct State;
    std::unique_ptr<State> state_;
};

// One text through a FreeTypeText of its own.
std::vector<RenderedGlyph> render_with_freetype(HFONT font, std::u16string_view text);

// The face file that stands for the font, empty for a handle that is not a font.
std::string font_face_file(HFONT font);

}  // namespace platform
