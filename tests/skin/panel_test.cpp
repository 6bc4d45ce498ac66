// Panels: the inner container's skin node ("FormTemplate" or the panel's own form), its
// background, layout and automatic controls, events on to the form, and see-through pixels.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "skin/button.h"
#include "skin/panel.h"
#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using skinner::ControlButton;
using skinner::ControlPanel;

class PanelTest : public ControlKindsTest {
protected:
    void SetUp() override {
        std::string const inner_button = control_xml("btn", 5, 6, 20, 10, string_xml("Text", "in template"));
        use_kinds_skin(
            form_xml("Host", 200, 200,
                     control_xml("templated", 40, 50, 100, 80,
                                 string_xml("FormTemplate", "Inner") + picture_xml("Background", "blue")) +
                         control_xml("plain", 40, 50, 100, 80, picture_xml("Background", "blue")) +
                         control_xml("lonely", 40, 50, 100, 80, "") +
                         control_xml("holey", 40, 50, 40, 40,
                                     picture_xml("Background", "half") + integer_xml("ZOrder", 1)) +
                         control_xml("under", 40, 50, 40, 40, "")) +
            form_xml("Inner", 100, 80,
                     picture_xml("Background", "green") + inner_button + "<auto name=\"autoBtn\" kind=\"Auto.Button\"/>") +
            form_xml("plain", 100, 80,
                     picture_xml("Background", "red") + control_xml("btn", 5, 6, 20, 10, string_xml("Text", "own form"))) +
            "<kind name=\"Auto.Button\"/>");
        form = std::make_unique<EventForm>(properties.get(), u"Host", log);
    }
    void TearDown() override { form.reset(); }

    std::unique_ptr<EventForm> form;
};

TEST_F(PanelTest, ChildrenComeFromTheTemplateFormOrThePanelsOwnForm) {
    struct Case {
        const char16_t* panel;
        const char16_t* child_text;
        std::uint32_t background;
        std::size_t auto_controls;
    };
    // The template's own Background overrides the panel's; without a template the panel's
    // own one is drawn.
    for (Case const c : {Case{u"templated", u"in template", green, 1}, Case{u"plain", u"own form", blue, 0}}) {
        std::string const name(c.panel, c.panel + std::char_traits<char16_t>::length(c.panel));
        ControlPanel panel(form.get(), c.panel);
        skinner::Container* const inner = panel.get_panel_container();
        ASSERT_NE(inner, nullptr);
        ControlButton child(inner, u"btn");
        EXPECT_EQ(child.get_text(), c.child_text) << name;
        EXPECT_EQ(child.get_position(), (skinner::Point{45, 56})) << name << ": laid out from the panel's place";
        EXPECT_EQ(inner->get_auto_controls().size(), c.auto_controls) << name;
        Surface surface(200, 200);
        surface.paint(panel);
        EXPECT_EQ(surface.at(130, 120), c.background) << name;
    }
}

TEST_F(PanelTest, APanelWithoutAnyFormReadsNothingForItsChildren) {
    ControlPanel panel(form.get(), u"lonely");
    EXPECT_TRUE(panel.get_panel_container()->get_form_name().empty());
    EXPECT_TRUE(panel.get_panel_container()->get_controls().empty());
}

TEST_F(PanelTest, MovingThePanelMovesItsChildrenAndTheyAskForRoom) {
    ControlPanel panel(form.get(), u"templated");
    ControlButton child(panel.get_panel_container(), u"btn");
    panel.set_rect({10, 20}, {100, 80});
    EXPECT_EQ(child.get_position(), (skinner::Point{15, 26}));
    child.set_rect({15, 26}, {150, 10});
    EXPECT_EQ(panel.get_size(), (skinner::Size{155, 80})) << "the children's extent widens the panel";
    // A hidden child (a scroll bar that is not needed, waiting outside) asks for nothing.
    child.set_visible(false);
    EXPECT_EQ(panel.get_size(), (skinner::Size{100, 80}));
}

TEST_F(PanelTest, EventsOfChildrenReachTheForm) {
    ControlPanel panel(form.get(), u"templated");
    ControlButton child(panel.get_panel_container(), u"btn");
    form->on_stylus_down({50, 60}, 0);
    form->on_stylus_up({50, 60}, 0);
    EXPECT_TRUE(logged("click btn")) << ::testing::PrintToString(log);

    form->set_has_focus(true);
    child.set_focus();
    EXPECT_TRUE(panel.has_focus()) << "a child that takes the focus makes the panel focused";
}

TEST_F(PanelTest, SeeThroughPixelsOfTheBackgroundLetTapsThrough) {
    ControlPanel holey(form.get(), u"holey");
    ProbeControl under(form.get(), "under", log);
    // "half" is see-through on its left half: the panel at (40, 50), 40 x 40.
    EXPECT_EQ(form->control_at({45, 60}), &under);
    EXPECT_EQ(form->control_at({75, 60}), &holey);
    form->on_stylus_down({45, 60}, 0);
    form->on_stylus_up({45, 60}, 0);
    EXPECT_TRUE(logged("under up 45,60 0")) << ::testing::PrintToString(log);
}

}  // namespace
}  // namespace form_test
