#include "screens/settings_buttons.h"

#include "app/settings.h"
#include "platform/resources.h"
#include "skin/check_box.h"
#include "skin/combo_box_string.h"
#include "skin/hardware_keys.h"

namespace {

struct Action {
    const char16_t* label_key;
    const char16_t* command;
};

constexpr Action actions[] = {
    {u"SettingsButtonsNone", u""},
    {u"SettingsButtonsPlay", u"Play"},
    {u"SettingsButtonsRecord", u"Record"},
    {u"SettingsButtonsStop", u"Stop"},
    {u"SettingsButtonsPrevious", u"Prev"},
    {u"SettingsButtonsNext", u"Next"},
    {u"SettingsButtonsNewBookmark", u"NewBookmark"},
    {u"SettingsButtonsPlayStop", u"PlayStop"},
    {u"SettingsButtonsRecordStop", u"RecordStop"},
    {u"SettingsButtonsForward", u"Forward"},
    {u"SettingsButtonsRewind", u"Rewind"},
    {u"SettingsButtonsVolumeUp", u"VolumeUp"},
    {u"SettingsButtonsVolumeDown", u"VolumeDown"},
};

}  // namespace

SettingsButtons::ListButtons::ListButtons(skinner::Container* container, const std::u16string& name,
                                          const std::vector<std::u16string>* labels)
    : ControlListGeneric(container, name), labels_(labels) {
    read_widths();
}

void SettingsButtons::ListButtons::read_widths() {
    icon_width_ = get_scaled_integer_property(u"IconWidth", icon_width_);
    name_width_ = get_scaled_integer_property(u"NameWidth", name_width_);
    icon_resolution_ = get_scaled_integer_property(u"IconResolution", icon_resolution_);
}

void SettingsButtons::ListButtons::load_properties() {
    ControlListGeneric::load_properties();
    read_widths();
}

int SettingsButtons::ListButtons::get_column_width(int column) {
    if (column == 0) return icon_width_;
    if (column == 1) return name_width_;
    return -1;
}

void SettingsButtons::ListButtons::paint_item(int column, int row, skinner::Canvas& canvas, skinner::Point position,
                                              skinner::Size size, bool selected, bool highlighted) {
    if (row < 0 || row >= get_row_count()) return;
    const skinner::StateLook& look = get_item_look(selected, highlighted);
    look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
    Button const& button = rows_[static_cast<std::size_t>(row)];
    skinner::Point const low = get_item_border_min();
    skinner::Point const high = get_item_border_max();
    POINT const text_position{position.x + low.x, position.y + low.y};
    POINT const text_size{size.width - low.x - high.x, size.height - low.y - high.y};
    if (column == 0) {
        if (button.icon) {
            DrawIconEx(canvas.get_dc(), position.x + (size.width - icon_resolution_) / 2, position.y, button.icon, 0,
                       0, 0, nullptr, DI_NORMAL);
        } else if (button.picture) {
            button.picture->draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
        }
    } else if (column == 1) {
        look.font.draw_text(canvas, look.colour, button.name, text_position, text_size, 0, 1);
    } else if (labels_ && button.action >= 0 && button.action < static_cast<int>(labels_->size())) {
        look.font.draw_text(canvas, look.colour, (*labels_)[static_cast<std::size_t>(button.action)], text_position,
                            text_size, 0, 1);
    }
}

const std::vector<std::u16string>& SettingsButtons::action_commands() {
    static const std::vector<std::u16string> commands = [] {
        std::vector<std::u16string> all;
        for (const Action& action : actions) all.emplace_back(action.command);
        return all;
    }();
    return commands;
}

int SettingsButtons::find_action(const std::u16string& command) {
    auto const& commands = action_commands();
    for (std::size_t index = 0; index < commands.size(); ++index) {
        if (commands[index] == command) return static_cast<int>(index);
    }
    return 0;
}

SettingsButtons::SettingsButtons(skinner::ControlTab* tab, const std::u16string& name, const Settings& settings)
    : ControlTabElement(tab, name) {
    skinner::Container* const inner = get_panel_container();
    unmap_ = std::make_unique<skinner::ControlCheckBox>(inner, u"chkUnmap");
    assign_ = std::make_unique<skinner::ControlComboBoxStringReadonly>(inner, u"cbAssign");
    translate_labels();
    list_ = std::make_unique<ListButtons>(inner, u"lstButtons", &labels_);
    keys_ = std::make_unique<skinner::HardwareKeys>(get_form());
    load_pictures();

    unmap_->set_checked(settings.buttons.unmap_when_inactive);
    assign_->set_items(labels_);
    assign_->set_selected_index(0);

    std::vector<Button> rows;
    auto const& keys = keys_->get_keys();
    auto const& bound = settings.buttons.keys;
    for (std::size_t index = 0; index < keys.size(); ++index) {
        std::u16string const command = index < bound.size() ? bound[index] : std::u16string();
        rows.push_back({keys[index].name, find_action(command), keys[index].icon, nullptr, 0});
    }
    rows.push_back({{}, find_action(settings.buttons.joy_left_action), nullptr, &joy_left_, joystick_left});
    rows.push_back({{}, find_action(settings.buttons.joy_right_action), nullptr, &joy_right_, joystick_right});
    list_->set_rows(std::move(rows));
    translate_joystick_names();
    list_->set_current_row(0);
}

SettingsButtons::~SettingsButtons() {
    // The rows point at the pictures: the list goes first.
    list_.reset();
}

void SettingsButtons::load_pictures() {
    joy_left_ = get_picture_property(u"JoyLeft", skinner::PictureRef());
    joy_right_ = get_picture_property(u"JoyRight", skinner::PictureRef());
}

void SettingsButtons::load_properties() {
    ControlTabElement::load_properties();
    load_pictures();
    translate_labels();
    assign_->replace_item_texts(labels_);
    translate_joystick_names();
    list_->refresh();
}

// The list draws these very labels: they are replaced in place.
void SettingsButtons::translate_labels() {
    labels_.clear();
    for (const Action& action : actions) labels_.push_back(translate(action.label_key));
}

void SettingsButtons::translate_joystick_names() {
    for (Button& row : list_->rows()) {
        if (row.kind == joystick_left) row.name = translate(u"SettingsButtonsJoyLeft");
        else if (row.kind == joystick_right) row.name = translate(u"SettingsButtonsJoyRight");
    }
}

void SettingsButtons::on_selection_changed(skinner::Control* sender) {
    int const row = list_ ? list_->get_current_row() : -1;
    bool const has_row = row >= 0 && row < list_->get_row_count();
    if (sender == assign_.get()) {
        if (!has_row) return;
        list_->rows()[static_cast<std::size_t>(row)].action = assign_->get_selected_index();
        list_->refresh();
    } else if (list_ && sender == list_.get()) {
        if (has_row) assign_->set_selected_index(list_->get_rows()[static_cast<std::size_t>(row)].action);
    }
}

void SettingsButtons::apply(Settings& settings) {
    ButtonSettings& buttons = settings.buttons;
    buttons.unmap_when_inactive = unmap_->is_checked();
    auto const& commands = action_commands();
    auto command_of = [&](const Button& button) {
        bool const known = button.action >= 0 && button.action < static_cast<int>(commands.size());
        return known ? commands[static_cast<std::size_t>(button.action)] : std::u16string();
    };
    buttons.keys.clear();
    for (const Button& button : list_->get_rows()) {
        if (button.kind == joystick_left) buttons.joy_left_action = command_of(button);
        else if (button.kind == joystick_right) buttons.joy_right_action = command_of(button);
        else buttons.keys.push_back(command_of(button));
    }
}
