#include "platform/linux/gdi/font.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <map>
#include <utility>

#include "platform/linux/gdi/device_context.h"

namespace platform::gdi {
namespace {

constexpr int max_pixel_size = 512;

FT_Library freetype() {
    static FT_Library library = [] {
        FT_Library made = nullptr;
        if (FT_Init_FreeType(&made) != 0) return static_cast<FT_Library>(nullptr);
        return made;
    }();
    return library;
}

std::string lower_ascii(std::u16string_view text) {
    std::string result;
    for (char16_t c : text) {
        if (c == 0) break;
        result.push_back(c < 128 ? static_cast<char>(std::tolower(c)) : '?');
    }
    return result;
}

// The DejaVu family standing in for a face name.
char const* stand_in_family(std::u16string_view face_name) {
    std::string const name = lower_ascii(face_name);
    static std::map<std::string, char const*> const families = {
        {"arial", "DejaVu Sans"},          {"helvetica", "DejaVu Sans"},
        {"verdana", "DejaVu Sans"},        {"segoe ui", "DejaVu Sans"},
        {"ms sans serif", "DejaVu Sans"},  {"sans", "DejaVu Sans"},
        {"dejavu sans", "DejaVu Sans"},    {"courier new", "DejaVu Sans Mono"},
        {"courier", "DejaVu Sans Mono"},   {"lucida console", "DejaVu Sans Mono"},
        {"monospace", "DejaVu Sans Mono"}, {"dejavu sans mono", "DejaVu Sans Mono"},
        {"times new roman", "DejaVu Serif"}, {"times", "DejaVu Serif"},
        {"georgia", "DejaVu Serif"},       {"serif", "DejaVu Serif"},
        {"dejavu serif", "DejaVu Serif"},
    };
    auto const found = families.find(name);
    return found != families.end() ? found->second : "DejaVu Sans Condensed";
}

bool has_family(FcPattern* pattern, char const* family) {
    FcChar8* value = nullptr;
    for (int i = 0; FcPatternGetString(pattern, FC_FAMILY, i, &value) == FcResultMatch; ++i) {
        if (FcStrCmpIgnoreCase(value, reinterpret_cast<FcChar8 const*>(family)) == 0) return true;
    }
    return false;
}

// fontconfig keeps memory that only FcFini gives back; it runs at exit.
bool start_fontconfig() {
    static bool const started = [] {
        if (FcInit() == FcFalse) return false;
        std::atexit([] { FcFini(); });
        return true;
    }();
    return started;
}

bool match_face_file(char const* family, bool bold, bool italic, FaceChoice* choice) {
    if (!start_fontconfig()) return false;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<FcChar8 const*>(family));
    FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_OBLIQUE : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    bool found = false;
    FcChar8* file = nullptr;
    if (match != nullptr && has_family(match, family) &&
        FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
        choice->file = reinterpret_cast<char const*>(file);
        int index = 0;
        FcPatternGetInteger(match, FC_INDEX, 0, &index);
        choice->index = index;
        found = true;
    }
    if (match != nullptr) FcPatternDestroy(match);
    return found;
}

int round_up_26_6(FT_Pos value) { return static_cast<int>((value + 63) >> 6); }

// Matches are kept: a family and style always stand for the same file.
bool find_face_file(char const* family, bool bold, bool italic, FaceChoice* choice) {
    static std::map<std::string, std::optional<FaceChoice>> matches;
    std::string const key = std::string(family) + (bold ? "/bold" : "/regular") + (italic ? "/italic" : "/roman");
    auto found = matches.find(key);
    if (found == matches.end()) {
        FaceChoice matched;
        std::optional<FaceChoice> result;
        if (match_face_file(family, bold, italic, &matched)) result = matched;
        found = matches.emplace(key, result).first;
    }
    if (!found->second) return false;
    *choice = *found->second;
    return true;
}

// The em size for a logical height: negative = the em itself, positive = the cell.
int pixel_size_for(LONG logical_height, FaceChoice const& choice) {
    if (logical_height < 0) return static_cast<int>(std::min<long long>(-static_cast<long long>(logical_height), max_pixel_size));
    if (logical_height == 0) return 12 * screen_metrics().dots_per_inch / 96;
    FT_Face face = nullptr;
    if (FT_New_Face(freetype(), choice.file.c_str(), choice.index, &face) != 0) return 0;
    long const cell = face->ascender - face->descender;
    int size = cell > 0 ? static_cast<int>(std::lround(static_cast<double>(logical_height) * face->units_per_EM / cell))
                        : static_cast<int>(logical_height);
    size = std::clamp(size, 1, max_pixel_size);
    // The largest size whose rounded cell fits the height asked for.
    while (size > 1 && FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(size)) == 0 &&
           round_up_26_6(face->size->metrics.ascender) + round_up_26_6(-face->size->metrics.descender) > logical_height) {
        --size;
    }
    FT_Done_Face(face);
    return size;
}

std::map<std::pair<std::string, int>, std::shared_ptr<Face>>& face_cache() {
    static auto* cache = new std::map<std::pair<std::string, int>, std::shared_ptr<Face>>;
    return *cache;
}

}  // namespace

struct Face::Native {
    FT_Face face = nullptr;
    ~Native() {
        if (face != nullptr) FT_Done_Face(face);
    }
};

int glyph_load_flags() { return FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT | FT_LOAD_NO_BITMAP; }

bool choose_face(LOGFONTW const& description, FaceChoice* choice) {
    if (freetype() == nullptr) return false;
    std::u16string_view const name(description.lfFaceName,
                                   std::find(description.lfFaceName, description.lfFaceName + LF_FACESIZE, u'\0') -
                                       description.lfFaceName);
    bool const bold = description.lfWeight >= 600;
    bool const italic = description.lfItalic != 0;
    char const* family = stand_in_family(name);
    bool found = find_face_file(family, bold, italic, choice) || find_face_file("DejaVu Sans", bold, italic, choice);
    if (!found) return false;
    choice->pixel_size = pixel_size_for(description.lfHeight, *choice);
    return choice->pixel_size > 0;
}

std::shared_ptr<Face> Face::open(FaceChoice const& choice) {
    auto const key = std::make_pair(choice.file + "#" + std::to_string(choice.index), choice.pixel_size);
    auto& cache = face_cache();
    auto const cached = cache.find(key);
    if (cached != cache.end()) return cached->second;
    std::shared_ptr<Face> face(new Face);
    face->native_ = std::make_unique<Native>();
    face->choice_ = choice;
    FT_Face& native = face->native_->face;
    if (FT_New_Face(freetype(), choice.file.c_str(), choice.index, &native) != 0 ||
        FT_Set_Pixel_Sizes(native, 0, static_cast<FT_UInt>(choice.pixel_size)) != 0) {
        return nullptr;
    }
    face->ascent_ = round_up_26_6(native->size->metrics.ascender);
    face->descent_ = round_up_26_6(-native->size->metrics.descender);
    face->underline_offset_ =
        std::max(1, static_cast<int>(-FT_MulFix(native->underline_position, native->size->metrics.y_scale) >> 6));
    face->line_thickness_ =
        std::max(1, static_cast<int>(FT_MulFix(native->underline_thickness, native->size->metrics.y_scale) >> 6));
    cache.emplace(key, face);
    return face;
}

Face::~Face() = default;

Glyph const& Face::glyph(char32_t character) {
    auto const cached = glyphs_.find(character);
    if (cached != glyphs_.end()) return cached->second;
    Glyph& glyph = glyphs_[character];
    FT_Face face = native_->face;
    if (FT_Load_Char(face, character, glyph_load_flags()) != 0) return glyph;
    FT_GlyphSlot slot = face->glyph;
    glyph.advance = static_cast<int>((slot->advance.x + 32) >> 6);
    FT_Bitmap const& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) return glyph;
    glyph.left = slot->bitmap_left;
    glyph.top = slot->bitmap_top;
    glyph.width = static_cast<int>(bitmap.width);
    glyph.height = static_cast<int>(bitmap.rows);
    glyph.coverage.resize(static_cast<std::size_t>(glyph.width) * glyph.height);
    for (int row = 0; row < glyph.height; ++row) {
        std::copy_n(bitmap.buffer + static_cast<std::ptrdiff_t>(row) * bitmap.pitch, glyph.width,
                    glyph.coverage.begin() + static_cast<std::ptrdiff_t>(row) * glyph.width);
    }
    return glyph;
}

Font::Font(LOGFONTW const& description, std::shared_ptr<Face> face)
    : Object(Kind::font), description_(description), face_(std::move(face)) {}

Font* Font::create(LOGFONTW const& description) {
    FaceChoice choice;
    if (!choose_face(description, &choice)) return nullptr;
    std::shared_ptr<Face> face = Face::open(choice);
    if (!face) return nullptr;
    return new Font(description, std::move(face));
}

std::u32string decode_utf16(std::u16string_view text) {
    std::u32string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t const unit = text[i];
        if (unit >= 0xD800 && unit < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
            result.push_back(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
            ++i;
        } else if (unit >= 0xD800 && unit < 0xE000) {
            result.push_back(0xFFFD);
        } else {
            result.push_back(unit);
        }
    }
    return result;
}

}  // namespace platform::gdi
