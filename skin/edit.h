// The one-line text field of the skinned screens: it draws its text itself with a picture
// per state, a blinking caret and a selection, and edits by keys, stylus, the clipboard and
// a context menu. A small platform side (ControlEditImpl) is told of every change.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "skin/control.h"
#include "skin/edit_impl.h"
#include "skin/menu_item_info.h"

namespace skinner {

class ControlEdit : public Control {
public:
    ControlEdit(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlEdit() override;

    bool take_native_focus() { return impl_->take_focus(); }
    void on_focus_gained() override;
    void on_focus_lost(Control* next) override;
    void on_shown_changed(bool shown) override;
    void paint(Canvas& canvas, Point clip_position, Size clip_size) override;
    bool hit_test(Point point) override;
    void on_stylus_move(Point point, unsigned flags) override;
    // flags 1: a double tap, which selects the word at the point.
    void on_stylus_down(Point point, unsigned flags) override;
    void on_stylus_up(Point point, unsigned flags) override;
    void on_button2_up(Point point, unsigned flags) override;
    bool on_char(const std::u16string& text, unsigned flags) override;
    bool on_keydown(int key) override;
    void on_timer(UINT_PTR id, WPARAM word) override;
    void set_rect(Point position, Size size) override;
    void load_properties() override;
    virtual void notify_text_changed() { on_text_changed(this); }
    virtual void notify_click() { on_click(this); }

    const std::u16string& get_text() const { return text_; }
    // Nothing when equal; else the whole text is replaced (one text-changed event).
    void set_text(const std::u16string& text);
    // Anchor and caret, each kept within [0, length].
    void set_selection(int anchor, int caret);
    int get_anchor() const { return anchor_; }
    int get_caret() const { return caret_; }
    int selection_start() const { return std::min(anchor_, caret_); }
    int selection_end() const { return std::max(anchor_, caret_); }
    bool has_selection() const { return anchor_ != caret_; }
    bool is_readonly() const { return readonly_; }
    void set_readonly(bool readonly);
    char16_t get_password_char() const { return password_char_; }
    const std::u16string& get_input_mode() const { return input_mode_; }

    // The typed (or pasted) text takes the place of the selection; the caret follows it.
    void replace_selection(const std::u16string& text);
    void delete_selection() { replace_selection(std::u16string()); }
    // Copying and cutting do nothing for an empty selection or with a password character.
    // Copying gives false when nothing reached the clipboard.
    bool copy();
    void cut();
    void paste();
    void select_all();

    // The character boundary nearest to the point (form coordinates).
    int index_at(Point point);
    // The context menu's items as they stand now.
    std::vector<MenuItemInfo> context_menu_items() const;
    // Shows the context menu at the point (form coordinates) and runs the chosen action.
    void show_context_menu(Point point);

    int get_scroll() const { return scroll_; }
    bool is_caret_shown() const;
    // The text as shown: the text itself, or as many password characters.
    std::u16string shown_text() const;
    // The left and top borders, and the right and bottom ones.
    Point get_border_min() const { return border_min_; }
    Point get_border_max() const { return border_max_; }

private:
    enum class State { normal, focused, disabled, readonly };
    State paint_state() const;
    const PictureRef& state_picture() const;
    const FontRef& state_font() const;
    std::uint32_t state_colour() const;

    void load_edit_properties();
    void make_impl();
    void update_layout();
    int width_to(int index) const;
    void paint_text(Canvas& canvas, Point box, Size box_size);
    void draw_before(Canvas& canvas, const std::u16string& text, int end_x, Point box, Size box_size,
                     std::uint32_t colour) const;
    void draw_after(Canvas& canvas, const std::u16string& text, int start_x, Point box, Size box_size,
                    std::uint32_t colour) const;
    void move_caret(int target, bool extend);
    int word_left(int from) const;
    int word_right(int from) const;
    void select_word_at(int index);
    bool run_menu_action(const std::u16string& action);
    void show_caret_now();
    Point caret_menu_point() const;

    std::unique_ptr<ControlEditImpl> impl_;
    PictureRef normal_picture_, highlighted_picture_, disabled_picture_, readonly_picture_, selection_picture_;
    FontRef normal_font_, disabled_font_, readonly_font_;
    std::uint32_t normal_colour_ = 0, disabled_colour_ = 0, readonly_colour_ = 0, selection_colour_ = 0;
    Point border_min_, border_max_;
    std::u16string input_mode_;
    std::u16string text_;
    int anchor_ = 0;
    int caret_ = 0;
    int blink_ = 0;
    int blink_period_ = 10;
    int caret_width_ = 1;
    Point down_point_;
    bool dragging_ = false;
    bool readonly_ = false;
    int scroll_ = 0;
    std::vector<int> edges_;
    char16_t password_char_ = 0;
};

// A field of the skin kind that the owner's key names ("EditKind", "EditInListKind"), in the
// container; an owner that reads no skin gives a field that reads none either.
std::unique_ptr<ControlEdit> create_edit_of_kind(Control& owner, Container* container, const std::u16string& kind_key);

}  // namespace skinner
