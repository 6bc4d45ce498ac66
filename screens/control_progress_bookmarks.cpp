#include "screens/control_progress_bookmarks.h"

#include <algorithm>

namespace screens {

ControlProgressBookmarks::ControlProgressBookmarks(skinner::Container* container, const std::u16string& name,
                                                   int lookup_mode)
    : skinner::ControlProgress(container, name, lookup_mode) {
    load_mark_picture();
}

ControlProgressBookmarks::~ControlProgressBookmarks() = default;

void ControlProgressBookmarks::load_properties() {
    skinner::ControlProgress::load_properties();
    load_mark_picture();
}

void ControlProgressBookmarks::load_mark_picture() {
    if (get_lookup_mode() == skinner::LOOKUP_NONE) return;
    mark_ = get_picture_property(u"Bookmark", mark_);
}

void ControlProgressBookmarks::set_bookmarks(std::int64_t total, const Bookmarks* bookmarks) {
    total_ = total;
    marks_.clear();
    if (bookmarks != nullptr) {
        for (int i = 0; i < bookmarks->size(); ++i) marks_.push_back(bookmarks->get(i).position);
    }
    repaint();
}

bool ControlProgressBookmarks::mark_rect(std::int32_t position, Rect& rect) const {
    if (position == 0 || total_ <= 0) return false;
    double const fraction = std::clamp(static_cast<double>(position) / static_cast<double>(total_), 0.0, 1.0);
    Rect const handle = handle_rect(fraction);
    POINT const size = mark_.get_size();
    rect.position = {handle.position.x + handle.size.width / 2 - size.x / 2, handle.position.y};
    rect.size = {size.x, size.y};
    return true;
}

void ControlProgressBookmarks::paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) {
    paint_bar(canvas);
    for (std::int32_t const position : marks_) {
        Rect mark;
        if (!mark_rect(position, mark)) continue;
        mark_.draw(canvas, POINT{mark.position.x, mark.position.y}, POINT{mark.size.width, mark.size.height});
    }
    paint_handle(canvas);
    skinner::Control::paint(canvas, clip_position, clip_size);
}

}  // namespace screens
