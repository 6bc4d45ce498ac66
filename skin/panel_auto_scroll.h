// A panel that places one content control inside borders and shows a vertical and a
// horizontal scroll bar only when the content does not fit.
#pragma once

#include <memory>
#include <string>

#include "skin/panel.h"
#include "skin/scroll_bar.h"

namespace skinner {

class ControlPanelAutoScroll : public ControlPanel {
public:
    ControlPanelAutoScroll(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlPanelAutoScroll() override;

    void load_properties() override;

    // Gives the content the client rectangle left by the borders and the bars it needs.
    void layout_content(Control* content, Size content_size);

    ControlScrollBar& get_vertical_bar() { return *vertical_; }
    ControlScrollBar& get_horizontal_bar() { return *horizontal_; }
    Point get_client_position() const { return client_position_; }
    Size get_client_size() const { return client_size_; }
    bool needs_vertical_bar() const { return vertical_needed_; }
    bool needs_horizontal_bar() const { return horizontal_needed_; }

private:
    void read_keys();
    void place_scroll_bars();

    Point client_position_;
    Size client_size_;
    bool vertical_needed_ = false;
    bool horizontal_needed_ = false;
    int scroll_width_ = 0;
    int scroll_height_ = 0;
    Point border_min_;
    Point border_max_;
    Point scroll_border_min_;
    Point scroll_border_max_;
    std::unique_ptr<ControlScrollBar> vertical_;
    std::unique_ptr<ControlScrollBar> horizontal_;
};

}  // namespace skinner
