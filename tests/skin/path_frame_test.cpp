// The path frame: the device root shown as the language's "MyDevice" text, the end of a long
// path kept visible behind an ellipsis, and the lines placed by the vertical alignment.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/path_frame.h"
#include "tests/skin/control_kinds_fixture.h"

namespace form_test {
namespace {

using skinner::ControlPathFrame;
using Lines = std::vector<std::u16string>;

// The frame lies at (10, 10), 100 x 30, with a white font.
constexpr RECT area{10, 10, 110, 40};

class PathFrameTest : public ControlKindsTest {
protected:
    ControlPathFrame& make(const std::string& records = "") {
        frame.reset();
        form.reset();
        use_kinds_skin(form_xml("Frames", 240, 200,
                                control_xml("frm", 10, 10, 100, 30,
                                            "<font name=\"Normal\" description=\"14 1 0 0 Tahoma\"/>"
                                            "<color name=\"Normal\" value=\"#FFFFFF\"/>"
                                            "<string name=\"HAlignment\" value=\"LEFT\"/>" +
                                                records)));
        form = std::make_unique<EventForm>(properties.get(), u"Frames", log);
        frame = std::make_unique<ControlPathFrame>(form.get(), u"frm");
        return *frame;
    }

    // The frame painted on black, row by row.
    std::vector<std::uint32_t> painted_pixels(const std::u16string& path) {
        frame->set_text(path);
        Surface surface(240, 200);
        surface.paint(*frame);
        std::vector<std::uint32_t> pixels;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x) pixels.push_back(surface.at(x, y));
        return pixels;
    }

    struct Rows {
        int first;
        int last;
    };
    // The first and last rows of the frame with text drawn in them.
    Rows text_rows(const std::u16string& path) {
        auto const pixels = painted_pixels(path);
        int first = -1, last = -1;
        int const width = area.right - area.left;
        for (int y = 0; y < area.bottom - area.top; ++y) {
            for (int x = 0; x < width; ++x) {
                if (pixels[static_cast<std::size_t>(y * width + x)] != 0) {
                    if (first < 0) first = y;
                    last = y;
                    break;
                }
            }
        }
        return {first, last};
    }

    void TearDown() override {
        frame.reset();
        form.reset();
    }

    std::unique_ptr<EventForm> form;
    std::unique_ptr<ControlPathFrame> frame;
};

TEST_F(PathFrameTest, TheDeviceRootShowsAsMyDevice) {
    auto& path = make();
    struct Case {
        std::u16string text;
        Lines shown;
    };
    const Case cases[] = {
        {u"\\", {u"My Device"}},
        {u"", {u"My Device"}},
        {u"\\My Documents", {u"\\My Documents"}},
        {u"\\Storage Card\\Music\\", {u"\\Storage Card\\Music\\"}},
    };
    for (auto const& c : cases) {
        path.set_text(c.text);
        EXPECT_EQ(path.get_lines(), c.shown);
        EXPECT_EQ(path.get_text(), c.text) << "the text stays the path";
    }

    testing_support::write_host_file(device.host_path("German.lng"), "MyDevice Mein Geraet\n");
    ASSERT_TRUE(properties->set_language(u"\\German.lng"));
    path.set_text(u"\\");
    EXPECT_EQ(path.get_lines(), (Lines{u"Mein Geraet"}));
}

TEST_F(PathFrameTest, ALongPathKeepsItsEndVisible) {
    make();
    // The common end alone is wider than the frame.
    std::u16string const end = u"\\" + std::u16string(20, u'x') + u"\\End";
    auto const long_a = painted_pixels(u"\\" + std::u16string(20, u'a') + end);
    auto const long_b = painted_pixels(u"\\" + std::u16string(20, u'W') + end);
    EXPECT_EQ(long_a, long_b) << "the beginnings are cut off";
    auto const other_end = painted_pixels(u"\\" + std::u16string(20, u'a') + end.substr(0, end.size() - 3) + u"Fnd");
    EXPECT_NE(long_a, other_end) << "the end is drawn";
}

TEST_F(PathFrameTest, LinesArePlacedByTheVerticalAlignment) {
    make("<string name=\"VAlignment\" value=\"TOP\"/>");
    auto const top = text_rows(u"\\Folder");
    make("<string name=\"VAlignment\" value=\"VCENTER\"/>");
    auto const centre = text_rows(u"\\Folder");
    make("<string name=\"VAlignment\" value=\"BOTTOM\"/>");
    auto const bottom = text_rows(u"\\Folder");
    ASSERT_GE(top.first, 0);
    EXPECT_LT(top.first, centre.first);
    EXPECT_LT(centre.first, bottom.first);
    EXPECT_EQ(bottom.last - bottom.first, top.last - top.first);
}

}  // namespace
}  // namespace form_test
