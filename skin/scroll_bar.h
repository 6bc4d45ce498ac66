// A skinned scroll bar of five buttons (two arrows, two page areas and a thumb) over an
// integer range with a page size and a position; raises on_scroll when the position changes.
#pragma once

#include <memory>
#include <string>

#include "skin/button.h"
#include "skin/panel.h"

namespace skinner {

class ControlScrollBar : public ControlPanel {
public:
    enum PartIndex { PART_MIN = 0, PART_MAX = 1, PART_SPACE_BEFORE = 2, PART_SPACE_AFTER = 3, PART_THUMB = 4 };

    // One part of the bar: presses step the bar, held presses repeat, the thumb is dragged.
    class Button : public ControlButton {
    public:
        Button(ControlScrollBar* bar, Container* container, const std::u16string& kind, int part);

        void on_stylus_down(Point point, unsigned flags) override;
        void on_stylus_move(Point point, unsigned flags) override;
        void on_stylus_up(Point point, unsigned flags) override;
        void on_timer(UINT_PTR id, WPARAM word) override;
        bool can_focus() override { return false; }
        // The bar's parts raise no click of their own.
        void click(const ButtonEvent&) override {}

        int get_part() const { return part_; }
        // Whole timer periods before the held press repeats.
        int get_repeat_countdown() const { return repeat_countdown_; }
        void set_repeat_period(double seconds) { repeat_period_ = seconds; }

    private:
        ControlScrollBar* bar_;
        int part_;
        Point press_offset_;
        int repeat_countdown_ = 0;
        double repeat_period_ = 0.1;
        bool dragging_ = false;
    };

    ControlScrollBar(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlScrollBar() override;

    void set_rect(Point position, Size size) override;
    void load_properties() override;

    // Limits the range, the page and the value, then stores the value as the position.
    void set_position(int value, bool forced = false);
    void set_range(int min, int max);
    void set_page(int page);
    void set_step(int step) { step_ = step; }
    virtual void notify_scroll(int position);

    int get_scroll_position() const { return position_; }
    int get_min() const { return min_; }
    int get_max() const { return max_; }
    int get_page() const { return page_; }
    int get_step() const { return step_; }
    bool is_vertical() const { return vertical_; }
    Button& get_part(int index) { return *parts_[index]; }

    // One press of a part: arrows step, page areas page, the thumb does nothing.
    void press_part(int part);
    // The thumb's new start along the bar, relative to the bar, as a position.
    void drag_thumb_to(int start);

private:
    void read_keys();
    int length() const;
    int thumb_min_length() const;

    std::unique_ptr<Button> parts_[5];
    int min_ = 0;
    int max_ = 0;
    int page_ = 1;
    int step_ = 1;
    int position_ = 0;
    bool vertical_ = false;
    int min_button_size_ = 0;
    int max_button_size_ = 0;
};

}  // namespace skinner
