// The pictures and fonts of a loaded skin, as the skin reader sees them: it adds one
// entry per picture name and per font description of the skin's name pool, and lookups
// hand out indexes into those lists. The picture and font caches of the framework
// implement this; until then SkinResourceNames keeps only the names.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/geometry.h"

namespace skinner {

class SkinResources {
public:
    virtual ~SkinResources() = default;

    // Adds the skin's next picture, loaded at the scale from the skin file's archive or
    // folder. False when the picture exists but could not be made into a colour bitmap:
    // the skin is then unusable. A picture that is not found at all is not a failure.
    virtual bool add_picture(const std::u16string& skin_path, const std::u16string& name, int scale) = 0;
    // Adds the skin's next font; a description that does not parse leaves an empty entry.
    virtual void add_font(const std::u16string& description, int scale) = 0;
};

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

// Keeps the names and descriptions only; every picture counts as loaded.
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

// Makes the resource lists of each skin that is loaded.
using SkinResourcesFactory = std::function<std::unique_ptr<SkinResources>()>;
// Replaces the factory; an empty one puts back the default (SkinResourceNames). Returns
// the previous one.
SkinResourcesFactory set_skin_resources_factory(SkinResourcesFactory factory);
std::unique_ptr<SkinResources> make_skin_resources();

}  // namespace skinner
