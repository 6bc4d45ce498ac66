// The read-only combo box over texts on a test form: where its drop-down opens, what closes
// it (keys, taps, its own button), the one selection event after a changed choice, and the
// drop-down's message pump among other loops.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/application.h"
#include "platform/messages.h"
#include "platform/timers.h"
#include "platform/windows.h"
#include "skin/button.h"
#include "skin/combo_box_string.h"
#include "skin/form_impl.h"
#include "tests/skin/combo_fixture.h"

namespace form_test {
namespace {

using skinner::ControlComboBoxStringReadonly;
using skinner::Point;
using skinner::Size;

constexpr int form_height = 200;

class ComboBoxTest : public ComboFixture {
protected:
    // The combo lies at (10, y), 120 x 20; its drop-down is (width, height) with rows 20 high.
    void make(int y = 10, int drop_height = 60, int drop_width = 0) {
        combo.reset();
        form.reset();
        use_kinds_skin(combo_skin("Combos", 240, form_height, control_xml("combo", 10, y, 120, 20,
                                                                          combo_records(drop_width, drop_height))));
        form = std::make_unique<ComboForm>(properties.get(), u"Combos", log);
        combo = std::make_unique<ControlComboBoxStringReadonly>(form.get(), u"combo");
        combo->set_items({u"alpha", u"beta", u"gamma"});
        SetForegroundWindow(form->get_window());
        painted();
        log.clear();
    }

    void TearDown() override {
        combo.reset();
        form.reset();
    }

    // Opens the drop-down and runs the action inside its pump, then waits for it to close.
    void open_and(const std::function<void()>& inside) {
        when([this] { return combo && combo->is_dropdown_open(); }, inside);
        combo->open_dropdown_window();
    }

    // The drop-down's place relative to the form window.
    RECT dropdown_rect() const {
        RECT drop{};
        GetWindowRect(combo->get_dropdown_form()->get_window(), &drop);
        Point const origin = form->get_window_position();
        return {drop.left - origin.x, drop.top - origin.y, drop.right - origin.x, drop.bottom - origin.y};
    }

    os::Application application{nullptr, u"ComboBoxTest"};
    std::unique_ptr<ComboForm> form;
    std::unique_ptr<ControlComboBoxStringReadonly> combo;
};

struct PlaceCase {
    const char* what;
    int y;
    int drop_width;
    int drop_height;
    RECT expected;
};

TEST_F(ComboBoxTest, TheDropDownOpensBelowUnlessOnlyAboveHasRoom) {
    const PlaceCase cases[] = {
        {"room below", 10, 0, 60, {10, 30, 130, 90}},
        {"exactly enough room below", 120, 0, 60, {10, 140, 130, 200}},
        {"room above only", 150, 0, 60, {10, 90, 130, 150}},
        {"room on neither side", 60, 0, 150, {10, 80, 130, 230}},
        {"above would touch the top edge", 100, 0, 100, {10, 120, 130, 220}},
        {"a width of 0 is the combo's, 120 high", 10, 0, 120, {10, 30, 130, 150}},
        {"a width of its own", 10, 80, 60, {10, 30, 90, 90}},
    };
    for (const PlaceCase& c : cases) {
        SCOPED_TRACE(c.what);
        make(c.y, c.drop_height, c.drop_width);
        RECT placed{};
        open_and([&] {
            placed = dropdown_rect();
            combo->close_dropdown_window();
        });
        EXPECT_EQ(placed.left, c.expected.left);
        EXPECT_EQ(placed.top, c.expected.top);
        EXPECT_EQ(placed.right, c.expected.right);
        EXPECT_EQ(placed.bottom, c.expected.bottom);
        EXPECT_FALSE(combo->is_dropdown_open());
    }
}

struct ChoiceCase {
    const char* what;
    int before;
    std::vector<int> chosen;  // rows chosen in turn while the drop-down is open
    Log expected;
    const char16_t* field;
};

TEST_F(ComboBoxTest, AChangedChoiceIsReportedOnceAfterTheDropDownCloses) {
    const ChoiceCase cases[] = {
        {"nothing chosen", 1, {}, {"combo-changed combo"}, u"beta"},
        {"another item", 1, {2}, {"combo-changed combo", "selection combo"}, u"gamma"},
        {"several, ending elsewhere", 0, {1, 2, 1}, {"combo-changed combo", "selection combo"}, u"beta"},
        {"away and back again", 1, {2, 1}, {"combo-changed combo"}, u"beta"},
        {"a first choice", -1, {0}, {"combo-changed combo", "selection combo"}, u"alpha"},
    };
    for (const ChoiceCase& c : cases) {
        SCOPED_TRACE(c.what);
        make();
        combo->set_selected_index(c.before);
        log.clear();
        int shown_row = -2;
        open_and([&] {
            shown_row = combo->get_list()->get_current_row();
            for (int row : c.chosen) combo->get_list()->select_row(row);
            EXPECT_EQ(log, Log{}) << "nothing is reported while the drop-down is open";
            combo->close_dropdown_window();
        });
        EXPECT_EQ(shown_row, c.before) << "the drop-down opens on the chosen item";
        EXPECT_EQ(log, c.expected);
        EXPECT_EQ(combo->get_text_frame().get_text(), c.field);
        EXPECT_EQ(combo->get_list(), nullptr);
    }
}

TEST_F(ComboBoxTest, TheFieldShowsTheChosenTextAndNothingForAnIndexPastTheItems) {
    make();
    combo->set_selected_index(1);
    EXPECT_EQ(combo->get_text_frame().get_text(), u"beta");
    combo->set_selected_index(5);
    EXPECT_EQ(combo->get_text_frame().get_text(), u"");
    combo->set_selected_index(5);
    EXPECT_EQ(log, (Log{"selection combo", "selection combo"})) << "a choice made in code is reported when it changes";
    open_and([&] { combo->close_dropdown_window(); });
    EXPECT_EQ(combo->get_text_frame().get_text(), u"");
}

TEST_F(ComboBoxTest, TheFieldAndTheButtonShareTheCombo) {
    make();
    EXPECT_EQ(combo->get_field()->get_position(), (Point{10, 10}));
    EXPECT_EQ(combo->get_field()->get_rect_size(), (Size{100, 20}));
    EXPECT_EQ(combo->get_drop_button()->get_position(), (Point{110, 10}));
    EXPECT_EQ(combo->get_drop_button()->get_rect_size(), (Size{20, 20}));
}

// Keys and taps come from the device's screen, as a user gives them.
TEST_F(ComboBoxTest, EnterOpensTheDropDownAndEscapeOrEnterInsideClosesIt) {
    for (UINT const key : {VK_ESCAPE, VK_RETURN}) {
        SCOPED_TRACE(key);
        make();
        combo->set_selected_index(0);
        combo->set_focus();
        log.clear();
        bool opened = false;
        when([this] { return combo->is_dropdown_open(); },
                  [&] {
                      opened = true;
                      painted();
                      ASSERT_TRUE(screen.control().press(key));
                  });
        ASSERT_TRUE(screen.control().press(VK_RETURN));
        ASSERT_TRUE(pump_until([&] { return opened && !combo->is_dropdown_open(); }));
        EXPECT_EQ(log, Log{"combo-changed combo"});
    }
}

struct TapCase {
    const char* what;
    Point tap;  // in the form's client coordinates
    int chosen;
    Log expected;
};

TEST_F(ComboBoxTest, ATapOnAnItemChoosesItAndATapOutsideClosesWithoutAChoice) {
    // The drop-down lies at (10, 30), 120 x 60: rows at 30, 50 and 70.
    const TapCase cases[] = {
        {"the third item", {60, 80}, 2, {"item-click 0,2", "combo-changed combo", "selection combo"}},
        {"outside the drop-down", {200, 150}, 0, {"combo-changed combo"}},
        {"the drop button again", {120, 20}, 0, {"combo-changed combo"}},
    };
    for (const TapCase& c : cases) {
        SCOPED_TRACE(c.what);
        make();
        combo->set_selected_index(0);
        log.clear();
        bool opened = false;
        when([this] { return combo->is_dropdown_open(); },
                  [&] {
                      opened = true;
                      painted();
                      Point const origin = form->get_window_position();
                      ASSERT_TRUE(screen.control().tap(origin.x + c.tap.x, origin.y + c.tap.y));
                  });
        Point const origin = form->get_window_position();
        ASSERT_TRUE(screen.control().tap(origin.x + 120, origin.y + 20));
        ASSERT_TRUE(pump_until([&] { return opened && !combo->is_dropdown_open(); }));
        EXPECT_EQ(combo->get_selected_index(), c.chosen);
        EXPECT_EQ(log, c.expected);
    }
}

TEST_F(ComboBoxTest, TheOwnersLoopEndsWhenTheOwnerClosesWhileTheDropDownIsOpen) {
    make();
    bool pump_returned = false;
    post_action([&] {
        open_and([&] { form->close(); });
        pump_returned = true;
    });
    LoopGuard guard(form->get_window());
    form->do_modal();
    EXPECT_FALSE(guard.fired()) << "the owner's loop went on after the owner closed";
    EXPECT_TRUE(pump_returned);
    EXPECT_FALSE(combo->is_dropdown_open());
    EXPECT_FALSE(form->is_window_visible());
}

TEST_F(ComboBoxTest, AComboDestroyedWhileItsDropDownRunsLeavesNoEndMessageBehind) {
    using Combo = std::unique_ptr<ControlComboBoxStringReadonly>;
    struct Case {
        const char* what;
        std::function<void(ComboForm&, Combo&)> inside;
    };
    const Case cases[] = {
        {"destroyed while open", [](ComboForm&, Combo& combo) { combo.reset(); }},
        {"closed, then destroyed before its pump ran again",
         [](ComboForm&, Combo& combo) {
             combo->close_dropdown_window();
             combo.reset();
         }},
        {"destroyed by the screen when it hears of the change",
         [](ComboForm& form, Combo& combo) {
             form.on_combo = [&combo] { combo.reset(); };
             combo->get_list()->select_row(2);
             combo->close_dropdown_window();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        make();
        auto* const raw = combo.get();
        when([raw] { return raw->is_dropdown_open(); }, [&] { c.inside(*form, combo); });
        raw->open_dropdown_window();
        EXPECT_EQ(combo, nullptr);
        MSG left{};
        EXPECT_FALSE(PeekMessageW(&left, nullptr, skinner::WM_END_MODAL, skinner::WM_END_MODAL, PM_NOREMOVE));
        form->on_combo = nullptr;
    }
}

}  // namespace
}  // namespace form_test
