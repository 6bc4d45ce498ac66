// The item library on the start screen (today-host) and the program Sonbrix, both as
// processes on one headless screen of a device on which the program is installed: the
// item's taps act on the running program, or start it, and the item shows what it does.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "tests/support/channel_peer.h"
#include "tests/support/child_process.h"
#include "tests/support/eventually.h"
#include "tests/support/expected_image.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"
#include "tests/todayplugin/item_buttons.h"
#include "tests/todayplugin/registry_values.h"

namespace {

using platform::screen::ScreenPicture;
using platform::screen::ScreenWindow;
using testing_support::ChildProcess;
using testing_support::eventually;

// With the default settings a new recording is the first numbered MP3 file in the documents folder.
constexpr char first_recording[] = "My Documents/1.mp3";
// About six seconds of it (32 kbit/s): long enough to tap through its playback.
constexpr std::uintmax_t six_seconds_of_recording = 24000;

// The item's buttons, and where its time and file name are, in the item skin at 240 pixels
// wide.
using namespace today_item_test;

struct Area {
    int left, top, right, bottom;
};
constexpr Area elapsed_time{40, 27, 96, 49};

class ItemDrivesTheProgramTest : public testing_support::DeviceTest {
protected:
    explicit ItemDrivesTheProgramTest(const char* size = "240x320", int scale = 1)
        : screen_size(size), scale(scale), screen(size) {}

    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        std::filesystem::copy(SONBRIX_DATA_STAGE, device.fs(),
                              std::filesystem::copy_options::recursive | std::filesystem::copy_options::overwrite_existing);
        std::filesystem::copy_file(SONBRIX_TODAY_PLUGIN, device.host_path("Windows/SonbrixTodayPlugin.dll"),
                                   std::filesystem::copy_options::overwrite_existing);
        todayplugin_test::register_item();
        install_program();
    }

    // As the package does: the program in its installation folder, which the registry names.
    void install_program() {
        std::filesystem::path const installed = device.host_path("Program Files/Sonbrix/Sonbrix.exe");
        std::filesystem::create_directories(installed.parent_path());
        std::filesystem::create_symlink(SONBRIX_PROGRAM, installed);
        testing_support::set_installation_folder(u"\\Program Files\\Sonbrix");
    }

    void TearDown() override {
        end_program();
        if (host_) {
            quit_host();
            host_->wait_for_exit();
        }
        // A tap that reached no program started one; none may outlive the test.
        if (main_window()) {
            ADD_FAILURE() << "the program was started again after the test had ended it";
            end_program();
        }
    }

    std::string log_path() const { return device.folder() + "/host.log"; }
    std::string log() const { return testing_support::read_host_file(log_path()); }

    // Once the host shows its item.
    void start_host() {
        host_ = std::make_unique<ChildProcess>(SONBRIX_TODAY_HOST, std::vector<std::string>{"--log", log_path()});
        ASSERT_TRUE(eventually([&] { return log().find("entry Sonbrix") != std::string::npos; })) << log();
        ASSERT_TRUE(screen.wait_idle());
        zero_time = time_shown();
    }

    int quit_host() {
        ChildProcess quit(SONBRIX_TODAY_HOST, {"--quit"});
        return quit.wait_for_exit();
    }

    // The installed program started as a user would, hidden; once its window is there.
    void start_program_hidden() { start_program({"-hide"}); }

    void start_program(const std::vector<std::string>& arguments) {
        program_ = std::make_unique<ChildProcess>(device.host_path("Program Files/Sonbrix/Sonbrix.exe"), arguments);
        ASSERT_TRUE(eventually([&] { return main_window().has_value(); }));
    }

    // Closes the program's window, which ends it; its exit code when the test started it.
    std::optional<int> end_program() {
        HWND const window = FindWindowW(u"SkinnerClass_Sonbrix", nullptr);
        if (window) PostMessageW(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(eventually([&] { return !main_window(); })) << "the program ends";
        if (!program_) return std::nullopt;
        int const code = program_->wait_for_exit();
        program_.reset();
        return code;
    }

    std::optional<ScreenWindow> main_window() {
        for (auto const& window : screen.windows()) {
            if (window.class_name == "SkinnerClass_Sonbrix") return window;
        }
        return std::nullopt;
    }

    bool program_in_front() {
        auto const window = main_window();
        return window && window->visible && window->foreground;
    }

    platform::screen::ScreenRect host_rect() {
        for (auto const& window : screen.windows()) {
            if (window.class_name == "TodayScreen") return window.rect;
        }
        return {};
    }

    void tap(const Button& button) {
        auto const rect = host_rect();
        ASSERT_TRUE(screen.control().tap(rect.left + button.x * scale, rect.top + button.y * scale)) << button.name;
    }

    // The screenshot, with the item's running time blanked when it runs.
    ScreenPicture item_picture(bool time_runs) {
        ScreenPicture picture = screen.screenshot();
        if (time_runs) {
            auto const rect = host_rect();
            for (int y = rect.top + elapsed_time.top * scale; y < rect.top + elapsed_time.bottom * scale; ++y)
                for (int x = rect.left + elapsed_time.left * scale; x < rect.left + elapsed_time.right * scale; ++x)
                    picture.pixels[static_cast<std::size_t>(y) * picture.width + x] = 0xFF808080;
        }
        return picture;
    }

    // Empty when the item shows the expected image, else why not.
    std::string difference_now(const std::string& look, bool time_runs) {
        screen.wait_idle();
        return testing_support::compare_with_expected(item_picture(time_runs), SONBRIX_TODAYPLUGIN_EXPECTED,
                                                      "item_" + look + "_" + screen_size);
    }

    // Empty once the item shows the expected image (it refreshes twice a second).
    std::string difference_from(const std::string& look, bool time_runs) {
        std::string difference;
        eventually([&] {
            difference = difference_now(look, time_runs);
            return difference.empty();
        });
        return difference;
    }

    // The pixels of the item's running time.
    std::vector<std::uint32_t> time_shown() {
        screen.wait_idle();
        ScreenPicture const picture = screen.screenshot();
        auto const rect = host_rect();
        std::vector<std::uint32_t> pixels;
        for (int y = rect.top + elapsed_time.top * scale; y < rect.top + elapsed_time.bottom * scale; ++y)
            for (int x = rect.left + elapsed_time.left * scale; x < rect.left + elapsed_time.right * scale; ++x)
                pixels.push_back(picture.at(x, y));
        return pixels;
    }

    std::uintmax_t recorded_size() {
        std::error_code error;
        auto const size = std::filesystem::file_size(device.host_path(first_recording), error);
        return error ? 0 : size;
    }

    bool played_sound() {
        std::filesystem::path const audio = device.folder() + "/audio";
        std::error_code error;
        for (auto const& file : std::filesystem::directory_iterator(audio, error)) {
            if (file.path().filename().string().rfind("wave-out-", 0) == 0) return true;
        }
        return false;
    }

    // Records about six seconds through the item and stops.
    void record_through_the_item() {
        tap(record);
        ASSERT_TRUE(eventually([&] { return recorded_size() > 0; })) << "a file appears on the device";
        EXPECT_EQ(difference_from("program_recording", true), "");
        // Longer than one guard time of eventually() on a loaded machine.
        for (int guard = 0; guard < 3 && recorded_size() < six_seconds_of_recording; ++guard)
            eventually([&] { return recorded_size() >= six_seconds_of_recording; });
        ASSERT_GE(recorded_size(), six_seconds_of_recording);
        EXPECT_TRUE(eventually([&] { return time_shown() != zero_time; })) << "the time runs";
        tap(stop);
        EXPECT_EQ(difference_from("program_idle", false), "");
    }

    std::string screen_size;
    int scale;
    testing_support::ScopedEnvironment audio_{"SONBRIX_AUDIO", "virtual"};
    testing_support::ScopedEnvironment input_{"SONBRIX_AUDIO_INPUT", "tone:440"};
    testing_support::TestScreen screen;
    std::unique_ptr<ChildProcess> host_;
    std::unique_ptr<ChildProcess> program_;
    // The item's time before anything has run: "00:00".
    std::vector<std::uint32_t> zero_time;
};

// The same on the large screen, where the item skin is drawn at twice its size.
class ItemDrivesTheProgramOnTheLargeScreenTest : public ItemDrivesTheProgramTest {
protected:
    ItemDrivesTheProgramOnTheLargeScreenTest() : ItemDrivesTheProgramTest("480x640", 2) {}
};

TEST_F(ItemDrivesTheProgramTest, EveryButtonActsOnTheRunningProgram) {
    start_program_hidden();
    start_host();
    EXPECT_EQ(difference_from("program_idle", false), "") << log();

    record_through_the_item();
    EXPECT_FALSE(main_window()->visible) << "the item's requests leave the program hidden";

    // Play plays the recording that has just stopped; its time runs.
    tap(play);
    EXPECT_EQ(difference_from("program_playing", true), "");
    ASSERT_TRUE(eventually([&] { return time_shown() != zero_time; }));
    // With the recording alone in the list, Next and Previous play it again from its start
    // (a playback that has ended would show no time either, but in the idle look).
    for (Button const& step : {next, previous}) {
        SCOPED_TRACE(step.name);
        ASSERT_TRUE(eventually([&] { return time_shown() != zero_time; }));
        tap(step);
        EXPECT_TRUE(eventually([&] {
            return time_shown() == zero_time && !difference_now("program_idle", false).empty();
        }));
    }
    tap(play);
    EXPECT_EQ(difference_from("program_play_paused", true), "");
    tap(play);
    EXPECT_EQ(difference_from("program_playing", true), "");
    tap(stop);
    EXPECT_EQ(difference_from("program_idle", false), "");
    EXPECT_TRUE(eventually([&] { return played_sound(); }));

    // Record while recording pauses the recording.
    tap(record);
    ASSERT_TRUE(eventually([&] { return testing_support::host_file_exists(device.host_path("My Documents/2.mp3")); }));
    tap(record);
    EXPECT_EQ(difference_from("program_record_paused", true), "");
    tap(stop);
    EXPECT_EQ(difference_from("program_idle", false), "");

    EXPECT_FALSE(main_window()->visible);
    tap(activate);
    EXPECT_TRUE(eventually([&] { return program_in_front(); }));
    EXPECT_EQ(end_program(), 0);
}

TEST_F(ItemDrivesTheProgramOnTheLargeScreenTest, TheItemShowsTheProgramIdleRecordingAndPlaying) {
    start_program_hidden();
    start_host();
    EXPECT_EQ(difference_from("program_idle", false), "") << log();
    record_through_the_item();
    tap(play);
    EXPECT_EQ(difference_from("program_playing", true), "");
    tap(stop);
    EXPECT_EQ(difference_from("program_idle", false), "");
    EXPECT_EQ(end_program(), 0);
}

// The program shown before the start screen came forward goes back to the front.
TEST_F(ItemDrivesTheProgramTest, ActivateBringsTheProgramBackInFrontOfTheStartScreen) {
    start_program({});
    ASSERT_TRUE(eventually([&] { return program_in_front(); }));
    start_host();
    ASSERT_TRUE(eventually([&] { return !program_in_front(); })) << "the start screen is in front";
    EXPECT_EQ(difference_from("program_idle", false), "");
    tap(activate);
    EXPECT_TRUE(eventually([&] { return program_in_front(); }));
    EXPECT_EQ(end_program(), 0);
}

// A file name beyond ASCII crosses the channel and shows as it is.
TEST_F(ItemDrivesTheProgramTest, TheItemShowsANameBeyondAscii) {
    Settings settings;
    settings.record.prefix = u"Café Ünter ";
    ASSERT_TRUE(settings.save(u"\\Program Files\\Sonbrix\\Sonbrix.xml"));
    start_program_hidden();
    start_host();
    tap(record);
    EXPECT_TRUE(eventually([&] {
        return testing_support::host_file_exists(device.host_path("My Documents/Café Ünter 1.mp3"));
    }));
    EXPECT_EQ(difference_from("program_recording_beyond_ascii", true), "");
    tap(stop);
    // A tap that reaches no program starts it: the program ends only once the stop has reached it.
    EXPECT_EQ(difference_from("program_idle", false), "");
    EXPECT_EQ(end_program(), 0);
}

// The senders start the installed program hidden and then deliver the request.
TEST_F(ItemDrivesTheProgramTest, ATapWithoutTheProgramStartsItHiddenAndActs) {
    start_host();
    EXPECT_EQ(difference_from("not_running", false), "") << log();

    tap(record);
    ASSERT_TRUE(eventually([&] { return recorded_size() > 0; })) << log();
    ASSERT_TRUE(main_window());
    EXPECT_FALSE(main_window()->visible);
    EXPECT_EQ(difference_from("program_recording", true), "");
    tap(stop);
    EXPECT_EQ(difference_from("program_idle", false), "");

    // With nothing to play (the recording is gone), the started program comes to the front
    // instead; Activate shows it.
    for (Button const& button : {play, activate}) {
        SCOPED_TRACE(button.name);
        end_program();
        std::filesystem::remove(device.host_path(first_recording));
        EXPECT_EQ(difference_from("not_running", false), "");
        tap(button);
        EXPECT_TRUE(eventually([&] { return program_in_front(); })) << log();
    }
}

}  // namespace
