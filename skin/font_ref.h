// A counted reference to one font of the program-wide font cache, keyed by the normalised
// font description and the scale.
#pragma once

#include <string>
#include <tuple>

#include "skin/font_description.h"
#include "skin/resource_cache.h"

namespace skinner {

// The font made from a description at a scale. The drawing layer's font handle is made from
// what it holds.
class FontRep {
public:
    FontRep(const FontDescription& description, int scale)
        : description_(description), scale_(scale), logical_height_(description.logical_height(scale)) {}

    const FontDescription& get_description() const { return description_; }
    int get_scale() const { return scale_; }
    int get_logical_height() const { return logical_height_; }
    int get_weight() const { return description_.bold ? 700 : 400; }

private:
    FontDescription description_;
    int scale_;
    int logical_height_;
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
    bool is_empty() const { return entry_ == FontCache::end(); }
    int get_scale() const { return scale_; }

private:
    FontCache::Position entry_;
    int scale_;
};

}  // namespace skinner
