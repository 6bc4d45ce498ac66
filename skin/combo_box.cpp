#include "skin/combo_box.h"

#include <optional>

#include "foundation/log.h"
#include "platform/kernel.h"
#include "platform/messages.h"
#include "skin/button.h"
#include "skin/form_impl.h"

namespace skinner {

namespace {

std::unique_ptr<ControlButton> make_drop_button(ControlComboBox& combo) {
    std::u16string const kind =
        combo.get_lookup_mode() == LOOKUP_NONE ? std::u16string() : combo.get_string_property(u"ButtonKind", u"");
    return std::make_unique<ControlButton>(combo.get_panel_container(), kind, LOOKUP_BY_KIND);
}

void log_open_step(int step) { os::get_log() << "ControlComboBox::open_dropdown_window " << step << "\n"; }

void post_again(const MSG& message) {
    if (message.hwnd) {
        PostMessageW(message.hwnd, message.message, message.wParam, message.lParam);
    } else {
        PostThreadMessageW(GetCurrentThreadId(), message.message, message.wParam, message.lParam);
    }
}

}  // namespace

ControlComboBox::CBForm::CBForm(ControlComboBox* combo, Point position, Size size)
    : FormCombo(combo->get_form(), &combo->get_properties(), combo->get_dropdown_form_name(), position, size, combo) {}

bool ControlComboBox::CBForm::on_keydown(int key) {
    if (Form::on_keydown(key)) return true;
    if (key != KEY_ESCAPE && key != KEY_RETURN) return false;
    os::get_log() << "ControlComboBox::CBForm::on_keydown 1\n";
    close();
    return true;
}

ControlComboBox::ControlComboBox(Container* container, const std::u16string& name, int lookup_mode)
    : ControlPanel(container, name, lookup_mode), button_(make_drop_button(*this)) {
    read_keys();
}

ControlComboBox::~ControlComboBox() {
    alive_.reset();
    dropdown_.reset();
    button_.reset();
}

void ControlComboBox::read_keys() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    dropdown_size_ = get_point_property(u"DropdownSize", dropdown_size_);
    button_width_ = get_scaled_integer_property(u"ButtonWidth", button_width_);
    dropdown_form_name_ = get_string_property(u"DropdownForm", dropdown_form_name_);
}

void ControlComboBox::load_properties() {
    ControlPanel::load_properties();
    read_keys();
    update_rect();
}

void ControlComboBox::on_click(Control* sender) {
    if (sender != button_.get()) return;
    if (dropdown_) {
        close_dropdown_window();
    } else {
        open_dropdown_window();
    }
}

void ControlComboBox::on_focus_gained() { repaint(); }

bool ControlComboBox::on_keydown(int key) {
    if (ControlPanel::on_keydown(key)) return true;
    if (key != KEY_RETURN) return false;
    button_->activate();
    return true;
}

void ControlComboBox::set_rect(Point position, Size size) {
    ControlPanel::set_rect(position, size);
    // The base constructors lay the combo out before its children exist.
    if (!button_) return;
    Control* const field = get_field();
    if (!field) return;
    field->set_rect(position, {size.width - button_width_, size.height});
    button_->set_rect({position.x + size.width - button_width_, position.y}, {button_width_, size.height});
}

ControlComboBox::CBForm* ControlComboBox::create_dropdown_form(Point position, Size size) {
    return new CBForm(this, position, size);
}

Point ControlComboBox::dropdown_position(Size size) {
    Point const at = get_position();
    int const height = get_rect_size().height;
    bool const room_below = at.y + height + size.height <= get_form()->get_size().height;
    if (!room_below && at.y - size.height > 0) return {at.x, at.y - size.height};
    return {at.x, at.y + height};
}

void ControlComboBox::open_dropdown_window() {
    if (dropdown_) return;
    Size const size{dropdown_size_.x == 0 ? get_rect_size().width : dropdown_size_.x, dropdown_size_.y};
    Point const position = dropdown_position(size);
    std::weak_ptr<bool> const alive = alive_;
    log_open_step(1);
    dropdown_.reset();
    dropdown_.reset(create_dropdown_form(position, size));
    log_open_step(2);
    HWND const window = dropdown_->get_window();
    // An end message of another window (its owner closing, say) belongs to a loop outside
    // this one: the drop-down closes, and the message is queued again for that loop.
    std::optional<MSG> outer_end;
    MSG message{};
    while (!alive.expired()) {
        BOOL const got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        if (got < 0) break;
        if (message.message == WM_END_MODAL && message.hwnd != window) {
            outer_end = message;
            close_dropdown_window();
            break;
        }
        if (!dispatch_message(message)) break;
    }
    if (outer_end) post_again(*outer_end);
    if (alive.expired()) return;
    log_open_step(3);
    on_combo_changed(this);
    if (alive.expired()) return;
    log_open_step(4);
    dropdown_.reset();
    log_open_step(5);
}

void ControlComboBox::close_dropdown_window() {
    if (!dropdown_) return;
    os::get_log() << "ControlComboBox::close_dropdown_window 1\n";
    dropdown_->close();
}

}  // namespace skinner
