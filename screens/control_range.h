// The strip of the bookmarks form: over the whole length of a file, the ranges chosen in
// the form's range list ("Range" pictures over the "Background").
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/control.h"

namespace screens {

// What the strip shows: the chosen ranges, in list order. The bookmarks form's range list
// answers it.
class RangeSelection {
public:
    struct Range {
        std::int32_t position = 0;  // the start, in the units of the total length
        std::int32_t length = 0;
    };
    virtual ~RangeSelection() = default;
    virtual std::vector<Range> get_selected_ranges() const = 0;
};

class ControlRange : public skinner::Control {
public:
    // The selection is not owned and must outlive the strip (or be null: nothing chosen).
    ControlRange(skinner::Container* container, const std::u16string& name, int lookup_mode,
                 const RangeSelection* selection, std::int64_t total_length);
    ~ControlRange() override;

    void paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) override;
    void load_properties() override;

    void set_total_length(std::int64_t total_length);
    // Where a range is drawn, within the strip; false when it is not drawn (a total of 0
    // or less).
    bool range_rect(const RangeSelection::Range& range, POINT& position, POINT& size) const;

private:
    void load_pictures();

    skinner::PictureRef background_;
    skinner::PictureRef range_;
    const RangeSelection* selection_;
    std::int64_t total_;
};

}  // namespace screens
