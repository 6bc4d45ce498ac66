// The item library on the start screen (today-host, a process on a headless screen), with a
// stand-in for the program (program_stand_in/main.cpp) at the other end of the channel.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/comm/comm_identifiers.h"
#include "platform/device.h"
#include "platform/messages.h"
#include "platform/today.h"
#include "platform/unicode.h"
#include "tests/support/channel_peer.h"
#include "tests/support/child_process.h"
#include "tests/support/eventually.h"
#include "tests/support/expected_image.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"
#include "tests/todayplugin/item_buttons.h"
#include "tests/todayplugin/registry_values.h"

namespace {

using testing_support::channel_peer_notes;
using testing_support::ChildProcess;
using testing_support::eventually;
using testing_support::wait_for_channel_peer_note;

using todayplugin_test::key_exists;
using todayplugin_test::program_key;
using todayplugin_test::set_text;

constexpr char16_t program[] = u"\\Program Files\\Sonbrix\\Sonbrix.exe";

// The notes since the mark, without the status requests of the item's twice-a-second refresh.
std::vector<std::string> requests_since(std::size_t mark) {
    auto const notes = channel_peer_notes();
    std::vector<std::string> requests;
    for (std::size_t at = mark; at < notes.size(); ++at) {
        if (notes[at] != "7:0") requests.push_back(notes[at]);
    }
    return requests;
}

using namespace today_item_test;

class ItemOnStartScreenTest : public testing_support::DeviceTest {
protected:
    explicit ItemOnStartScreenTest(const char* size = "240x320") : screen_size(size), screen(size) {}

    void SetUp() override {
        ASSERT_TRUE(screen.connected());
        platform::host_path(u"\\");  // makes the device's folders
        for (auto const& file : std::filesystem::directory_iterator(std::string(SONBRIX_DATA_STAGE) + "/Windows"))
            copy(file.path().string(), "Windows/" + file.path().filename().string());
        copy(SONBRIX_TODAY_PLUGIN, "Windows/SonbrixTodayPlugin.dll");
        todayplugin_test::register_item();
        std::filesystem::path const link = device.host_path("Program Files/Sonbrix/Sonbrix.exe");
        std::filesystem::create_directories(link.parent_path());
        std::filesystem::create_symlink(SONBRIX_PROGRAM_STAND_IN, link);
        testing_support::set_installation_folder(u"\\Program Files\\Sonbrix");
    }

    void TearDown() override {
        if (host_) {
            quit_host();
            host_->wait_for_exit();
        }
        stand_in_.reset();
        testing_support::stop_channel_peer_started_elsewhere();
    }

    void copy(const std::string& from, const std::string& below_root) {
        std::filesystem::copy_file(from, device.host_path(below_root), std::filesystem::copy_options::overwrite_existing);
    }

    std::string log_path() const { return device.folder() + "/host.log"; }
    std::string log() const { return testing_support::read_host_file(log_path()); }

    // Once the host has shown its item (or found it has none).
    void start_host() {
        std::filesystem::remove(log_path());
        host_ = std::make_unique<ChildProcess>(SONBRIX_TODAY_HOST, std::vector<std::string>{"--log", log_path()});
        ASSERT_TRUE(eventually([&] { return host_rect().right > 0; })) << log();
        wait_for_loads(1);
    }

    int quit_host() {
        ChildProcess quit(SONBRIX_TODAY_HOST, {"--quit"});
        return quit.wait_for_exit();
    }

    // Ends the host and gives its exit code (not 0 when the sanitizers found a fault or a leak).
    int end_host() {
        EXPECT_EQ(quit_host(), 0);
        int const code = host_->wait_for_exit();
        host_.reset();
        return code;
    }

    // The program's stand-in with that command line, once the item has shown its status.
    void start_program(const std::u16string& command_line) {
        stand_in_.reset();
        std::filesystem::remove(device.host_path("channel-peer.txt"));
        stand_in_ = std::make_unique<testing_support::ChannelPeer>(program, command_line);
        ASSERT_TRUE(wait_for_channel_peer_note("7:0")) << "the item asks for the status";
        ASSERT_TRUE(screen.wait_idle());
    }

    platform::screen::ScreenRect host_rect() {
        for (auto const& window : screen.windows()) {
            if (window.class_name == "TodayScreen") return window.rect;
        }
        return {};
    }

    void tap(const Button& button, int scale = 1) {
        auto const rect = host_rect();
        ASSERT_TRUE(screen.control().tap(rect.left + button.x * scale, rect.top + button.y * scale));
    }

    // Empty once the screen shows the expected image (the item repaints in its own time).
    std::string difference_from(const std::string& name) {
        std::string difference;
        eventually([&] {
            screen.wait_idle();
            difference = testing_support::compare_with_expected(screen.screenshot(), SONBRIX_TODAYPLUGIN_EXPECTED, name);
            return difference.empty();
        });
        return difference;
    }

    // Waits until the host has loaded the item library that many times and made its item.
    void wait_for_loads(std::size_t count) {
        auto const loads = [&] {
            std::string const trace = log();
            std::size_t found = 0;
            for (std::size_t at = trace.find("entry Sonbrix"); at != std::string::npos; at = trace.find("entry Sonbrix", at + 1))
                ++found;
            return found;
        };
        ASSERT_TRUE(eventually([&] { return loads() >= count; })) << log();
        ASSERT_TRUE(screen.wait_idle());
    }

    void show_states() {
        struct Case {
            const char* name;
            std::u16string program;  // empty: not running
        };
        Case const cases[] = {
            {"not_running", u""},
            {"recording", u"state=3 elapsed=75400 file=\\My Documents\\Recording 12.wav"},
            {"playing", u"state=2 elapsed=3725000 file=\\My Documents\\A very long name of a song that does not fit.mp3"},
            {"play_paused_no_file", u"state=4 elapsed=59000"},
        };
        start_host();
        for (auto const& c : cases) {
            SCOPED_TRACE(c.name);
            if (c.program.empty()) {
                stand_in_.reset();
            } else {
                start_program(c.program);
            }
            EXPECT_EQ(difference_from(std::string("item_") + c.name + "_" + screen_size), "");
        }
        stand_in_.reset();
        EXPECT_EQ(end_host(), 0);
    }

    std::string screen_size;
    testing_support::TestScreen screen;
    std::unique_ptr<ChildProcess> host_;
    std::unique_ptr<testing_support::ChannelPeer> stand_in_;
};

// The same item on the large screen, where the skin is drawn at twice its size.
class ItemOnLargeScreenTest : public ItemOnStartScreenTest {
protected:
    ItemOnLargeScreenTest() : ItemOnStartScreenTest("480x640") {}
};

TEST_F(ItemOnStartScreenTest, TheItemShowsTheProgramIdleRecordingAndPlaying) { show_states(); }

TEST_F(ItemOnLargeScreenTest, TheItemShowsTheProgramIdleRecordingAndPlaying) { show_states(); }

TEST_F(ItemOnStartScreenTest, TapsReachTheProgramAsItsRequests) {
    struct Case {
        std::u16string program;
        Button button;
        std::vector<std::string> requests;  // without the refresh's status requests
    };
    Case const cases[] = {
        {u"state=1", play, {"0:,n"}},
        {u"state=1 refuse-play", play, {"0:,n", "7:1"}},  // a refused play brings the program forward
        {u"state=2", play, {"5:n"}},
        {u"state=4", play, {"5:n"}},
        {u"state=1", record, {"1:,0,n"}},
        {u"state=3", record, {"5:n"}},
        {u"state=5", record, {"5:n"}},
        {u"state=2", stop, {"6:n"}},
        {u"state=2", next, {"8:1,n"}},
        {u"state=2", previous, {"8:-1,n"}},
        {u"state=1", activate, {"7:1"}},
        // A status request that fails leaves the state unknown: the item plays and records.
        {u"state=2 refuse-status", play, {"0:,n"}},
        {u"state=3 refuse-status", record, {"1:,0,n"}},
    };
    start_host();
    for (auto const& c : cases) {
        SCOPED_TRACE(std::string(c.button.name) + " with " + std::string(c.program.begin(), c.program.end()));
        start_program(c.program);
        std::size_t const mark = channel_peer_notes().size();
        tap(c.button);
        ASSERT_TRUE(wait_for_channel_peer_note(c.requests.back()));
        EXPECT_TRUE(eventually([&] { return requests_since(mark).size() >= c.requests.size(); }));
        screen.wait_idle();
        EXPECT_EQ(requests_since(mark), c.requests);
    }
}

TEST_F(ItemOnStartScreenTest, ATapWithoutTheProgramStartsItAndTheRequestReachesIt) {
    start_host();
    EXPECT_EQ(difference_from("item_not_running_240x320"), "");
    tap(record);
    ASSERT_TRUE(wait_for_channel_peer_note("1:,0,n")) << log();
    auto const notes = channel_peer_notes();
    ASSERT_FALSE(notes.empty());
    EXPECT_EQ(notes.front(), "start:-hide");
    EXPECT_EQ(std::count(notes.begin(), notes.end(), "1:,0,n"), 1);
}

// The refresh asks only a program whose window it sees. One that closes meanwhile and answers
// no more is not started again (it would run on hidden, though the user had closed it).
TEST_F(ItemOnStartScreenTest, TheRefreshNeverStartsAProgramThatNoLongerAnswers) {
    start_host();
    start_program(u"state=1 closing");
    auto const status_requests = [] {
        auto const notes = channel_peer_notes();
        return std::count(notes.begin(), notes.end(), "7:0");
    };
    ASSERT_TRUE(eventually([&] { return status_requests() >= 2; })) << "two refreshes found the window";
    auto const notes = channel_peer_notes();
    EXPECT_EQ(std::count(notes.begin(), notes.end(), "start:-hide"), 0) << log();
}

// A process killed while it held the channel's reply lock, and one that holds the sender
// mutex and does not let go: the item still reaches the program, and the start screen
// still quits.
TEST_F(ItemOnStartScreenTest, ChannelLocksLeftOrKeptByOthersStopNeitherTheItemNorTheQuit) {
    start_host();
    ChildProcess killed({"mutex", platform::utf16_to_utf8(comm_identifiers::reply_lock_name)});
    ASSERT_EQ(killed.read_line().rfind("owned ", 0), 0u);
    killed.kill_hard();
    start_program(u"state=2");
    std::size_t const mark = channel_peer_notes().size();
    EXPECT_TRUE(eventually([&] { return channel_peer_notes().size() >= mark + 3; })) << "the item goes on asking";

    ChildProcess keeper({"mutex", platform::utf16_to_utf8(comm_identifiers::sender_mutex_name)});
    ASSERT_EQ(keeper.read_line().rfind("owned ", 0), 0u);
    EXPECT_EQ(end_host(), 0);
}

TEST_F(ItemOnStartScreenTest, TheReloadUnloadsThePluginWhichReadsTheItemSkinAgain) {
    start_host();
    EXPECT_EQ(difference_from("item_not_running_240x320"), "");

    copy(SONBRIX_SWAPPED_SKIN, "Windows/Today Swapped.skin");
    set_text(program_key, u"TodaySkin", u"\\Windows\\Today Swapped.skin");
    ASSERT_TRUE(PostMessageW(HWND_BROADCAST, WM_WININICHANGE, INI_TODAY_ITEMS_CHANGED, 0));
    wait_for_loads(2);
    EXPECT_EQ(difference_from("item_swapped_240x320"), "") << log();

    std::string const trace = log();
    std::vector<std::string> const steps = {"send WM_USER+242", "detach \\Windows\\SonbrixTodayPlugin.dll",
                                            "unload \\Windows\\SonbrixTodayPlugin.dll",
                                            "load \\Windows\\SonbrixTodayPlugin.dll"};
    std::size_t at = 0;
    for (auto const& step : steps) {
        at = trace.find(step, at);
        ASSERT_NE(at, std::string::npos) << step << " in\n" << trace;
    }
    EXPECT_EQ(end_host(), 0) << "the sanitizers found nothing left over";
}

TEST_F(ItemOnStartScreenTest, AnUnsuitableSkinFallsBackToTheDefaultAndWithoutASuitableOneNoItemShows) {
    std::string const unsuitable = std::string(SONBRIX_DATA_STAGE) + "/Program Files/Sonbrix/skins/Default/Default.skin";
    copy(unsuitable, "Windows/Main.skin");
    set_text(program_key, u"TodaySkin", u"\\Windows\\Main.skin");
    start_host();
    EXPECT_EQ(difference_from("item_not_running_240x320"), "") << "the default item skin";
    EXPECT_EQ(end_host(), 0);

    // The default item skin is a skin too, but not one for the item.
    copy(unsuitable, "Windows/Today Default.skin");
    start_host();
    EXPECT_EQ(difference_from("no_item_240x320"), "");
    std::string const trace = log();
    EXPECT_NE(trace.find("skip Sonbrix: no window"), std::string::npos) << trace;
    EXPECT_EQ(end_host(), 0);
}

TEST_F(ItemOnStartScreenTest, TheItemWritesNoMarkerUnderTheItemsKey) {
    start_host();
    EXPECT_EQ(difference_from("item_not_running_240x320"), "");
    EXPECT_FALSE(key_exists(u"SOFTWARE\\Microsoft\\Today\\Items\\TodayPlugin"));
}

}  // namespace
