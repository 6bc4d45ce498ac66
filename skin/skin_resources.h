// The pictures and fonts of a loaded skin, as the skin reader sees them: it adds one
// entry per picture name and per font description of the skin's name pool, and lookups
// hand out indexes into those lists. CachedSkinResources (the default) keeps them in the
// program's picture and font caches; SkinResourceNames keeps only the names.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/font_ref.h"
#include "skin/geometry.h"
#include "skin/picture_ref.h"

namespace skinner {

// The part of a skin picture that a picture property stands for: the picture's index in
// the skin's list (-1: none), the outer and inner corners of its nine-part frame (already
// times the skin's scale) and whether the frame's edges and centre stretch.
struct PicturePart {
    int picture = -1;
    Point outer_top_left;
    Point inner_top_left;
    Point inner_bottom_right;
    Point outer_bottom_right;
    bool stretch = false;
    bool operator==(const PicturePart&) const = default;
};

class SkinResources {
public:
    virtual ~SkinResources() = default;

    // Adds the skin's next picture, loaded at the scale from the skin file's archive or
    // folder. False when the picture could not be made into a colour bitmap: the skin is
    // then unusable.
    virtual bool add_picture(const std::u16string& skin_path, const std::u16string& name, int scale) = 0;
    // Adds the skin's next font; a description that does not parse leaves an empty entry.
    virtual void add_font(const std::u16string& description, int scale) = 0;

    // A reference to the part's picture with the part's corners and stretch flag; empty
    // (corners and flag still set) when the list has no such picture.
    virtual PictureRef make_picture(const PicturePart& part) const;
    // A reference sharing the index-th font; empty when the list has no such font.
    virtual FontRef make_font(int index) const;
};

// Keeps the names and descriptions only; every picture counts as loaded. For reading a
// skin's records without its pictures (checks, tools, measurements).
class SkinResourceNames : public SkinResources {
public:
    bool add_picture(const std::u16string& skin_path, const std::u16string& name, int scale) override;
    void add_font(const std::u16string& description, int scale) override;

    const std::vector<std::u16string>& get_pictures() const { return pictures_; }
    const std::vector<std::u16string>& get_fonts() const { return fonts_; }

private:
    std::vector<std::u16string> pictures_;
    std::vector<std::u16string> fonts_;
};

// The skin's pictures and fonts held in the program's caches for the life of the skin.
class CachedSkinResources : public SkinResources {
public:
    bool add_picture(const std::u16string& skin_path, const std::u16string& name, int scale) override;
    void add_font(const std::u16string& description, int scale) override;
    PictureRef make_picture(const PicturePart& part) const override;
    FontRef make_font(int index) const override;

    const std::vector<PictureRef>& get_pictures() const { return pictures_; }
    const std::vector<FontRef>& get_fonts() const { return fonts_; }

private:
    std::vector<PictureRef> pictures_;
    std::vector<FontRef> fonts_;
};

// Makes the resource lists of each skin that is loaded.
using SkinResourcesFactory = std::function<std::unique_ptr<SkinResources>()>;
// Replaces the factory; an empty one puts back the default (CachedSkinResources). Returns
// the previous one.
SkinResourcesFactory set_skin_resources_factory(SkinResourcesFactory factory);
std::unique_ptr<SkinResources> make_skin_resources();

}  // namespace skinner
