#include "skin/skin_resources.h"

namespace skinner {
namespace {

SkinResourcesFactory& the_factory() {
    static SkinResourcesFactory factory;
    return factory;
}

POINT to_point(Point p) { return {p.x, p.y}; }

}  // namespace

PictureRef SkinResources::make_picture(const PicturePart& part) const {
    PictureRef picture;
    picture.set_points(to_point(part.outer_top_left), to_point(part.inner_top_left),
                       to_point(part.inner_bottom_right), to_point(part.outer_bottom_right));
    picture.set_stretch(part.stretch);
    return picture;
}

FontRef SkinResources::make_font(int) const { return FontRef(); }

bool SkinResourceNames::add_picture(const std::u16string&, const std::u16string& name, int) {
    pictures_.push_back(name);
    return true;
}

void SkinResourceNames::add_font(const std::u16string& description, int) {
    fonts_.push_back(description);
}

bool CachedSkinResources::add_picture(const std::u16string& skin_path, const std::u16string& name, int scale) {
    pictures_.emplace_back(skin_path, name, false, scale);
    const Picture* picture = pictures_.back().get_picture();
    return picture == nullptr || picture->is_loaded();
}

void CachedSkinResources::add_font(const std::u16string& description, int scale) {
    fonts_.emplace_back(scale);
    fonts_.back().set_description(description);
}

PictureRef CachedSkinResources::make_picture(const PicturePart& part) const {
    PictureRef picture = SkinResources::make_picture(part);
    if (part.picture < 0 || static_cast<std::size_t>(part.picture) >= pictures_.size()) return picture;
    PictureRef shared = pictures_[static_cast<std::size_t>(part.picture)];
    shared.set_points(picture.get_points()[0], picture.get_points()[1], picture.get_points()[2],
                      picture.get_points()[3]);
    shared.set_stretch(part.stretch);
    return shared;
}

FontRef CachedSkinResources::make_font(int index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= fonts_.size()) return FontRef();
    return fonts_[static_cast<std::size_t>(index)];
}

SkinResourcesFactory set_skin_resources_factory(SkinResourcesFactory factory) {
    SkinResourcesFactory previous = std::move(the_factory());
    the_factory() = std::move(factory);
    return previous;
}

std::unique_ptr<SkinResources> make_skin_resources() {
    if (the_factory()) return the_factory()();
    return std::make_unique<CachedSkinResources>();
}

}  // namespace skinner
