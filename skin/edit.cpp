#include "skin/edit.h"

#include <algorithm>
#include <cstring>

#include "foundation/clipboard.h"
#include "foundation/log.h"
#include "skin/form.h"
#include "skin/native_menu.h"

namespace skinner {

namespace {

constexpr int key_c = KEY_A + ('C' - 'A');
constexpr int key_v = KEY_A + ('V' - 'A');
constexpr int key_x = KEY_A + ('X' - 'A');
constexpr unsigned double_tap_flag = 1;

bool is_white(char16_t c) { return c == u' ' || (c >= u'\t' && c <= u'\r') || c == 0x00A0 || c == 0x3000; }

// A single-line field keeps no control characters, whatever path the text came by.
std::u16string without_control_characters(const std::u16string& text) {
    std::u16string kept;
    kept.reserve(text.size());
    for (char16_t c : text) {
        if (c >= 0x20) kept.push_back(c);
    }
    return kept;
}

MenuItemInfo menu_item(const std::u16string& action, std::u16string text, bool enabled) {
    MenuItemInfo item;
    item.command = action;
    item.text = std::move(text);
    item.enabled = enabled;
    return item;
}

}  // namespace

ControlEdit::ControlEdit(Container* container, const std::u16string& name, int lookup_mode)
    : Control(container, name, lookup_mode) {
    if (lookup_mode != LOOKUP_NONE) text_ = get_string_property(u"Text", u"");
    start_timer(0.05);
    load_edit_properties();
    update_rect();
}

ControlEdit::~ControlEdit() = default;

void ControlEdit::load_properties() {
    load_control_properties();
    load_edit_properties();
}

void ControlEdit::load_edit_properties() {
    impl_.reset();
    if (get_lookup_mode() != LOOKUP_NONE) {
        border_min_ = get_point_property(u"BorderMin", border_min_);
        border_max_ = get_point_property(u"BorderMax", border_min_);
        input_mode_ = get_string_property(u"InputMode", input_mode_);
        caret_width_ = 1;
        normal_picture_ = get_picture_property(u"Normal", PictureRef());
        highlighted_picture_ = get_picture_property(u"Highlighted", normal_picture_);
        disabled_picture_ = get_picture_property(u"Disabled", normal_picture_);
        readonly_picture_ = get_picture_property(u"Readonly", disabled_picture_);
        selection_picture_ = get_picture_property(u"Selection", PictureRef());
        normal_font_ = get_font_property(u"Normal", FontRef());
        disabled_font_ = get_font_property(u"Disabled", normal_font_);
        readonly_font_ = get_font_property(u"Readonly", disabled_font_);
        normal_colour_ = get_color_property(u"Normal", 0);
        disabled_colour_ = get_color_property(u"Disabled", normal_colour_);
        readonly_colour_ = get_color_property(u"Readonly", disabled_colour_);
        selection_colour_ = get_color_property(u"Selection", normal_colour_);
        readonly_ = get_integer_property(u"Readonly", readonly_ ? 1 : 0) != 0;
        std::u16string const password =
            get_string_property(u"PasswordChar", password_char_ ? std::u16string(1, password_char_) : u"");
        password_char_ = password.empty() ? 0 : password.front();
    }
    make_impl();
}

void ControlEdit::make_impl() {
    impl_ = make_edit_impl(*this);
    impl_->set_rect(get_position(), get_rect_size());
    impl_->set_input_mode(input_mode_);
    impl_->set_readonly(readonly_);
    impl_->set_text(text_);
    impl_->set_shown(is_visible());
}

void ControlEdit::set_rect(Point position, Size size) {
    if (impl_) impl_->set_rect(position, size);
    Control::set_rect(position, size);
}

void ControlEdit::set_text(const std::u16string& text) {
    if (text == text_) return;
    anchor_ = 0;
    caret_ = static_cast<int>(text_.size());
    replace_selection(text);
    impl_->set_text(text_);
}

void ControlEdit::set_selection(int anchor, int caret) {
    int const length = static_cast<int>(text_.size());
    anchor_ = std::clamp(anchor, 0, length);
    caret_ = std::clamp(caret, 0, length);
    impl_->set_selection(anchor_, caret_);
    repaint();
}

void ControlEdit::set_readonly(bool readonly) {
    if (readonly == readonly_) return;
    readonly_ = readonly;
    impl_->set_readonly(readonly_);
    repaint();
}

void ControlEdit::replace_selection(const std::u16string& text) {
    auto const start = static_cast<std::size_t>(selection_start());
    auto const end = static_cast<std::size_t>(selection_end());
    std::u16string next = text_.substr(0, start) + text + text_.substr(end);
    anchor_ = caret_ = static_cast<int>(start + text.size());
    bool const changed = next != text_;
    text_ = std::move(next);
    if (changed) notify_text_changed();
    repaint();
}

bool ControlEdit::copy() {
    if (password_char_ != 0 || !has_selection()) return false;
    std::u16string const selected = text_.substr(static_cast<std::size_t>(selection_start()),
                                                 static_cast<std::size_t>(selection_end() - selection_start()));
    std::size_t const bytes = (selected.size() + 1) * sizeof(char16_t);
    os::ClipboardWriter writer(os::clipboard_kind_unicode_text, bytes, true);
    void* const buffer = writer.get_buffer();
    if (!buffer) return false;
    std::memcpy(buffer, selected.c_str(), bytes);
    return true;
}

void ControlEdit::cut() {
    if (readonly_) return;
    // A selection that did not reach the clipboard is not thrown away.
    if (copy()) delete_selection();
}

void ControlEdit::paste() {
    if (readonly_) return;
    std::u16string units;
    {
        os::ClipboardReader reader(os::clipboard_kind_unicode_text);
        if (!reader.has_data()) return;
        std::size_t const bytes = reader.get_size();
        if (bytes < sizeof(char16_t) || bytes % sizeof(char16_t) != 0 || !reader.get_data()) return;
        units.resize(bytes / sizeof(char16_t));
        std::memcpy(units.data(), reader.get_data(), bytes);
    }
    // Dropping the characters below U+0020 drops the terminator too.
    std::u16string const kept = without_control_characters(units);
    if (!kept.empty()) replace_selection(kept);
}

void ControlEdit::select_all() {
    anchor_ = 0;
    caret_ = static_cast<int>(text_.size());
    impl_->set_selection(anchor_, caret_);
    repaint();
}

std::u16string ControlEdit::shown_text() const {
    return password_char_ ? std::u16string(text_.size(), password_char_) : text_;
}

bool ControlEdit::is_caret_shown() const { return blink_ < blink_period_ / 2 && !dragging_ && has_focus(); }

void ControlEdit::show_caret_now() {
    blink_ = 0;
    repaint();
}

ControlEdit::State ControlEdit::paint_state() const {
    if (readonly_) return State::readonly;
    if (!is_enabled()) return State::disabled;
    return has_focus() ? State::focused : State::normal;
}

const PictureRef& ControlEdit::state_picture() const {
    switch (paint_state()) {
    case State::readonly: return readonly_picture_;
    case State::disabled: return disabled_picture_;
    case State::focused: return highlighted_picture_;
    default: return normal_picture_;
    }
}

const FontRef& ControlEdit::state_font() const {
    switch (paint_state()) {
    case State::readonly: return readonly_font_;
    case State::disabled: return disabled_font_;
    default: return normal_font_;
    }
}

std::uint32_t ControlEdit::state_colour() const {
    switch (paint_state()) {
    case State::readonly: return readonly_colour_;
    case State::disabled: return disabled_colour_;
    default: return normal_colour_;
    }
}

int ControlEdit::width_to(int index) const {
    if (index <= 0 || edges_.empty()) return 0;
    return edges_[static_cast<std::size_t>(std::min<int>(index, static_cast<int>(edges_.size())) - 1)];
}

// The edges and the scroll as the next paint will use them. Running it twice gives the
// same, so taps and menus may run it between paints.
void ControlEdit::update_layout() {
    std::u16string const shown = shown_text();
    const FontRef& font = state_font();
    edges_.resize(shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) {
        edges_[i] = static_cast<int>(font.measure_text(shown.substr(0, i + 1)).cx);
    }
    int const box_width = get_rect_size().width - border_min_.x - border_max_.x;
    int const room = box_width - caret_width_;
    int const full = width_to(static_cast<int>(shown.size()));
    int const to_caret = width_to(caret_);
    if (scroll_ + full < room) scroll_ = room - full;
    if (scroll_ > 0) scroll_ = 0;
    if (scroll_ + to_caret < 0) scroll_ = -to_caret;
    if (scroll_ + to_caret > room) scroll_ -= scroll_ + to_caret - room;
}

int ControlEdit::index_at(Point point) {
    update_layout();
    int const x = point.x - scroll_ - border_min_.x - get_position().x;
    if (x < 0) return 0;
    int const count = std::min(static_cast<int>(text_.size()), static_cast<int>(edges_.size()));
    int previous = 0;
    for (int i = 0; i < count; ++i) {
        int const edge = edges_[static_cast<std::size_t>(i)];
        if (x < (edge + previous) / 2) return i;
        previous = edge;
    }
    return count;
}

void ControlEdit::paint(Canvas& canvas, Point clip_position, Size clip_size) {
    if (impl_->draws_itself()) {
        Point const p = get_position();
        Size const s = get_rect_size();
        canvas.push_clip(POINT{p.x, p.y}, POINT{s.width, s.height});
        state_picture().draw(canvas, POINT{p.x, p.y}, POINT{s.width, s.height});
        update_layout();
        Point const box{p.x + border_min_.x, p.y + border_min_.y};
        Size const box_size{s.width - border_min_.x - border_max_.x, s.height - border_min_.y - border_max_.y};
        paint_text(canvas, box, box_size);
        canvas.pop_clip();
    }
    Control::paint(canvas, clip_position, clip_size);
}

void ControlEdit::paint_text(Canvas& canvas, Point box, Size box_size) {
    int left = box.x + scroll_ + width_to(selection_start());
    int right = box.x + scroll_ + width_to(selection_end());
    if (is_caret_shown()) {
        if (caret_ == selection_end()) {
            right += caret_width_;
        } else {
            left += caret_width_;
        }
    }
    left = std::max(left, box.x);
    right = std::min(right, box.x + box_size.width);
    if (right > left) selection_picture_.draw(canvas, POINT{left, box.y}, POINT{right - left, box_size.height});

    canvas.push_clip(POINT{box.x, box.y}, POINT{box_size.width, box_size.height});
    std::u16string const shown = shown_text();
    auto const part = [&](int from, int to) {
        return shown.substr(static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
    };
    auto const x_of = [&](int index) { return box.x + scroll_ + width_to(index); };
    int const length = static_cast<int>(shown.size());
    std::uint32_t const colour = state_colour();
    if (anchor_ < caret_) {
        draw_before(canvas, part(anchor_, caret_), x_of(caret_), box, box_size, selection_colour_);
        draw_before(canvas, part(0, anchor_), x_of(anchor_), box, box_size, colour);
        draw_after(canvas, part(caret_, length), x_of(caret_), box, box_size, colour);
    } else if (anchor_ > caret_) {
        draw_before(canvas, part(0, caret_), x_of(caret_), box, box_size, colour);
        draw_after(canvas, part(caret_, anchor_), x_of(caret_), box, box_size, selection_colour_);
        draw_after(canvas, part(anchor_, length), x_of(anchor_), box, box_size, colour);
    } else {
        draw_before(canvas, part(0, caret_), x_of(caret_), box, box_size, colour);
        draw_after(canvas, part(caret_, length), x_of(caret_), box, box_size, colour);
    }
    canvas.pop_clip();
}

// Right-aligned so that the text ends at end_x.
void ControlEdit::draw_before(Canvas& canvas, const std::u16string& text, int end_x, Point box, Size box_size,
                              std::uint32_t colour) const {
    int const start_x = box.x + scroll_;
    if (text.empty() || end_x <= start_x) return;
    state_font().draw_text(canvas, colour, text, POINT{start_x, box.y}, POINT{end_x - start_x, box_size.height}, 2, 1);
}

void ControlEdit::draw_after(Canvas& canvas, const std::u16string& text, int start_x, Point box, Size box_size,
                             std::uint32_t colour) const {
    int const end_x = box.x + box_size.width;
    if (text.empty() || start_x >= end_x) return;
    state_font().draw_text(canvas, colour, text, POINT{start_x, box.y}, POINT{end_x - start_x, box_size.height}, 0, 1);
}

bool ControlEdit::hit_test(Point point) {
    if (!impl_->draws_itself()) return false;
    Point const p = get_position();
    Size const s = get_rect_size();
    return !state_picture().is_transparent_at(POINT{point.x, point.y}, POINT{p.x, p.y}, POINT{s.width, s.height});
}

void ControlEdit::on_focus_gained() {
    if (is_enabled() && !readonly_) {
        if (Form* const form = get_form()) form->set_input_panel(true);
    }
    repaint();
    impl_->on_focus_gained();
}

void ControlEdit::on_focus_lost(Control* /*next*/) {
    if (blink_ != 0) show_caret_now();
    if (Form* const form = get_form()) form->set_input_panel(false);
    repaint();
    impl_->on_focus_lost();
}

void ControlEdit::on_shown_changed(bool shown) { impl_->set_shown(shown); }

void ControlEdit::on_stylus_down(Point point, unsigned flags) {
    dragging_ = true;
    int const index = index_at(point);
    if (flags & double_tap_flag) {
        select_word_at(index);
    } else {
        anchor_ = caret_ = index;
    }
    down_point_ = point;
    repaint();
}

void ControlEdit::on_stylus_move(Point point, unsigned /*flags*/) {
    if (!dragging_) return;
    caret_ = index_at(point);
    repaint();
}

void ControlEdit::on_stylus_up(Point point, unsigned /*flags*/) {
    if (!dragging_) return;
    dragging_ = false;
    if (!(point == down_point_)) caret_ = index_at(point);
    notify_click();
    show_caret_now();
}

void ControlEdit::on_button2_up(Point point, unsigned /*flags*/) { show_context_menu(point); }

namespace {

char16_t char_at(const std::u16string& text, int index) {
    return index >= 0 && index < static_cast<int>(text.size()) ? text[static_cast<std::size_t>(index)] : u'\0';
}

}  // namespace

// The following spaces belong to the word, as a double tap selects it.
int ControlEdit::word_right(int from) const {
    int const length = static_cast<int>(text_.size());
    int at = from;
    while (at < length && !is_white(char_at(text_, at))) ++at;
    while (at < length && is_white(char_at(text_, at))) ++at;
    return at;
}

int ControlEdit::word_left(int from) const {
    int at = from;
    while (at > 0 && is_white(char_at(text_, at))) --at;
    while (at > 0 && !is_white(char_at(text_, at))) --at;
    if (is_white(char_at(text_, at))) ++at;
    return std::min(at, static_cast<int>(text_.size()));
}

void ControlEdit::select_word_at(int index) {
    caret_ = word_right(index);
    anchor_ = word_left(index);
}

bool ControlEdit::on_char(const std::u16string& text, unsigned /*flags*/) {
    os::get_log() << "on_text" << text << "\n";
    if (!impl_->draws_itself() || readonly_) return false;
    if (dragging_) return true;
    // Nothing typed: an empty text never clears the field.
    std::u16string const typed = without_control_characters(text);
    if (typed.empty()) return false;
    replace_selection(typed);
    blink_ = 0;
    return true;
}

void ControlEdit::move_caret(int target, bool extend) {
    caret_ = target;
    if (!extend) anchor_ = target;
    show_caret_now();
}

bool ControlEdit::on_keydown(int key) {
    if (!impl_->draws_itself() || dragging_) return false;
    bool const shift = is_key_down(KEY_SHIFT);
    bool const ctrl = is_key_down(KEY_CONTROL);
    int const length = static_cast<int>(text_.size());
    switch (key) {
    case key_c:
        if (!ctrl) return false;
        copy();
        return true;
    case KEY_INSERT:
        if (ctrl) {
            copy();
        } else if (shift) {
            paste();
        } else {
            return false;
        }
        return true;
    case key_v:
        if (!ctrl) return false;
        paste();
        return true;
    case key_x:
        if (!ctrl) return false;
        if (password_char_ == 0) cut();
        return true;
    case KEY_DELETE:
        if (shift) {
            if (password_char_ == 0) cut();
        } else if (!readonly_) {
            if (!has_selection() && caret_ < length) anchor_ = caret_ + 1;
            if (has_selection()) delete_selection();
            repaint();
        }
        return true;
    case KEY_BACK:
        if (!readonly_) {
            if (!has_selection() && caret_ > 0) anchor_ = caret_ - 1;
            if (has_selection()) delete_selection();
            repaint();
        }
        return true;
    case KEY_LEFT: {
        int target = caret_ > 0 ? caret_ - 1 : 0;
        if (ctrl) target = word_left(target);
        if (!shift) {
            move_caret(target, false);
        } else if (caret_ != 0) {
            move_caret(target, true);
        } else {
            show_caret_now();
        }
        return true;
    }
    case KEY_RIGHT: {
        int target = caret_ < length ? caret_ + 1 : length;
        if (ctrl) target = word_right(target);
        move_caret(target, shift);
        return true;
    }
    case KEY_HOME: move_caret(0, shift); return true;
    case KEY_END: move_caret(length, shift); return true;
    case KEY_APPS: show_context_menu(caret_menu_point()); return true;
    default: return false;
    }
}

void ControlEdit::on_timer(UINT_PTR /*id*/, WPARAM /*word*/) {
    if (!impl_->draws_itself() || !has_focus()) return;
    int const half = blink_period_ / 2;
    int const before = blink_;
    blink_ = (blink_ + 1) % blink_period_;
    if ((before < half) != (blink_ < half)) repaint();
}

Point ControlEdit::caret_menu_point() const {
    Point const p = get_position();
    Size const s = get_rect_size();
    return {p.x + border_min_.x + scroll_ + width_to(caret_),
            p.y + border_min_.y + (s.height - border_min_.y - border_max_.y) / 2};
}

std::vector<MenuItemInfo> ControlEdit::context_menu_items() const {
    bool const selected = has_selection();
    bool const all_selected = selection_start() == 0 && selection_end() == static_cast<int>(text_.size());
    std::vector<MenuItemInfo> items{
        menu_item(u"menuCut", translate(u"menuCut", u"Cut"), selected && !readonly_ && password_char_ == 0),
        menu_item(u"menuCopy", translate(u"menuCopy", u"Copy"), selected && password_char_ == 0),
        menu_item(u"menuPaste", translate(u"menuPaste", u"Paste"), !readonly_),
        menu_item(u"menuDelete", translate(u"menuDelete", u"Delete"), selected && !readonly_),
        menu_item(u"menuSelectAll", translate(u"menuSelectAll", u"Select All"), !text_.empty() && !all_selected),
    };
    items[3].separator_after = true;
    return items;
}

void ControlEdit::show_context_menu(Point point) {
    Form* const form = get_form();
    if (!form) return;
    std::u16string const action = track_popup_menu(*form, context_menu_items(), point, MenuAlignment{0, 0});
    run_menu_action(action);
}

bool ControlEdit::run_menu_action(const std::u16string& action) {
    if (action == u"menuCut") {
        cut();
    } else if (action == u"menuCopy") {
        copy();
    } else if (action == u"menuPaste") {
        paste();
    } else if (action == u"menuDelete") {
        if (!readonly_) delete_selection();
    } else if (action == u"menuSelectAll") {
        select_all();
    } else {
        return false;
    }
    return true;
}

std::unique_ptr<ControlEdit> create_edit_of_kind(Control& owner, Container* container, const std::u16string& kind_key) {
    if (owner.get_lookup_mode() == LOOKUP_NONE) return std::make_unique<ControlEdit>(container, u"", LOOKUP_NONE);
    return std::make_unique<ControlEdit>(container, owner.get_string_property(kind_key, u""), LOOKUP_BY_KIND);
}

}  // namespace skinner
