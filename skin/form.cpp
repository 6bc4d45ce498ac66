#include "skin/form.h"

#include <algorithm>

#include "foundation/log.h"
#include "foundation/stopwatch.h"
#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/timers.h"
#include "platform/windows.h"
#include "skin/button.h"
#include "skin/form_impl.h"
#include "skin/properties.h"
#include "skin/shell_calls.h"

namespace skinner {

namespace {

std::vector<Form*>& form_list() {
    static std::vector<Form*> forms;
    return forms;
}

Form* current_modal = nullptr;
bool screen_full = false;
UINT_PTR next_timer_id = 1;

constexpr int keep_place = 6;

bool in_form_list(Form* form) {
    auto const& forms = form_list();
    return std::find(forms.begin(), forms.end(), form) != forms.end();
}

// A new skin or language reloads every form made on those properties, unless a refresher
// of the program's own is installed.
void refresh_forms_of(Properties& properties) {
    std::vector<Form*> const forms = form_list();
    for (Form* form : forms) {
        if (in_form_list(form) && &form->get_properties() == &properties) form->refresh_skin();
    }
}

void install_form_refresher() {
    Properties::FormRefresher current = Properties::set_form_refresher(nullptr);
    Properties::set_form_refresher(current ? std::move(current) : Properties::FormRefresher(refresh_forms_of));
}

void log_modal_step(int step) { os::get_log() << os::seconds_since_start() << " Form::do_modal: " << step << "\n"; }

}  // namespace

FormImplHolder::~FormImplHolder() { delete impl_; }

Form::Form(Form* owner, Properties* properties, const std::u16string& form_name, Listener* owner_listener)
    : FormImplHolder(new FormImpl(owner, false, true)),
      Container(this, properties, form_name, LOOKUP_BY_NAME, owner_listener),
      owner_(owner) {
    construct(form_name);
}

Form::Form(Form* owner, FormImpl* impl, Properties* properties, const std::u16string& form_name,
           Listener* owner_listener)
    : FormImplHolder(impl), Container(this, properties, form_name, LOOKUP_BY_NAME, owner_listener), owner_(owner) {
    construct(form_name);
}

void Form::construct(const std::u16string&) {
    install_form_refresher();
    impl_->set_form(this);
    form_list().push_back(this);
    load_form_properties();
    create_auto_controls();
}

Form::~Form() {
    // The automatic controls stop their timers through this form: they go while it is whole.
    delete_auto_controls();
    auto& forms = form_list();
    forms.erase(std::remove(forms.begin(), forms.end(), this), forms.end());
    if (current_modal == this) current_modal = nullptr;
    background_.release();
    font_.release();
    impl_->set_form(nullptr);
}

const std::vector<Form*>& Form::get_forms() { return form_list(); }
Form* Form::get_current_modal() { return current_modal; }

HWND Form::get_window() const { return impl_->get_window(); }

void Form::set_focus(Control* control) { Container::set_focus(control); }

void Form::refresh_skin() {
    Container::refresh_skin();
    load_form_properties();
    update_rect();
}

void Form::load_form_properties() {
    background_ = get_form_picture(u"Background", PictureRef());
    start_position_ = get_form_integer(u"StartPosition", start_position_);
    start_position_x_ = get_form_integer(u"StartPositionX", start_position_);
    start_position_y_ = get_form_integer(u"StartPositionY", start_position_);
    font_.set_description(u"14 1 0 0 Tahoma");
    layout();
    reset_paint();
}

void Form::place_axis(int mode, int pref, int area_origin, int area_extent, int owner_origin, int owner_extent,
                      int design, bool size_held, bool position_held, int& extent, int& origin) const {
    bool const holds_count = mode == 0 || !first_layout_;
    switch (mode) {
    case 0:
        if (!(size_held && holds_count)) extent = pref;
        if (!(position_held && holds_count)) origin = design;
        break;
    case 1:
        extent = pref;
        origin = area_origin + (area_extent - extent) / 2;
        break;
    case 2:
        extent = pref;
        origin = owner_origin + (owner_extent - extent) / 2;
        break;
    case 3:
        extent = std::max(pref, area_extent);
        origin = area_origin;
        break;
    case 4:
        extent = pref;
        origin = area_origin;
        break;
    case 5:
        extent = pref;
        origin = area_origin + area_extent - extent;
        break;
    default: break;
    }
}

void Form::layout() {
    Size const pref = get_min_size();
    Point const window_position = get_window_position();
    Point const design = get_form_point(u"Position", {});
    Size const current = get_current_size();
    int width = std::max(current.width, pref.width);
    int height = std::max(current.height, pref.height);
    int x = window_position.x;
    int y = window_position.y;
    if (start_position_x_ == keep_place || start_position_y_ == keep_place) return;
    if (current.width == 0 && current.height == 0) return;
    Point area_origin;
    Size area_size;
    get_work_area(true, area_origin, area_size);
    Point owner_origin = area_origin;
    Size owner_size = area_size;
    if (owner_) {
        owner_origin = owner_->get_window_position();
        owner_size = owner_->get_size();
    }
    place_axis(start_position_x_, pref.width, area_origin.x, area_size.width, owner_origin.x, owner_size.width,
               design.x, impl_->is_size_held(), impl_->is_position_held(), width, x);
    place_axis(start_position_y_, pref.height, area_origin.y, area_size.height, owner_origin.y, owner_size.height,
               design.y, impl_->is_size_held(), impl_->is_position_held(), height, y);
    move_window({x, y}, {width, height});
    first_layout_ = false;
}

void Form::move_window(Point position, Size size) {
    HWND const window = get_window();
    LONG const style = GetWindowLongW(window, GWL_STYLE);
    LONG wanted = style & ~static_cast<LONG>(WS_MAXIMIZEBOX | WS_MINIMIZEBOX);
    if (impl_->has_maximize_box()) wanted |= static_cast<LONG>(WS_MAXIMIZEBOX);
    if (impl_->has_minimize_box()) wanted |= static_cast<LONG>(WS_MINIMIZEBOX);
    if (wanted != style) {
        SetWindowLongW(window, GWL_STYLE, wanted);
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    if (screen_full && current_modal == this) shell::full_screen(window, shell::SHFS_HIDETASKBAR | shell::SHFS_HIDESIPBUTTON);
    MoveWindow(window, position.x, position.y, size.width, size.height, TRUE);
}

Point Form::get_window_position() const {
    RECT rect{};
    GetWindowRect(get_window(), &rect);
    return {rect.left, rect.top};
}

bool Form::is_window_visible() const { return IsWindowVisible(get_window()) != FALSE; }

void Form::invalidate_rect(Point position, Size size) {
    impl_->invalidate(position, size);
    Point const p = impl_->get_dirty_position();
    Size const s = impl_->get_dirty_size();
    RECT const rect{p.x, p.y, p.x + s.width, p.y + s.height};
    InvalidateRect(get_window(), &rect, FALSE);
}

void Form::reset_paint() { impl_->reset_paint(); }

UINT_PTR Form::set_timer(double seconds) {
    UINT_PTR const id = next_timer_id++;
    SetTimer(get_window(), id, static_cast<UINT>(seconds * 1000), nullptr);
    return id;
}

void Form::kill_timer(UINT_PTR id) {
    if (id != 0) KillTimer(get_window(), id);
}

void Form::do_modal() {
    Form* const remembered = current_modal;
    current_modal = this;
    modal_ = true;
    log_modal_step(1);
    log_modal_step(2);
    set_full_screen(full_screen_);
    set_has_focus(true);
    log_modal_step(3);
    {
        std::unique_ptr<FormsDisabler> disabler;
        if (owner_) disabler = std::make_unique<FormsDisabler>(this);
        // The keys go to the window in front: a modal form that opens behind its disabled
        // owner would get none until the user tapped it. A drop-down leaves its owner in front.
        if (!impl_->is_popup() && is_window_visible()) impl_->bring_to_front();
        MSG message{};
        for (;;) {
            BOOL const got = GetMessageW(&message, nullptr, 0, 0);
            if (got == 0) {
                // A loop inside another one hands the quit on, so that every loop ends.
                if (remembered) PostQuitMessage(static_cast<int>(message.wParam));
                break;
            }
            if (got < 0 || !dispatch_message(message)) break;
        }
    }
    set_has_focus(false);
    modal_ = false;
    current_modal = remembered;
    if (!remembered || !in_form_list(remembered)) {
        set_full_screen(false);
        return;
    }
    remembered->reactivate();
}

void Form::reactivate() {
    if (menu_main_) menu_main_->repaint();
    set_full_screen(full_screen_);
}

void Form::close() {
    if (impl_->is_popup()) {
        ReleaseCapture();
        return;
    }
    os::get_log() << "Form WM_CLOSE sent\n";
    SendMessageW(get_window(), WM_CLOSE, 0, 0);
}

void Form::bring_to_front(const std::u16string&) { impl_->bring_to_front(); }

void Form::on_picture_failed_to_load(const PictureRef& picture) {
    if (!owner_) {
        std::u16string const caption = get_properties().translate(u"on_picture_failed_to_load", u"Out of memory");
        std::u16string text;
        if (const Picture* const shown = picture.get_picture()) {
            std::string const scale = std::to_string(shown->get_scale());
            text = u"name=" + shown->get_name() + u"\nscale=" + std::u16string(scale.begin(), scale.end()) +
                   u"\nbase_path=" + shown->get_source();
        }
        message_box(this, caption, text);
    }
    if (modal_) close();
    if (owner_) owner_->on_picture_failed_to_load(picture);
}

void Form::register_menu_main(Control* menu) {
    if (menu_main_) os::fatal_error(u"Form::register_menu_main", u"Menu main is already exists");
    menu_main_ = menu;
}

void Form::unregister_menu_main(Control* menu) {
    if (menu != menu_main_) os::fatal_error(u"Form::unregister_menu_main", u"Menus do not match");
    menu_main_ = nullptr;
}

bool Form::set_visible(bool visible) {
    bool const was = is_window_visible();
    if (was == visible) return was;
    ShowWindow(get_window(), visible ? SW_SHOW : SW_HIDE);
    invalidate_rect({0, 0}, get_size());
    return was;
}

void Form::set_input_panel(bool up) { shell::sip_preference(get_window(), up ? 0 : 1); }

bool Form::on_keydown(int key) {
    if (Container::on_keydown(key)) return true;
    ControlButtonBase* const button = key == KEY_RETURN ? soft_keys_[0] : key == KEY_ESCAPE ? soft_keys_[1] : nullptr;
    if (!button) return false;
    button->set_pressed(true);
    return true;
}

bool Form::on_keyup(int key) {
    if (Container::on_keyup(key)) return true;
    ControlButtonBase* const button = key == KEY_RETURN ? soft_keys_[0] : key == KEY_ESCAPE ? soft_keys_[1] : nullptr;
    if (!button) return false;
    button->set_pressed(false);
    return true;
}

FormsDisabler::FormsDisabler(Form* form) : form_(form) {
    for (Form* other : form_list()) {
        if (other == form || other->get_impl()->is_popup() || !IsWindowEnabled(other->get_window())) continue;
        disabled_.push_back(other);
        EnableWindow(other->get_window(), FALSE);
    }
}

FormsDisabler::~FormsDisabler() {
    for (Form* other : disabled_) {
        if (in_form_list(other)) EnableWindow(other->get_window(), TRUE);
    }
    Form* const owner = form_->get_owner();
    if (owner && in_form_list(owner) && owner->is_window_visible()) owner->get_impl()->bring_to_front();
}

void set_full_screen(bool on) {
    if (on == screen_full) return;
    screen_full = on;
    std::vector<Form*> const forms = form_list();
    for (Form* form : forms) SendMessageW(form->get_window(), WM_SETTINGCHANGE, 224, 0);
}

bool is_full_screen() { return screen_full; }

void message_box(Form* form, const std::u16string& caption, const std::u16string& text) {
    MessageBoxW(form ? form->get_window() : nullptr, text.c_str(), caption.c_str(), MB_OK);
}

}  // namespace skinner
