// The combo box from which the user picks how long the program waits before it turns the
// display off by itself: six fixed choices, "never" first.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/combo_box_generic.h"

namespace screens {

struct TurnOffTime {
    std::u16string text;  // translated
    std::int32_t seconds = 0;  // 0: never
};

class ControlComboBoxTurnOff : public skinner::ControlComboBoxGenericReadonly<std::vector<TurnOffTime>> {
public:
    // The six choices in the current language; nothing is selected yet.
    ControlComboBoxTurnOff(skinner::Container* container, const std::u16string& name,
                           int lookup_mode = skinner::LOOKUP_BY_NAME);

    // After a skin or language reload the texts are translated again; the choice stays.
    void load_properties() override;

    // The field shows the chosen item, the first one while nothing is chosen. The event
    // stays here: the settings pages read the choice when they close.
    void on_selection_changed(skinner::Control* sender) override;
    // The item's look and text over the whole cell.
    void paint_item(int column, int row, skinner::Canvas& canvas, skinner::Point position, skinner::Size size,
                    bool selected, bool highlighted) override;
    std::u16string get_item_text(int index) override;

    // Chooses the first item of at least that many seconds; "never" past the longest.
    void select_seconds(std::int32_t seconds);

protected:
    // The first item stands for no choice.
    void show_choice() override;
};

}  // namespace screens
