#include "skin/skin_work_area.h"

#include <utility>

namespace skinner {
namespace {

WorkAreaSource& the_source() {
    static WorkAreaSource source;
    return source;
}

}  // namespace

WorkAreaSource set_work_area_source(WorkAreaSource source) {
    WorkAreaSource previous = std::move(the_source());
    the_source() = std::move(source);
    return previous;
}

Size get_skin_work_area(Size screen) {
    if (the_source()) return the_source()(screen);
    return screen;
}

}  // namespace skinner
