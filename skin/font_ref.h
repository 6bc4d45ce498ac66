// A counted reference to one font of the program-wide font cache, keyed by the normalised
// font description and the scale.
#pragma once

#include <string>
#include <tuple>

#include "platform/gdi.h"
#include "skin/canvas.h"
#include "skin/font_description.h"
#include "skin/resource_cache.h"

namespace skinner {

// The platform font made from a description at a scale; deleting it deletes the font.
class FontRep {
public:
    FontRep(const FontDescription& description, int scale);
    ~FontRep();
    FontRep(const FontRep&) = delete;
    FontRep& operator=(const FontRep&) = delete;

    // Null when the platform could not make the font.
    HFONT get_handle() const { return handle_; }

    const FontDescription& get_description() const { return description_; }
    int get_scale() const { return scale_; }
    int get_logical_height() const { return logical_height_; }
    int get_weight() const { return description_.bold ? 700 : 400; }

private:
    FontDescription description_;
    int scale_;
    int logical_height_;
    HFONT handle_ = nullptr;
};

struct FontKey {
    std::u16string description;
    int scale;

    bool operator<(const FontKey& other) const {
        return std::tie(scale, description) < std::tie(other.scale, other.description);
    }
};

using FontCache = ResourceCache<FontKey, FontRep>;

class FontRef {
public:
    explicit FontRef(int scale = 1);
    FontRef(const FontRef& other);
    FontRef& operator=(const FontRef& other);
    ~FontRef();

    // Parses the description; when it parses, this reference moves to the entry for
    // (normalised description, scale). Returns whether it parsed.
    bool set_description(const std::u16string& text);
    void release();

    const FontRep* get_font() const;
    HFONT get_handle() const { return is_empty() ? nullptr : get_font()->get_handle(); }

    // The size of the text in this font (DrawTextW measuring on a screen context); (0, 0)
    // for an empty reference, width 0 for an empty text.
    SIZE measure_text(const std::u16string& text) const;
    // Draws the text on one line in the box, transparent background; horizontal alignment 0
    // left, 1 centre, 2 right; vertical 0 top, 1 centre, 2 bottom. Nothing for an empty
    // reference.
    void draw_text(Canvas& canvas, COLORREF colour, const std::u16string& text, POINT position, POINT size,
                   int horizontal, int vertical) const;
    // The same, cut to the box with an ellipsis at the end, or at the start.
    void draw_text_ellipsis(Canvas& canvas, COLORREF colour, const std::u16string& text, POINT position, POINT size,
                            int horizontal, int vertical) const;
    void draw_text_left_ellipsis(Canvas& canvas, COLORREF colour, const std::u16string& text, POINT position,
                                 POINT size, int horizontal, int vertical) const;
    bool is_empty() const { return entry_ == FontCache::end(); }
    int get_scale() const { return scale_; }

private:
    FontCache::Position entry_;
    int scale_;
};

}  // namespace skinner
