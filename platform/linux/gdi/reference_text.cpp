// FreeType's own rendering, for tests and benchmarks to compare the drawing with.
#include <ft2build.h>
#include FT_FREETYPE_H

#include "platform/gdi_testing.h"
#include "platform/linux/gdi/font.h"

using namespace platform::gdi;

namespace platform {

struct FreeTypeText::State {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    int ascent = 0;
    ~State() {
        if (face != nullptr) FT_Done_Face(face);
        if (library != nullptr) FT_Done_FreeType(library);
    }
};

FreeTypeText::FreeTypeText(HFONT font) : state_(std::make_unique<State>()) {
    FaceChoice choice;
    {
        auto lock = lock_drawing();
        Font* found = find<Font>(font);
        if (found == nullptr) return;
        choice = found->face().choice();
    }
    if (FT_Init_FreeType(&state_->library) != 0) return;
    if (FT_New_Face(state_->library, choice.file.c_str(), choice.index, &state_->face) != 0 ||
        FT_Set_Pixel_Sizes(state_->face, 0, static_cast<FT_UInt>(choice.pixel_size)) != 0) {
        if (state_->face != nullptr) FT_Done_Face(state_->face);
        state_->face = nullptr;
        return;
    }
    state_->ascent = static_cast<int>((state_->face->size->metrics.ascender + 63) >> 6);
}

FreeTypeText::~FreeTypeText() = default;

std::vector<RenderedGlyph> FreeTypeText::render(std::u16string_view text) {
    std::vector<RenderedGlyph> glyphs;
    FT_Face face = state_->face;
    if (face == nullptr) return glyphs;
    int pen = 0;
    for (char32_t c : decode_utf16(text)) {
        if (FT_Load_Char(face, c, glyph_load_flags()) != 0) continue;
        FT_Bitmap const& bitmap = face->glyph->bitmap;
        RenderedGlyph glyph{pen + face->glyph->bitmap_left, state_->ascent - face->glyph->bitmap_top,
                            static_cast<int>(bitmap.width), static_cast<int>(bitmap.rows), {}};
        for (unsigned row = 0; row < bitmap.rows; ++row) {
            unsigned char const* line = bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch;
            glyph.coverage.insert(glyph.coverage.end(), line, line + bitmap.width);
        }
        glyphs.push_back(std::move(glyph));
        pen += static_cast<int>((face->glyph->advance.x + 32) >> 6);
    }
    return glyphs;
}

std::vector<RenderedGlyph> render_with_freetype(HFONT font, std::u16string_view text) {
    return FreeTypeText(font).render(text);
}

std::string font_face_file(HFONT font) {
    auto lock = lock_drawing();
    Font* found = find<Font>(font);
    return found != nullptr ? found->face().choice().file : std::string();
}

}  // namespace platform
