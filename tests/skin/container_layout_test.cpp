// Laying controls out in their container: anchors, z order in painting and hit testing, the
// preferred size of stretching controls, and a form's placement on the screen.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/windows.h"
#include "skin/form_impl.h"
#include "tests/skin/form_fixture.h"

namespace form_test {
namespace {

using skinner::Point;
using skinner::Size;

class ContainerLayoutTest : public FormTest {};

// At 10 and 30 long on the anchored axis, at 20 and 40 long on the other.
std::string anchored(const std::string& name, const std::string& anchor_x, const std::string& anchor_y,
                     bool by_x = true) {
    return control_xml(name, by_x ? 10 : 20, by_x ? 20 : 10, by_x ? 30 : 40, by_x ? 40 : 30,
                       "<string name=\"AnchorX\" value=\"" + anchor_x + "\"/><string name=\"AnchorY\" value=\"" +
                           anchor_y + "\"/>");
}

TEST_F(ContainerLayoutTest, AnchorsFollowTheContainerAsItGrowsAndShrinks) {
    struct Case {
        const char* anchor;
        int grown_x, grown_width;    // container 150 wide instead of 100, at origin 5
        int shrunk_x, shrunk_width;  // 50 wide
    };
    // Control at x 10, 30 wide, in a design 100 wide.
    std::vector<Case> const cases = {
        {"MIN_SIDE", 15, 30, 15, 30},  {"BOTH_SIDE", 15, 80, 15, -20}, {"MAX_SIDE", 65, 30, -35, 30},
        {"RATIO", 20, 45, 10, 15},     {"CENTER", 27, 30, 2, 30},      {"center", 15, 30, 15, 30},
        {"", 15, 30, 15, 30},
    };
    std::string inside;
    for (std::size_t index = 0; index < cases.size(); ++index) {
        inside += anchored("x" + std::to_string(index), cases[index].anchor, "MIN_SIDE");
        inside += anchored("y" + std::to_string(index), "MIN_SIDE", cases[index].anchor, false);
    }
    use_skin(form_xml("Anchors", 100, 100, inside));
    TestForm form(nullptr, properties.get(), u"Anchors", log);
    std::vector<std::unique_ptr<ProbeControl>> controls;
    for (std::size_t index = 0; index < cases.size(); ++index) {
        controls.push_back(std::make_unique<ProbeControl>(&form, "x" + std::to_string(index), log));
        controls.push_back(std::make_unique<ProbeControl>(&form, "y" + std::to_string(index), log));
    }
    for (std::size_t index = 0; index < cases.size(); ++index) {
        Case const& c = cases[index];
        SCOPED_TRACE(c.anchor);
        ProbeControl& by_x = *controls[2 * index];
        ProbeControl& by_y = *controls[2 * index + 1];
        form.Container::set_rect({5, 0}, {150, 100});
        EXPECT_EQ(by_x.get_position(), (Point{c.grown_x, 20}));
        EXPECT_EQ(by_x.get_rect_size(), (Size{c.grown_width, 40}));
        form.Container::set_rect({0, 5}, {100, 150});
        EXPECT_EQ(by_y.get_position(), (Point{20, c.grown_x}));
        EXPECT_EQ(by_y.get_rect_size(), (Size{40, c.grown_width}));
        form.Container::set_rect({5, 0}, {50, 100});
        EXPECT_EQ(by_x.get_position(), (Point{c.shrunk_x, 20}));
        EXPECT_EQ(by_x.get_rect_size(), (Size{c.shrunk_width, 40}));
    }
}

TEST_F(ContainerLayoutTest, RatioAndCenterWithoutADesignSizeKeepTheDesignPosition) {
    use_skin("<form name=\"Bare\">" + anchored("r", "RATIO", "CENTER", false) + "</form>");
    TestForm form(nullptr, properties.get(), u"Bare", log);
    ProbeControl control(&form, "r", log);
    form.Container::set_rect({3, 4}, {200, 200});
    EXPECT_EQ(control.get_position(), (Point{23, 14}));
    EXPECT_EQ(control.get_rect_size(), (Size{40, 30}));
}

TEST_F(ContainerLayoutTest, EqualZOrdersPaintTheEarlierOnTopAndHitItFirst) {
    // a and b overlap with equal z-orders; c lies under both with a higher z-order.
    use_skin(form_xml("Z", 100, 100,
                      control_xml("a", 0, 0, 50, 50) + control_xml("b", 10, 10, 50, 50) +
                          control_xml("c", 20, 20, 50, 50, "<integer name=\"ZOrder\" value=\"5\"/>")));
    TestForm form(nullptr, properties.get(), u"Z", log);
    ProbeControl a(&form, "a", log, 0xFF0000);
    ProbeControl b(&form, "b", log, 0x00FF00);
    ProbeControl c(&form, "c", log, 0x0000FF);
    std::vector<skinner::Control*> const order = {&b, &a, &c};
    EXPECT_EQ(form.get_controls(), order) << "the later of equal z-orders is lower";
    EXPECT_EQ(form.control_at({15, 15}), &a);
    EXPECT_EQ(form.control_at({25, 25}), &c);
    form.sort_controls();
    EXPECT_EQ(form.get_controls(), order) << "sorting keeps equal z-orders as they were";

    c.set_z_order(-1);
    EXPECT_EQ(form.get_controls(), (std::vector<skinner::Control*>{&c, &b, &a}));
    EXPECT_EQ(form.control_at({25, 25}), &a);

    log.clear();
    painted();
    Log paints;
    for (auto const& line : log)
        if (line.ends_with(" paint")) paints.push_back(line);
    EXPECT_EQ(paints, (Log{"c paint", "b paint", "a paint"}));
}

TEST_F(ContainerLayoutTest, StretchingControlsMakeTheFormLargerThanItsDesign) {
    use_skin(form_xml("Grow", 100, 80,
                      control_xml("wide", 0, 0, 40, 20, "<string name=\"AnchorX\" value=\"BOTH_SIDE\"/>"), 10, 30));
    // A control that asks for more than its design size.
    struct Wide : ProbeControl {
        using ProbeControl::ProbeControl;
        Size get_size() override { return {90, 20}; }
    };
    TestForm form(nullptr, properties.get(), u"Grow", log);
    Wide wide(&form, "wide", log);
    EXPECT_EQ(form.get_min_size(), (Size{150, 80}));
    form.layout();
    EXPECT_EQ(form.get_size(), (Size{150, 80}));
    EXPECT_EQ(wide.get_rect_size(), (Size{90, 20}));
}

TEST_F(ContainerLayoutTest, PlacementModesPlaceEachAxisAgainstTheWorkAreaOrTheOwner) {
    // The screen is 240 x 320: the work area runs from (0, 26) and is 240 x 268.
    struct Case {
        int mode;
        RECT expected;
    };
    std::vector<Case> const cases = {
        {0, {7, 9, 107, 69}},      {1, {70, 130, 170, 190}}, {2, {60, 85, 160, 145}},
        {3, {0, 26, 240, 294}},    {4, {0, 26, 100, 86}},    {5, {140, 234, 240, 294}},
        {9, {0, 0, 100, 60}},
    };
    std::string forms = form_xml("Owner", 180, 150, "", 20, 40);
    for (auto const& c : cases) {
        std::string const mode = "<integer name=\"StartPosition\" value=\"" + std::to_string(c.mode) + "\"/>";
        forms += form_xml("Mode" + std::to_string(c.mode), 100, 60, mode, 7, 9);
    }
    use_skin(forms);
    TestForm owner(nullptr, properties.get(), u"Owner", log);
    for (auto const& c : cases) {
        SCOPED_TRACE(c.mode);
        TestForm form(&owner, properties.get(), u"Mode" + std::u16string(1, static_cast<char16_t>(u'0' + c.mode)), log);
        RECT rect{};
        GetWindowRect(form.get_window(), &rect);
        if (c.mode == 9) {
            // Another value keeps the window's place: where the form was made.
            EXPECT_EQ(rect.right - rect.left, 100);
            EXPECT_EQ(rect.bottom - rect.top, 60);
            continue;
        }
        EXPECT_EQ(rect.left, c.expected.left);
        EXPECT_EQ(rect.top, c.expected.top);
        EXPECT_EQ(rect.right, c.expected.right);
        EXPECT_EQ(rect.bottom, c.expected.bottom);
    }
}

TEST_F(ContainerLayoutTest, PlacementSixLeavesTheWindowAsThePlatformMadeIt) {
    use_skin(form_xml("Keep", 100, 60, "<integer name=\"StartPositionX\" value=\"6\"/>", 7, 9));
    TestForm form(nullptr, properties.get(), u"Keep", log);
    HWND const plain = CreateWindowExW(0, skinner::form_class_name().c_str(), u"", WS_SYSMENU, CW_USEDEFAULT, 0,
                                       CW_USEDEFAULT, 0, nullptr, nullptr, nullptr, nullptr);
    RECT made{}, rect{};
    GetWindowRect(plain, &made);
    GetWindowRect(form.get_window(), &rect);
    DestroyWindow(plain);
    EXPECT_EQ(rect.bottom - rect.top, made.bottom - made.top);
    EXPECT_EQ(rect.right - rect.left, made.right - made.left);
    EXPECT_NE(rect.right - rect.left, 100);
}

TEST_F(ContainerLayoutTest, FullScreenGivesTheWholeScreenToFormsThatFillTheWorkArea) {
    use_skin(form_xml("Fill", 100, 60, "<integer name=\"StartPosition\" value=\"3\"/>"));
    TestForm form(nullptr, properties.get(), u"Fill", log);
    auto const window_rect = [&] {
        RECT rect{};
        GetWindowRect(form.get_window(), &rect);
        return std::vector<LONG>{rect.left, rect.top, rect.right, rect.bottom};
    };
    EXPECT_EQ(window_rect(), (std::vector<LONG>{0, 26, 240, 294}));
    skinner::set_full_screen(true);
    EXPECT_EQ(window_rect(), (std::vector<LONG>{0, 0, 240, 320}));
    skinner::set_full_screen(false);
    EXPECT_EQ(window_rect(), (std::vector<LONG>{0, 26, 240, 294}));
}

}  // namespace
}  // namespace form_test
