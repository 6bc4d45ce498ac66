// The position bar of the main form: a progress bar that also marks every bookmark of the
// current file with the picture "Bookmark", under the handle.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "audio/bookmarks.h"
#include "skin/progress.h"

namespace screens {

class ControlProgressBookmarks : public skinner::ControlProgress {
public:
    ControlProgressBookmarks(skinner::Container* container, const std::u16string& name,
                             int lookup_mode = skinner::LOOKUP_BY_NAME);
    ~ControlProgressBookmarks() override;

    void paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) override;
    void load_properties() override;

    // Keeps a copy of the bookmarks' positions (none for null), so the list may change or
    // go away afterwards; total is the length in the positions' units. Repaints.
    void set_bookmarks(std::int64_t total, const Bookmarks* bookmarks);

    std::int64_t get_total() const { return total_; }
    const std::vector<std::int32_t>& get_marks() const { return marks_; }
    // Where the mark of a position is drawn; false when it is not drawn (position 0, or a
    // total of 0 or less).
    bool mark_rect(std::int32_t position, Rect& rect) const;

private:
    void load_mark_picture();

    skinner::PictureRef mark_;
    std::vector<std::int32_t> marks_;
    std::int64_t total_ = 0;
};

}  // namespace screens
