#include "skin/tab.h"

#include <algorithm>

#include "skin/container.h"
#include "skin/form.h"
#include "skin/form_impl.h"

namespace skinner {

namespace {

std::u16string kind_of(Control& control, const std::u16string& key) {
    return control.get_lookup_mode() == LOOKUP_NONE ? std::u16string() : control.get_string_property(key, u"");
}

std::unique_ptr<ControlButton> make_scroll_button(ControlTab& tab, const std::u16string& key) {
    auto button = std::make_unique<ControlButton>(tab.get_panel_container(), kind_of(tab, key), LOOKUP_BY_KIND);
    button->set_z_order(1);
    button->set_want_focus(false);
    return button;
}

constexpr const char16_t* menu_tag = u"#smartphone_tab#";

}  // namespace

ControlTabBase::ControlTabBase(Container* container, const std::u16string& name, int lookup_mode)
    : ControlPanel(container, name, lookup_mode) {}

ControlTabElement* ControlTabBase::get_visible_page() const {
    for (ControlTabElement* page : pages_) {
        if (page->get_own_visible()) return page;
    }
    return nullptr;
}

int ControlTabBase::index_of(const ControlTabElement* page) const {
    auto const found = std::find(pages_.begin(), pages_.end(), page);
    return found == pages_.end() ? -1 : static_cast<int>(found - pages_.begin());
}

ControlTab::Grid::Grid(ControlTab* tab, const std::u16string& kind)
    : ControlGrid(tab->get_panel_container(), kind, LOOKUP_BY_KIND), tab_(tab) {
    set_z_order(0);
}

int ControlTab::Grid::get_column_count() { return static_cast<int>(tab_->get_pages().size()); }

int ControlTab::Grid::get_column_width(int column) {
    auto const& widths = tab_->get_item_widths();
    return column >= 0 && static_cast<std::size_t>(column) < widths.size() ? widths[column] : 0;
}

void ControlTab::Grid::paint_item(int column, int, Canvas& canvas, Point position, Size size, bool selected,
                                  bool highlighted) {
    auto const& pages = tab_->get_pages();
    if (column < 0 || static_cast<std::size_t>(column) >= pages.size()) return;
    const StateLook& look = get_item_look(selected, highlighted);
    look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
    look.font.draw_text(canvas, look.colour, pages[column]->get_text(), POINT{position.x, position.y},
                        POINT{size.width, size.height}, 1, 1);
}

void ControlTab::Grid::on_selection_changed() {
    int const column = get_current_column();
    auto const& pages = tab_->get_pages();
    if (column >= 0 && static_cast<std::size_t>(column) < pages.size()) pages[column]->set_visible(true);
    ControlGrid::on_selection_changed();
}

ControlTab::ControlTab(Container* container, const std::u16string& name, int lookup_mode)
    : ControlTabBase(container, name, lookup_mode),
      grid_(std::make_unique<Grid>(this, kind_of(*this, u"KindGrid"))),
      min_(make_scroll_button(*this, u"KindMin")),
      max_(make_scroll_button(*this, u"KindMax")) {
    set_header_shown(!is_smartphone());
    read_keys();
    update_rect();
}

ControlTab::~ControlTab() {
    if (in_menu_) MenuManager::remove_item(get_form(), this);
    max_.reset();
    min_.reset();
    grid_.reset();
}

void ControlTab::read_keys() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    header_height_ = get_scaled_integer_property(u"HeaderHeight", header_height_);
    button_width_ = get_scaled_integer_property(u"ButtonWidth", button_width_);
    text_border_ = get_scaled_integer_property(u"TextBorder", text_border_);
    orientation_ = get_string_property(u"Orientation", orientation_);
}

void ControlTab::load_properties() {
    ControlPanel::load_properties();
    read_keys();
    update_rect();
}

void ControlTab::set_header_shown(bool shown) {
    if (shown == header_shown_) return;
    header_shown_ = shown;
    grid_->set_visible(shown);
    min_->set_visible(shown);
    max_->set_visible(shown);
    if (shown) {
        MenuManager::remove_item(get_form(), this);
    } else {
        MenuManager::add_item(get_form(), this);
    }
    in_menu_ = !shown;
    update_rect();
}

void ControlTab::measure_items() {
    widths_.assign(pages_.size(), 0);
    const bool states[4][2] = {{false, false}, {false, true}, {true, false}, {true, true}};
    for (std::size_t i = 0; i < pages_.size(); ++i) {
        int widest = 0;
        for (auto const& state : states) {
            SIZE const extent = grid_->get_item_look(state[0], state[1]).font.measure_text(pages_[i]->get_text());
            widest = std::max(widest, static_cast<int>(extent.cx));
        }
        widths_[i] = widest + 2 * text_border_;
    }
}

void ControlTab::set_rect(Point position, Size size) {
    ControlPanel::set_rect(position, size);
    // The base constructors lay the tab out before its header exists.
    if (!max_) return;
    widths_.assign(pages_.size(), 0);
    int const header = header_shown_ ? header_height_ : 0;
    bool const at_bottom = orientation_ == u"BOTTOM";
    Point const page_position{position.x, at_bottom || !header_shown_ ? position.y : position.y + header};
    Size const page_size{size.width, size.height - header};
    for (ControlTabElement* page : pages_) page->set_rect(page_position, page_size);
    if (!header_shown_) return;
    measure_items();
    int sum = 0;
    for (int width : widths_) sum += width;
    int const buttons = sum > size.width ? button_width_ : 0;
    int const header_y = at_bottom ? position.y + size.height - header : position.y;
    grid_->set_rect({position.x, header_y}, {size.width - 2 * buttons, header});
    min_->set_rect({position.x + size.width - 2 * buttons, header_y}, {buttons, header});
    max_->set_rect({position.x + size.width - buttons, header_y}, {buttons, header});
    grid_->refresh();
}

void ControlTab::sync_header() {
    int const index = index_of(get_visible_page());
    if (index < 0) return;
    grid_->set_current_column(index);
    grid_->ensure_column_visible(index);
    grid_->refresh();
}

void ControlTab::add_page(ControlTabElement* page) {
    pages_.push_back(page);
    update_rect();
    if (pages_.size() == 1) {
        page->set_visible(true);
        page->set_focus();
    } else {
        page->set_visible(false);
    }
    sync_header();
}

void ControlTab::remove_page(ControlTabElement* page) {
    auto const found = std::find(pages_.begin(), pages_.end(), page);
    if (found == pages_.end()) return;
    pages_.erase(found);
    // The header's items follow the pages at once: a header painted with one item too many
    // would read past the widths.
    update_rect();
    if (!pages_.empty() && !get_visible_page()) pages_.front()->set_visible(true);
    sync_header();
    repaint();
}

void ControlTab::show_page_at(int index, bool focus) {
    if (index < 0 || static_cast<std::size_t>(index) >= pages_.size()) return;
    ControlTabElement* const page = pages_[index];
    page->set_visible(true);
    if (focus) page->set_focus();
}

void ControlTab::select_next_page() {
    int const index = index_of(get_visible_page());
    if (index >= 0) show_page_at(index + 1, true);
}

void ControlTab::select_previous_page() {
    int const index = index_of(get_visible_page());
    if (index > 0) show_page_at(index - 1, true);
}

void ControlTab::on_click(Control* sender) {
    if (sender != min_.get() && sender != max_.get()) {
        ControlPanel::on_click(sender);
        return;
    }
    ControlScrollBar& bar = grid_->get_horizontal_bar();
    int const step = grid_->get_painter().get_rect_size().width / 2;
    bar.set_position(bar.get_scroll_position() + (sender == min_.get() ? -step : step));
    grid_->repaint();
}

void ControlTab::on_item_click(Control* sender, Cell cell) {
    if (sender == grid_.get()) show_page_at(grid_->get_current_column(), true);
    ControlPanel::on_item_click(sender, cell);
}

bool ControlTab::on_command(const std::u16string& command) {
    for (ControlTabElement* page : pages_) {
        if (page->get_name() != command) continue;
        page->set_visible(true);
        return true;
    }
    return ControlPanel::on_command(command);
}

void ControlTab::on_menu_create(MenuItemInfo& menu) {
    for (ControlTabElement* page : pages_) {
        MenuItemInfo entry;
        entry.command = page->get_name();
        entry.text = page->get_text();
        entry.checked = page->get_own_visible();
        menu.children.push_back(entry);
    }
}

void ControlTab::make_menu_entry(MenuItemInfo& entry) {
    entry.command = menu_tag;
    entry.text = menu_tag;
    entry.id = reinterpret_cast<std::uintptr_t>(static_cast<Control*>(this));
}

std::u16string ControlTab::get_text() { return menu_tag; }

ControlTabElement::ControlTabElement(ControlTab* tab, const std::u16string& name, int lookup_mode)
    : ControlPanel(tab->get_panel_container(), name, lookup_mode), tab_(tab) {
    read_text();
    tab_->add_page(this);
}

ControlTabElement::~ControlTabElement() { tab_->remove_page(this); }

void ControlTabElement::read_text() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    text_ = get_string_property(u"Text", text_);
}

void ControlTabElement::load_properties() {
    ControlPanel::load_properties();
    read_text();
}

void ControlTabElement::on_shown_changed(bool shown) {
    ControlPanel::on_shown_changed(shown);
    if (!shown) return;
    for (ControlTabElement* other : tab_->get_pages()) {
        if (other != this) other->set_visible(false);
    }
    tab_->sync_header();
    repaint();
}

bool ControlTabElement::on_keydown(int key) {
    if (ControlPanel::on_keydown(key)) return true;
    if (key == KEY_LEFT) {
        tab_->select_previous_page();
        return true;
    }
    if (key == KEY_RIGHT) {
        tab_->select_next_page();
        return true;
    }
    return false;
}

}  // namespace skinner
