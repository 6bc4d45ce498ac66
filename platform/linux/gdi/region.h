// A region object: an area that callers combine and select as a clip.
#pragma once

#include "platform/linux/gdi/area.h"
#include "platform/linux/gdi/object.h"

namespace platform::gdi {

class Region : public Object {
public:
    static constexpr Kind object_kind = Kind::region;
    explicit Region(Area area) : Object(Kind::region), area(std::move(area)) {}
    Area area;
};

}  // namespace platform::gdi
