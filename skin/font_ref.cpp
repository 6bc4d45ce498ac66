#include "skin/font_ref.h"

namespace skinner {

FontRef::FontRef(int scale) : scale_(scale) {
    FontCache::add_user();
    entry_ = FontCache::end();
}

FontRef::FontRef(const FontRef& other) : scale_(other.scale_) {
    FontCache::add_user();
    entry_ = other.entry_;
    FontCache::add_use(entry_);
}

FontRef& FontRef::operator=(const FontRef& other) {
    if (entry_ != other.entry_) {
        FontCache::add_use(other.entry_);
        release();
        entry_ = other.entry_;
    }
    scale_ = other.scale_;
    return *this;
}

FontRef::~FontRef() {
    release();
    FontCache::drop_user();
}

bool FontRef::set_description(const std::u16string& text) {
    auto description = FontDescription::parse(text);
    if (!description) return false;
    auto taken = FontCache::take({description->normalised(), scale_},
                                 [&] { return std::make_unique<FontRep>(*description, scale_); });
    release();
    entry_ = taken;
    return true;
}

void FontRef::release() {
    FontCache::release(entry_);
    entry_ = FontCache::end();
}

const FontRep* FontRef::get_font() const { return is_empty() ? nullptr : entry_->second.object.get(); }

}  // namespace skinner
