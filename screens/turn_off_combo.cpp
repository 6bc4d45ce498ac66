#include "screens/turn_off_combo.h"

#include "skin/properties.h"

namespace screens {

namespace {

struct Choice {
    const char16_t* key;
    std::int32_t seconds;
};

constexpr Choice choices[] = {
    {u"TurnOffTimeNever", 0}, {u"TurnOffTime2sec", 2},   {u"TurnOffTime5sec", 5},
    {u"TurnOffTime10sec", 10}, {u"TurnOffTime30sec", 30}, {u"TurnOffTime1min", 60},
};

std::vector<TurnOffTime> translated_choices(skinner::Properties& properties) {
    std::vector<TurnOffTime> items;
    for (const Choice& choice : choices) items.push_back({properties.translate(choice.key), choice.seconds});
    return items;
}

}  // namespace

ControlComboBoxTurnOff::ControlComboBoxTurnOff(skinner::Container* container, const std::u16string& name,
                                               int lookup_mode)
    : ControlComboBoxGenericReadonly(container, name, lookup_mode) {
    set_items(translated_choices(get_properties()));
}

void ControlComboBoxTurnOff::load_properties() {
    ControlComboBoxGenericReadonly::load_properties();
    replace_item_texts(translated_choices(get_properties()));
}

std::u16string ControlComboBoxTurnOff::get_item_text(int index) {
    if (index < 0 || index >= get_item_count()) return {};
    return items_[static_cast<std::size_t>(index)].text;
}

void ControlComboBoxTurnOff::on_selection_changed(skinner::Control*) { show_choice(); }

void ControlComboBoxTurnOff::show_choice() {
    int const index = get_selected_index();
    // An index past the items shows nothing rather than reading past them.
    get_text_frame().set_text(get_item_text(index == -1 ? 0 : index));
}

void ControlComboBoxTurnOff::paint_item(int, int row, skinner::Canvas& canvas, skinner::Point position,
                                        skinner::Size size, bool selected, bool highlighted) {
    skinner::List* const list = get_list();
    if (!list || row < 0 || row >= get_item_count()) return;
    const skinner::StateLook& look = list->get_item_look(selected, highlighted);
    look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
    look.font.draw_text(canvas, look.colour, items_[static_cast<std::size_t>(row)].text, POINT{position.x, position.y},
                        POINT{size.width, size.height}, 0, 1);
}

void ControlComboBoxTurnOff::select_seconds(std::int32_t seconds) {
    for (int index = 0; index < get_item_count(); ++index) {
        if (items_[static_cast<std::size_t>(index)].seconds >= seconds) {
            set_selected_index(index);
            return;
        }
    }
    set_selected_index(0);
}

}  // namespace screens
