// The control tool as a user runs it: commands on the command line, the screen's windows
// on standard output, a screenshot as a PNG file.
#include <png.h>

#include <cstdio>

#include "tests/platform/screen/screen_fixture.h"

namespace screen_tests {
namespace {

struct ToolRun {
    int status = -1;
    std::vector<std::string> lines;
};

ToolRun run_tool(const std::vector<std::string>& arguments) {
    testing_support::ChildProcess tool(SONBRIX_SCREEN_CONTROL, arguments);
    ToolRun run;
    for (std::string line = tool.read_line(); !line.empty(); line = tool.read_line()) run.lines.push_back(line);
    run.status = tool.wait_for_exit();
    return run;
}

platform::screen::ScreenPicture read_png(const std::string& path) {
    platform::screen::ScreenPicture picture;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return picture;
    image.format = PNG_FORMAT_BGRA;
    picture.width = static_cast<int>(image.width);
    picture.height = static_cast<int>(image.height);
    picture.pixels.resize(static_cast<std::size_t>(picture.width) * picture.height);
    if (!png_image_finish_read(&image, nullptr, picture.pixels.data(), 0, nullptr)) picture = {};
    return picture;
}

TEST_F(ScreenTest, TheToolTapsListsAndTakesScreenshots) {
    ScreenProcess a;
    ASSERT_TRUE(a.run("surface 11 20 30 100 90 3366CC"));
    ASSERT_TRUE(a.run("foreground 11"));
    EXPECT_EQ(run_tool({"tap", "25", "35"}).status, 0);
    EXPECT_EQ(run_tool({"hold", "26", "36", "10"}).status, 0);
    EXPECT_EQ(run_tool({"key", "0x0D"}).status, 0);
    EXPECT_EQ(run_tool({"wait-idle"}).status, 0);
    EXPECT_EQ(a.events(), (std::vector<std::string>{"1 11 25 35 0 0", "3 11 25 35 0 0", "1 11 26 36 0 0",
                                                    "3 11 26 36 0 0", "4 11 0 0 13 0", "5 11 0 0 13 0"}));

    auto const listed = run_tool({"windows"});
    EXPECT_EQ(listed.status, 0);
    ASSERT_EQ(listed.lines.size(), 1u);
    EXPECT_EQ(listed.lines[0], "pid=" + std::to_string(a.process().pid()) +
                                   " window=0xb class=\"TestClass\" title=\"Window 1\" rect=20,30,100,90 visible=1 "
                                   "enabled=1 foreground=1 focus=0x0");

    std::string const file = device.folder() + "/shot.png";
    EXPECT_EQ(run_tool({"screenshot", file}).status, 0);
    EXPECT_EQ(testing_support::picture_difference(
                  testing_support::expected_picture(240, 320, 0, {{20, 30, 100, 90, 0x3366CC}}), read_png(file)),
              "");
}

TEST_F(ScreenTest, TheToolRefusesWrongArgumentsWithUsage) {
    for (auto const& arguments : std::vector<std::vector<std::string>>{
             {}, {"fly"}, {"tap", "1"}, {"tap", "x", "2"}, {"button", "1", "2"}, {"size", "300x300"}, {"hold", "1", "2", "-5"},
             {"button", "7"}, {"key", "256"}}) {
        EXPECT_EQ(run_tool(arguments).status, 2) << (arguments.empty() ? "" : arguments[0]);
    }
    EXPECT_EQ(run_tool({"screenshot", device.folder() + "/no/such/folder/shot.png"}).status, 1);
}

}  // namespace
}  // namespace screen_tests
