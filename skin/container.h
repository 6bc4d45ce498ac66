// The controls of one form or one panel: z order, layout, stylus routing with capture and
// hover, focus in tab order, keys, timer ticks, the controls the skin declares, skin refresh.
#pragma once

#include <cstdint>
#include <list>
#include <string>
#include <vector>

#include "skin/canvas.h"
#include "skin/geometry.h"
#include "skin/listener.h"
#include "skin/picture_ref.h"

namespace skinner {

class Control;
class Form;
class Properties;

// Every coordinate is in the client coordinates of the form's window.
class Container : public Listener {
public:
    // In LOOKUP_BY_KIND the name is a kind's name, otherwise a form's. Reads the design
    // size; the owner creates the automatic controls afterwards.
    Container(Form* form, Properties* properties, const std::u16string& name, int lookup_mode, Listener* owner);
    Container(const Container&) = delete;
    Container& operator=(const Container&) = delete;
    ~Container() override;

    // Listener: each event goes to the owner listener when there is one.
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
    void on_focus_changed() override;
    void on_menu_create(MenuItemInfo& menu) override;
    void on_combo_changed(Control* combo) override;

    virtual void set_focus(Control* control);
    virtual bool is_focused(const Control* control) const;
    virtual void set_has_focus(bool has_focus);
    virtual void set_rect(Point position, Size size);
    virtual void refresh_skin();
    virtual bool on_char(const std::u16string& text, unsigned flags);
    virtual bool on_keydown(int key);
    virtual bool on_keyup(int key);
    virtual void on_timer_broadcast(UINT_PTR id);

    void register_control(Control* control);
    void unregister_control(Control* control);
    Control* find_control(const std::u16string& name) const;
    void sort_controls();
    void layout_control(Control* control, Point origin, Size size);
    void update_rect() { set_rect(position_, size_); }
    void set_rect_quiet(Point position, Size size);
    Size get_min_size();
    void paint_controls(Canvas& canvas, Point clip_position, Size clip_size);

    void on_stylus_move(Point point, unsigned flags);
    void on_button_down(int index, Point point, unsigned flags);
    void on_stylus_down(Point point, unsigned flags) { on_button_down(0, point, flags); }
    void on_button3_down(Point point, unsigned flags) { on_button_down(1, point, flags); }
    void on_button2_down(Point point, unsigned flags) { on_button_down(2, point, flags); }
    void on_button_up(int index, Point point, unsigned flags);
    void on_stylus_up(Point point, unsigned flags) { on_button_up(0, point, flags); }
    void on_button3_up(Point point, unsigned flags) { on_button_up(1, point, flags); }
    void on_button2_up(Point point, unsigned flags) { on_button_up(2, point, flags); }
    bool on_stylus_other(Point point, unsigned flags);
    void release_hover();
    bool contains_control_at(Point point) const;
    bool get_gestures_at(Point point) const;
    // The visible control under the point, topmost first; null when none.
    Control* control_at(Point point) const;

    bool set_hover(Control* control);
    void set_active(bool active);
    void set_shown(bool shown);
    bool move_focus(bool forward);
    bool forward_reserved_28(WPARAM first, LPARAM second);

    void load_size();
    void create_auto_controls();
    void set_form_name(const std::u16string& name) { form_name_ = name; }
    std::int32_t get_form_integer(const std::u16string& name, std::int32_t default_value);
    Point get_form_point(const std::u16string& name, Point default_value);
    PictureRef get_form_picture(const std::u16string& name, const PictureRef& default_value);

    Form* get_form() const { return form_; }
    Properties& get_properties() const { return *properties_; }
    const std::u16string& get_form_name() const { return form_name_; }
    const std::u16string& get_kind_name() const { return kind_name_; }
    int get_lookup_mode() const { return lookup_mode_; }
    Listener* get_owner_listener() const { return owner_; }
    Size get_current_size() const { return size_; }
    Point get_position() const { return position_; }
    Size get_design_size() const { return design_size_; }
    Point get_last_point() const { return last_point_; }
    bool is_shown() const { return shown_; }
    bool is_active() const { return active_; }
    bool has_focus() const { return has_focus_; }
    Control* get_focused() const { return focused_; }
    Control* get_hovered() const { return hovered_; }
    Control* get_capturing() const { return capturing_; }
    bool is_button_down(int index) const { return button_down_[index]; }
    // Clears the button's flag; false when it was not set.
    bool take_button_down(int index);
    const std::vector<Control*>& get_controls() const { return controls_; }
    const std::vector<Control*>& get_auto_controls() const { return auto_controls_; }

protected:
    // Deletes the automatic controls, the last first. A form does it first in its own
    // destructor, while the whole form is still there for them.
    void delete_auto_controls();

private:
    void call_down(Control* control, int index, Point point, unsigned flags);
    void call_up(Control* control, int index, Point point, unsigned flags);

    std::list<Control*> internal_list_;
    Size size_;
    int lookup_mode_;
    Properties* properties_;
    std::u16string form_name_;
    std::u16string kind_name_;
    Size design_size_;
    Point position_;
    Point last_point_;
    bool shown_ = true;
    bool active_ = true;
    Listener* owner_;
    Form* form_;
    std::vector<Control*> controls_;
    std::vector<Control*> auto_controls_;
    Control* focused_ = nullptr;
    bool has_focus_ = false;
    Control* hovered_ = nullptr;
    Control* capturing_ = nullptr;
    bool button_down_[3] = {false, false, false};
};

}  // namespace skinner
