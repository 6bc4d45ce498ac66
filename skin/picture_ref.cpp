#include "skin/picture_ref.h"

#include <algorithm>

#include "skin/pixels32.h"

namespace skinner {

PictureRef::PictureRef() {
    PictureCache::add_user();
    entry_ = PictureCache::end();
}

PictureRef::PictureRef(const std::u16string& source, const std::u16string& name, bool stretch, int scale)
    : stretch_(stretch) {
    PictureCache::add_user();
    entry_ = PictureCache::take({source, name, scale}, [&] { return std::make_unique<Picture>(source, name, scale); });
    const Picture& picture = *entry_->second.object;
    POINT size{picture.get_width(), picture.get_height()};
    set_points({0, 0}, {0, 0}, size, size);
}

PictureRef::PictureRef(const PictureRef& other) : stretch_(other.stretch_) {
    PictureCache::add_user();
    entry_ = other.entry_;
    PictureCache::add_use(entry_);
    std::copy(other.points_, other.points_ + 4, points_);
}

PictureRef& PictureRef::operator=(const PictureRef& other) {
    if (entry_ != other.entry_) {
        PictureCache::add_use(other.entry_);
        release();
        entry_ = other.entry_;
    }
    std::copy(other.points_, other.points_ + 4, points_);
    stretch_ = other.stretch_;
    return *this;
}

PictureRef::~PictureRef() {
    release();
    PictureCache::drop_user();
}

void PictureRef::release() {
    PictureCache::release(entry_);
    entry_ = PictureCache::end();
}

void PictureRef::set_points(POINT origin, POINT middle_begin, POINT middle_end, POINT end) {
    points_[0] = origin;
    points_[1] = middle_begin;
    points_[2] = middle_end;
    points_[3] = end;
}

const Picture* PictureRef::get_picture() const { return is_empty() ? nullptr : entry_->second.object.get(); }

void PictureRef::set_alternative_blit(bool on) {
    if (!is_empty() && entry_->second.object) entry_->second.object->set_alternative_blit(on);
}

POINT PictureRef::get_size() const { return {points_[3].x - points_[0].x, points_[3].y - points_[0].y}; }

POINT PictureRef::get_min_size() const {
    return {(points_[1].x - points_[0].x) + (points_[3].x - points_[2].x),
            (points_[1].y - points_[0].y) + (points_[3].y - points_[2].y)};
}

POINT PictureRef::map_point(POINT p, POINT position, POINT limit) const {
    BandAxis x{points_[0].x, points_[1].x, points_[2].x, points_[3].x};
    BandAxis y{points_[0].y, points_[1].y, points_[2].y, points_[3].y};
    return {map_band(p.x, position.x, limit.x, x, stretch_), map_band(p.y, position.y, limit.y, y, stretch_)};
}

void PictureRef::draw(PixelImage& target, POINT position, POINT size) const {
    const Picture* picture = get_picture();
    if (picture == nullptr || size.x < 1 || size.y < 1) return;
    picture->draw(target, {position.x, position.y, position.x + size.x, position.y + size.y}, points_, stretch_);
}

void PictureRef::draw(Canvas& canvas, POINT position, POINT size) const {
    if (get_picture() == nullptr || size.x < 1 || size.y < 1) return;
    Pixels32 destination(canvas, {position.x, position.y, position.x + size.x, position.y + size.y});
    if (destination.empty()) return;
    POINT origin = destination.get_origin();
    draw(destination.get_pixels(), {position.x - origin.x, position.y - origin.y}, size);
    destination.write_back();
}

bool PictureRef::is_transparent_at(POINT p, POINT position, POINT size) const {
    const Picture* picture = get_picture();
    if (picture == nullptr) return true;
    POINT mapped = map_point(p, position, {position.x + size.x, position.y + size.y});
    if (mapped.x < 0 || mapped.y < 0) return true;
    return picture->is_transparent_at(mapped.x, mapped.y);
}

}  // namespace skinner
