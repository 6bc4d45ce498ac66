// The base of every skinned control: a rectangle inside one container with visibility,
// enabled state, focus, z-order, tab order, anchors, a Focus picture, a cursor and one timer.
#pragma once

#include <cstdint>
#include <string>

#include "foundation/nocopy.h"
#include "platform/windows.h"
#include "skin/canvas.h"
#include "skin/font_ref.h"
#include "skin/geometry.h"
#include "skin/listener.h"
#include "skin/picture_ref.h"

namespace skinner {

class Container;
class Form;
class Properties;

// How a control finds its skin node.
enum LookupMode : std::int32_t {
    LOOKUP_BY_NAME = 0,  // by its name inside its container's form
    LOOKUP_BY_KIND = 1,  // by a kind name in the skin's kinds
    LOOKUP_NONE = 2,     // reads nothing from the skin
};

// Skinner key codes, mapped from the platform's virtual keys by the form window.
enum KeyCode : int {
    KEY_NONE = 0, KEY_SHIFT = 1, KEY_CONTROL = 2, KEY_ALT = 3, KEY_LEFT = 4, KEY_RIGHT = 5, KEY_UP = 6,
    KEY_DOWN = 7, KEY_ESCAPE = 8, KEY_RETURN = 9, KEY_SPACE = 10, KEY_BACK = 11, KEY_DELETE = 12,
    KEY_INSERT = 13, KEY_HOME = 14, KEY_END = 15, KEY_NEXT = 16, KEY_PRIOR = 17, KEY_TAB = 18, KEY_APPS = 19,
    KEY_A = 20, KEY_0 = 46,
};
// The key that presses buttons.
constexpr int action_key_code = KEY_RETURN;

// Controls never receive window messages: their container hands them stylus, keys and
// timer ticks. Events go up through the Listener operations to the container.
class Control : public Listener, private liba::Nocopy {
public:
    // Registers with the container (which lays the control out); a subclass reads its own
    // keys in its own constructor. In LOOKUP_BY_KIND the name is the kind's name.
    Control(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~Control() override;

    // Listener: each event goes to the container, unchanged.
    void on_click(Control* sender) override;
    void on_item_click(Control* sender, Cell cell) override;
    void on_item_context(Control* sender, Cell item) override;
    void on_inplace_edit_done(Control* grid, const EditRecord& record) override;
    void on_notify_11(WPARAM first, LPARAM second) override;
    void on_scroll(Control* scroll_bar, int position) override;
    bool on_command(const std::u16string& command) override;
    void on_value_changed(Control* sender, double value) override;
    void on_progress_changed(Control* sender) override;
    void on_text_changed(Control* sender) override;
    void on_header_click(Control* grid, const HeaderEvent& event) override;
    void on_header_context(Control* grid, const HeaderEvent& event) override;
    void on_selection_changed(Control* sender) override;
    void on_highlight_changed(Control* sender) override;
    void on_focus_changed() override {}
    void on_menu_create(MenuItemInfo& menu) override;
    void on_combo_changed(Control* combo) override;

    virtual void set_z_order(int z_order);
    virtual void set_want_focus(bool want);
    virtual bool can_focus() { return want_focus_; }
    virtual bool reserved_28(WPARAM, LPARAM) { return false; }
    virtual void on_focus_gained() { repaint(); }
    virtual void on_focus_lost(Control* /*next*/) { repaint(); }
    virtual void on_shown_changed(bool /*shown*/) {}
    virtual bool get_gestures(Point /*point*/) { return gestures_; }
    virtual void on_active_changed(bool /*active*/) {}
    // The base draws the Focus picture while the control holds the focus; subclasses paint
    // their looks first and call it last.
    virtual void paint(Canvas& canvas, Point clip_position, Size clip_size);
    // Null: the arrow.
    virtual HCURSOR get_cursor() { return cursor_; }
    virtual bool hit_test(Point point);
    virtual void on_hover_enter() {}
    virtual void on_stylus_move(Point, unsigned /*flags*/) {}
    virtual void on_hover_leave(Control* /*now_hovered*/) {}
    virtual void on_stylus_down(Point, unsigned /*flags*/) {}
    virtual void on_stylus_up(Point, unsigned /*flags*/) {}
    virtual void on_button2_down(Point, unsigned) {}
    virtual void on_button2_up(Point, unsigned) {}
    virtual void on_button3_down(Point, unsigned) {}
    virtual void on_button3_up(Point, unsigned) {}
    virtual bool on_stylus_other(Point, unsigned) { return false; }
    // True when the control took the text (one character, or an input method's result).
    virtual bool on_char(const std::u16string& /*text*/, unsigned /*flags*/) { return false; }
    virtual bool on_keydown(int /*key*/) { return false; }
    virtual bool on_keyup(int /*key*/) { return false; }
    virtual void on_timer(UINT_PTR /*id*/, WPARAM /*word*/) {}
    virtual void on_timer_message(UINT_PTR id, WPARAM word);
    virtual void set_rect(Point position, Size size);
    virtual Size get_size() { return design_size_; }
    virtual void load_properties() { load_control_properties(); }
    virtual Container* get_panel_container() { return nullptr; }

    Container* get_container() const { return container_; }
    Form* get_form() const;
    Properties& get_properties() const;
    const std::u16string& get_name() const { return name_; }
    const std::u16string& get_kind_name() const { return kind_name_; }
    int get_lookup_mode() const { return lookup_mode_; }

    std::uint32_t get_color_property(const std::u16string& name, std::uint32_t default_value);
    std::u16string get_string_property(const std::u16string& name, const std::u16string& default_value);
    std::int32_t get_scaled_integer_property(const std::u16string& name, std::int32_t default_value);
    std::int32_t get_integer_property(const std::u16string& name, std::int32_t default_value);
    Point get_point_property(const std::u16string& name, Point default_value);
    HCURSOR get_cursor_property(const std::u16string& name, HCURSOR default_value);
    PictureRef get_picture_property(const std::u16string& name, const PictureRef& default_value);
    FontRef get_font_property(const std::u16string& name, const FontRef& default_value);
    std::u16string translate(const std::u16string& key) const;
    std::u16string translate(const std::u16string& key, const std::u16string& default_text) const;

    void set_focus();
    bool has_focus() const;
    bool is_hovered() const;
    bool is_visible() const;
    bool is_enabled() const;
    void set_visible(bool visible);
    void set_enabled(bool enabled);
    void notify_shown();
    void notify_active();
    void repaint();
    void update_rect() { set_rect(position_, size_); }
    void start_timer(double seconds);
    void stop_timer();
    bool is_key_down(int key) const;

    static bool less_z_order(const Control* a, const Control* b) { return a->z_order_ < b->z_order_; }
    static bool less_tab_order(const Control* a, const Control* b) { return a->tab_order_ < b->tab_order_; }

    Point get_position() const { return position_; }
    Size get_rect_size() const { return size_; }
    Point get_design_position() const { return design_position_; }
    Size get_design_size() const { return design_size_; }
    Anchor get_anchor_x() const { return anchor_x_; }
    Anchor get_anchor_y() const { return anchor_y_; }
    int get_z_order() const { return z_order_; }
    int get_tab_order() const { return tab_order_; }
    UINT_PTR get_timer_id() const { return timer_id_; }
    bool get_own_visible() const { return visible_; }
    bool get_own_enabled() const { return enabled_; }
    bool get_want_focus() const { return want_focus_; }
    const PictureRef& get_focus_picture() const { return focus_picture_; }

protected:
    // The keys every control reads; nothing in LOOKUP_NONE.
    void load_control_properties();

private:
    const std::u16string& lookup_form() const;
    const std::u16string& lookup_control() const;

    int lookup_mode_;
    Container* container_;
    std::u16string name_;
    std::u16string kind_name_;
    HCURSOR cursor_ = nullptr;
    int z_order_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    bool want_focus_ = true;
    Anchor anchor_x_ = MIN_SIDE;
    Anchor anchor_y_ = MIN_SIDE;
    Point position_;
    Size size_;
    Point design_position_;
    Size design_size_;
    PictureRef focus_picture_;
    UINT_PTR timer_id_ = 0;
    int tab_order_ = 0;
    bool gestures_ = false;
};

}  // namespace skinner
