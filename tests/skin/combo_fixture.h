// Combo boxes and tab controls on a small test skin: the kinds they build their parts from,
// a form that logs their events, and helpers to act from inside a drop-down's message pump.
#pragma once

#include <functional>
#include <string>

#include "platform/windows.h"
#include "tests/skin/control_kinds_fixture.h"

namespace form_test {

// Logs "selection NAME", "combo-changed NAME", "item-click C,R", "command NAME" and clicks;
// runs on_combo when it hears of a combo's change.
class ComboForm : public EventForm {
public:
    ComboForm(skinner::Properties* properties, const std::u16string& name, Log& log);

    void on_selection_changed(skinner::Control* sender) override;
    void on_combo_changed(skinner::Control* combo) override;
    void on_item_click(skinner::Control* sender, skinner::Cell cell) override;

    std::function<void()> on_combo;

private:
    Log& log_;
};

// The records of a combo control: button 20 wide ("Combo.Button", blue), field
// ("Combo.Field", black text), drop-down form "Drop" with a list ("Combo.List": yellow,
// the chosen row blue with white text, rows 20 high), drop-down size as given.
std::string combo_records(int drop_width, int drop_height);
// A white form with the controls, and the kinds that combo_records and tab_records name.
std::string combo_skin(const std::string& form, int width, int height, const std::string& controls);
// The records of a tab control over the pages of the form "Pages": header 20 high from the
// kind "Tab.Header" (grey items, the chosen one green), scroll buttons 16 wide, text border 4.
std::string tab_records(const std::string& orientation = "");

// When the test screen's loop stops: posts the end message to the window and remembers it.
class LoopGuard {
public:
    explicit LoopGuard(HWND window);
    ~LoopGuard();
    bool fired() const;
};

class ComboFixture : public ControlKindsTest {
protected:
    ComboFixture() = default;
    explicit ComboFixture(const char* screen_size) : ControlKindsTest(screen_size) {}
    ~ComboFixture() override;

    // Runs the action inside whichever loop runs once the condition holds (a drop-down's
    // pump, say); a thread timer asks until then.
    void when(std::function<bool()> condition, std::function<void()> action);
};

}  // namespace form_test
