#include "skin/skin_resources.h"

namespace skinner {
namespace {

SkinResourcesFactory& the_factory() {
    static SkinResourcesFactory factory;
    return factory;
}

}  // namespace

bool SkinResourceNames::add_picture(const std::u16string&, const std::u16string& name, int) {
    pictures_.push_back(name);
    return true;
}

void SkinResourceNames::add_font(const std::u16string& description, int) {
    fonts_.push_back(description);
}

SkinResourcesFactory set_skin_resources_factory(SkinResourcesFactory factory) {
    SkinResourcesFactory previous = std::move(the_factory());
    the_factory() = std::move(factory);
    return previous;
}

std::unique_ptr<SkinResources> make_skin_resources() {
    if (the_factory()) return the_factory()();
    return std::make_unique<SkinResourceNames>();
}

}  // namespace skinner
