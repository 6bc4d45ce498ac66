// How a tab control with an open combo box on its first page looks on the small and the
// large screen, kept as expected images.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/application.h"
#include "platform/windows.h"
#include "skin/combo_box_string.h"
#include "skin/tab.h"
#include "tests/skin/combo_fixture.h"
#include "tests/support/expected_image.h"

namespace form_test {
namespace {

class ComboTabLook : public ComboFixture, public ::testing::WithParamInterface<const char*> {
protected:
    ComboTabLook() : ComboFixture(GetParam()) {}

    void TearDown() override {
        combo.reset();
        pages.clear();
        tab.reset();
        form.reset();
    }

    os::Application application{nullptr, u"ComboTabLook"};
    std::unique_ptr<ComboForm> form;
    std::unique_ptr<skinner::ControlTab> tab;
    std::vector<std::unique_ptr<skinner::ControlTabElement>> pages;
    std::unique_ptr<skinner::ControlComboBoxStringReadonly> combo;
};

TEST_P(ComboTabLook, AnOpenComboOnATabPageLooksAsKept) {
    std::string const page_one = picture_xml("Background", "colon") + string_xml("FormTemplate", "General") +
                                 string_xml("Text", "General");
    std::string const pages_form =
        control_xml("pageGeneral", 0, 20, 240, 200, page_one) +
        control_xml("pageSound", 0, 20, 240, 200, picture_xml("Background", "colon") + string_xml("Text", "Sound")) +
        control_xml("pageScreen", 0, 20, 240, 200, picture_xml("Background", "colon") + string_xml("Text", "Screen"));
    skinner::Size const screen_size = std::string(GetParam()) == "480x640" ? skinner::Size{480, 640} : skinner::Size{240, 320};
    use_kinds_skin(combo_skin("Look", 240, 220, control_xml("tab", 0, 0, 240, 220, tab_records())) +
                       form_xml("Pages", 240, 220, pages_form) +
                       form_xml("General", 240, 200, control_xml("cbMode", 10, 40, 160, 20, combo_records(0, 60))),
                   screen_size);
    form = std::make_unique<ComboForm>(properties.get(), u"Look", log);
    tab = std::make_unique<skinner::ControlTab>(form.get(), u"tab");
    for (const char16_t* name : {u"pageGeneral", u"pageSound", u"pageScreen"}) {
        pages.push_back(std::make_unique<skinner::ControlTabElement>(tab.get(), name));
    }
    combo = std::make_unique<skinner::ControlComboBoxStringReadonly>(pages[0]->get_panel_container(), u"cbMode");
    combo->set_items({u"Stereo", u"Mono", u"Joint stereo"});
    combo->set_selected_index(1);
    SetForegroundWindow(form->get_window());
    painted();

    std::string difference = "not opened";
    when([this] { return combo->is_dropdown_open(); },
         [&] {
             difference = testing_support::compare_with_expected(painted(), SONBRIX_SKIN_EXPECTED,
                                                                 std::string("combo-on-tab-") + GetParam());
             combo->close_dropdown_window();
         });
    combo->open_dropdown_window();
    EXPECT_EQ(difference, "");
}

INSTANTIATE_TEST_SUITE_P(Screens, ComboTabLook, ::testing::Values("240x320", "480x640"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "240x320" ? "Small" : "Large";
                         });

}  // namespace
}  // namespace form_test
