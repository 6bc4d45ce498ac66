// A counted reference to one picture of the program-wide picture cache, with the nine-band
// layout of the part of the picture it shows.
#pragma once

#include <string>
#include <tuple>

#include "skin/canvas.h"
#include "skin/picture.h"
#include "skin/resource_cache.h"

namespace skinner {

struct PictureKey {
    std::u16string source;
    std::u16string name;
    int scale;

    bool operator<(const PictureKey& other) const {
        return std::tie(scale, source, name) < std::tie(other.scale, other.source, other.name);
    }
};

using PictureCache = ResourceCache<PictureKey, Picture>;

class PictureRef {
public:
    PictureRef();
    // The whole picture as its middle band; scale 1 unless given.
    PictureRef(const std::u16string& source, const std::u16string& name, bool stretch = true, int scale = 1);
    PictureRef(const PictureRef& other);
    PictureRef& operator=(const PictureRef& other);
    ~PictureRef();

    // Drops this reference's use of its entry; the reference is then empty.
    void release();

    void set_origin(POINT p) { points_[0] = p; }
    void set_middle_begin(POINT p) { points_[1] = p; }
    void set_middle_end(POINT p) { points_[2] = p; }
    void set_end(POINT p) { points_[3] = p; }
    void set_points(POINT origin, POINT middle_begin, POINT middle_end, POINT end);
    void set_stretch(bool stretch) { stretch_ = stretch; }
    bool get_stretch() const { return stretch_; }
    const POINT* get_points() const { return points_; }

    const Picture* get_picture() const;
    // Sets the alternative-blit flag of the shared picture: every reference to it sees it.
    void set_alternative_blit(bool on);
    bool is_empty() const { return entry_ == PictureCache::end(); }
    // End minus origin on each axis.
    POINT get_size() const;
    // The fixed bands together.
    POINT get_min_size() const;
    // The picture pixel that destination point p shows for a destination from position
    // (inclusive) to limit (exclusive); a coordinate is -1 outside.
    POINT map_point(POINT p, POINT position, POINT limit) const;
    void draw(PixelImage& target, POINT position, POINT size) const;
    // Draws into the rectangle of the canvas, within its clip.
    void draw(Canvas& canvas, POINT position, POINT size) const;
    bool is_transparent_at(POINT p, POINT position, POINT size) const;

private:
    PictureCache::Position entry_;
    POINT points_[4] = {};
    bool stretch_ = true;
};

}  // namespace skinner
