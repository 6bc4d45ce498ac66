// The settings as they act on the whole program run as a process: a scheduled task wakes the
// closed program through the device's timed start, and the file associations hand a WAV
// opened through the shell to the program.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/comm/comm_channel.h"
#include "app/comm/comm_identifiers.h"
#include "app/settings.h"
#include "foundation/registry.h"
#include "platform/shell_execute.h"
#include "tests/audio/wav_fixture.h"
#include "foundation/date_time.h"
#include "foundation/paths.h"
#include "platform/wake_up.h"
#include "platform/wake_up_testing.h"
#include "tests/screens/program_fixture.h"
#include "tests/support/channel_peer.h"
#include "tests/support/child_process.h"
#include "tests/support/eventually.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/woken_program.h"
#include "todayplugin/command_senders.h"

namespace {

using screens_test::differ_within;
using screens_test::ProgramTest;
using testing_support::ChildProcess;
using testing_support::eventually;

constexpr char16_t today_item_key[] = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Today\\Items\\Sonbrix";
constexpr char16_t settings_file[] = u"\\Program Files\\Sonbrix\\Sonbrix.xml";

class ProgramSettingsTest : public ProgramTest {
protected:
    ProgramSettingsTest() {
        // The device starts a program by its path in the device: the program is put there.
        std::filesystem::create_symlink(SONBRIX_PROGRAM, device.host_path("Program Files/Sonbrix/Sonbrix.exe"));
    }
    ~ProgramSettingsTest() override {
        // A program the device started is no child of ours; it must not outlive the test.
        if (auto const window = main_window()) ::kill(window->pid, SIGKILL);
    }

    static std::u16string utf16(const std::string& text) { return std::u16string(text.begin(), text.end()); }

    // The files in "My Documents".
    std::vector<std::string> recordings() {
        std::vector<std::string> names;
        std::error_code error;
        for (auto const& entry : std::filesystem::directory_iterator(device.host_path("My Documents"), error))
            if (entry.is_regular_file()) names.push_back(entry.path().filename().string());
        return names;
    }

    // Opens the settings from the File menu and, past the first four, the page whose tab is
    // at x on the header (scrolled to its end).
    bool open_settings_page(int tab_x) {
        return tap(16, 307) && tap(27, 236) && tap(231, tab_y) && tap(231, tab_y) && tap(231, tab_y) && tap(tab_x, tab_y);
    }
    bool tap_done() { return tap(196, 277); }
    static constexpr int tab_y = 36;
    static constexpr int files_tab_x = 68, skins_tab_x = 185;

    bool toggle_wav_in_the_settings();

    static constexpr char16_t wav_command_key[] = u"HKEY_CLASSES_ROOT\\wavfile\\Shell\\Open\\Command";
    static std::u16string wav_command() {
        std::u16string command;
        os::read_registry_string(wav_command_key, u"", command);
        return command;
    }

    static bool open_through_the_shell(const std::u16string& file) {
        SHELLEXECUTEINFO info{};
        info.cbSize = sizeof info;
        info.lpVerb = u"open";
        info.lpFile = file.c_str();
        info.nShow = SW_SHOWNORMAL;
        return ShellExecuteEx(&info);
    }

    std::u16string const device_program = u"\\Program Files\\Sonbrix\\Sonbrix.exe";
    // The program knows itself by its path in the device, as the device starts it.
    testing_support::ScopedEnvironment module_{"SONBRIX_MODULE", "\\Program Files\\Sonbrix\\Sonbrix.exe"};
};

TEST_F(ProgramSettingsTest, AScheduledTaskWakesTheClosedProgramWhichRecordsUntilTheTaskEnds) {
    using namespace std::chrono_literals;
    Settings settings;
    ASSERT_GE(settings.schedule.insert(ScheduleTask(testing_support::local_time_in(1h), testing_support::local_time_in(2h))),
              0);
    ASSERT_TRUE(settings.save(settings_file));

    // Run once and closed: on its way out the program leaves the task's start with the device.
    auto program = start();
    ASSERT_TRUE(wait_for_main_window(true));
    ASSERT_TRUE(exit_by_menu());
    ASSERT_EQ(program->wait_for_exit(), 0);
    ASSERT_FALSE(main_window());
    auto const registered = platform::registered_wake_up(device_program);
    ASSERT_TRUE(registered) << "no timed start left with the device";
    EXPECT_TRUE(os::DateTime(*registered) == settings.schedule[0].Begin);
    EXPECT_TRUE(recordings().empty());

    // The task moved to the next seconds, as if its hour had come (a busy machine may take
    // seconds to start and close the program, so the first run cannot use a near task).
    settings.schedule.clear();
    ScheduleTask const near(testing_support::local_time_in(1s), testing_support::local_time_in(12s));
    ASSERT_GE(settings.schedule.insert(near), 0);
    ASSERT_TRUE(settings.save(settings_file));
    ASSERT_TRUE(CeRunAppAtTime(device_program.c_str(), &near.Begin.get_systemtime()));

    // The device starts it at the task's begin; it records into the settings' folder.
    ASSERT_TRUE(eventually([&] { return main_window() && main_window()->visible; }));
    ASSERT_TRUE(wait_for_state(3));
    std::u16string const recording = status()->current_file;
    EXPECT_EQ(recording.rfind(u"\\My Documents\\", 0), 0u);
    ASSERT_EQ(recordings().size(), 1u);
    EXPECT_EQ(u"\\My Documents\\" + utf16(recordings().at(0)), recording);

    // The task's end stops it; the task is used up, so nothing is left to start.
    ASSERT_TRUE(eventually([&] { return status() && status()->state == 1; }));
    EXPECT_GT(std::filesystem::file_size(device.host_path("My Documents/" + recordings().at(0))), 0u);
    ASSERT_TRUE(exit_by_menu());
    ASSERT_TRUE(eventually([&] { return !main_window(); }));
    Settings stored;
    stored.load(settings_file);
    EXPECT_EQ(stored.schedule.size(), 0u);
    EXPECT_FALSE(platform::registered_wake_up(device_program));
}

// The WAV tick on the settings' "Files" page, tapped as a user does.
bool ProgramSettingsTest::toggle_wav_in_the_settings() {
    return open_settings_page(files_tab_x) && tap(14, 85) && tap_done();  // "WAV recordings"
}

TEST_F(ProgramSettingsTest, TickingWavHandsWavesOpenedThroughTheShellToTheProgramAndUntickingGivesThemBack) {
    // Before: waves open with another program, which notes what it was asked to open.
    testing_support::write_host_file(device.host_path("Windows/other.exe"), testing_support::woken_program);
    std::filesystem::permissions(device.host_path("Windows/other.exe"), std::filesystem::perms::owner_all);
    std::u16string const other_command = u"\"\\Windows\\other.exe\" %1";
    ASSERT_TRUE(os::write_registry_string(u"HKEY_CLASSES_ROOT\\.wav", u"", u"wavfile"));
    ASSERT_TRUE(os::write_registry_string(wav_command_key, u"", other_command));
    std::filesystem::create_directories(device.host_path("My Documents"));
    testing_support::write_host_file(device.host_path("My Documents/take.wav"),
                                     wav_fixture::pcm_file(1, 8, 8000, std::string(8000 * 30, '\x90')));
    std::u16string const take = u"\\My Documents\\take.wav";

    auto program = start();
    ASSERT_TRUE(wait_for_main_window(true));
    ASSERT_TRUE(toggle_wav_in_the_settings());
    EXPECT_EQ(wav_command(), u"\"\\Program Files\\Sonbrix\\Sonbrix.exe\" %1");
    ASSERT_TRUE(exit_by_menu());
    ASSERT_EQ(program->wait_for_exit(), 0);

    // Opened through the shell, the wave starts the program, which plays it.
    ASSERT_TRUE(open_through_the_shell(take));
    ASSERT_TRUE(wait_for_main_window(true));
    ASSERT_TRUE(wait_for_state(2));
    EXPECT_EQ(status()->current_file, take);

    // Unticked, the other program has waves back.
    ASSERT_TRUE(send_stop(false));
    ASSERT_TRUE(toggle_wav_in_the_settings());
    EXPECT_EQ(wav_command(), other_command);
    ASSERT_TRUE(exit_by_menu());
    ASSERT_TRUE(eventually([&] { return !main_window(); }));
    ASSERT_TRUE(open_through_the_shell(take));
    ASSERT_TRUE(eventually([&] { return testing_support::host_file_exists(device.host_path("woke.txt")); }));
    // Its first line is its first argument.
    std::string const woke = testing_support::read_host_file(device.host_path("woke.txt"));
    EXPECT_EQ(woke.substr(0, woke.find('\n')), "\\My Documents\\take.wav");
    EXPECT_FALSE(main_window());
}

TEST_F(ProgramSettingsTest, ChoosingAnotherMainSkinRedrawsTheProgramInIt) {
    std::filesystem::path const red(SONBRIX_RED_MAIN_SKIN);
    std::filesystem::create_directories(device.host_path("Program Files/Sonbrix/skins/Red"));
    for (auto const& file : std::filesystem::directory_iterator(red.parent_path()))
        if (file.path().extension() != ".xml")
            std::filesystem::copy_file(file.path(), device.host_path("Program Files/Sonbrix/skins/Red/" + file.path().filename().string()));
    auto program = start();
    ASSERT_TRUE(wait_for_main_window(true));
    auto const before = screenshot();
    ASSERT_TRUE(open_settings_page(skins_tab_x));
    ASSERT_TRUE(tap(227, 79));  // the program skin's drop-down
    ASSERT_TRUE(tap(30, 125));  // "Red", below "Default"
    ASSERT_TRUE(tap_done());
    ASSERT_TRUE(wait_for_main_window(true));
    // The list's header, grey and white before, is drawn in the new skin's red.
    EXPECT_TRUE(differ_within(before, screenshot(), 0, 155, 240, 176));
    ASSERT_TRUE(exit_by_menu());
    EXPECT_EQ(program->wait_for_exit(), 0);
    Settings stored;
    stored.load(settings_file);
    EXPECT_TRUE(os::paths_equal(os::expanded_path(stored.skin), u"\\Program Files\\Sonbrix\\skins\\Red\\Red.skin"));
}

// The start screen's item follows the start-screen skin chosen in the program: the running
// host lets the plug-in go and loads it again, and the item is drawn in the new skin.
TEST_F(ProgramSettingsTest, ChoosingAnotherStartScreenSkinMakesTheStartScreenReloadTheItemInIt) {
    std::filesystem::copy_file(SONBRIX_TODAY_PLUGIN, device.host_path("Windows/SonbrixTodayPlugin.dll"));
    ASSERT_TRUE(os::write_registry_string(today_item_key, u"DLL", u"\\Windows\\SonbrixTodayPlugin.dll"));
    ASSERT_TRUE(os::write_registry_dword(today_item_key, u"Enabled", 1));
    testing_support::set_installation_folder(u"\\Program Files\\Sonbrix");
    std::filesystem::path const swapped(SONBRIX_SWAPPED_SKIN);
    std::string const today_skins = device.host_path("Program Files/Sonbrix/TodayPlugin/skins");
    std::filesystem::create_directories(today_skins);
    for (auto const& file : std::filesystem::directory_iterator(swapped.parent_path()))
        std::filesystem::copy_file(file.path(), today_skins + "/" + file.path().filename().string());

    // The channel window this process made would be one more peer for the item's status
    // requests, and nobody here answers it while the test waits.
    remove_comm_module(comm_identifiers::main_module_id);
    std::string const log_path = device.folder() + "/host.log";
    testing_support::ChildProcess host(SONBRIX_TODAY_HOST, {"--log", log_path});
    std::string const made = "entry Sonbrix enabled=1";
    std::string const changed = "recv WM_WININICHANGE";
    auto const count_in_log = [&](std::string const& line) {
        std::string const trace = testing_support::read_host_file(log_path);
        std::size_t found = 0;
        for (std::size_t at = trace.find(line); at != std::string::npos; at = trace.find(line, at + 1))
            ++found;
        return found;
    };
    // The program switches the item off and on again, telling the host each time; a busy host
    // may read the registry only after both, so the first telling can already find it on.
    auto const made_again_after_both_changes = [&] {
        std::string const trace = testing_support::read_host_file(log_path);
        std::size_t const last_change = trace.rfind(changed);
        return count_in_log(changed) == 2 && last_change != std::string::npos &&
               trace.find(made, last_change) != std::string::npos;
    };
    ASSERT_TRUE(eventually([&] { return count_in_log(made) == 1; }));
    ASSERT_TRUE(wait_idle());
    auto const before = screenshot();
    auto const host_rect = [&] {
        for (auto const& window : screen_->windows())
            if (window.class_name == "TodayScreen") return window.rect;
        return platform::screen::ScreenRect{};
    };

    auto program = start();
    ASSERT_TRUE(wait_for_main_window(true));
    ASSERT_TRUE(open_settings_page(skins_tab_x));
    ASSERT_TRUE(tap(227, 127));  // the start screen skin's drop-down
    ASSERT_TRUE(tap(120, 151));  // "TodaySwapped", above "Today Default"
    ASSERT_TRUE(tap_done());
    // Let go, then loaded again once the item is switched on.
    ASSERT_TRUE(eventually(made_again_after_both_changes)) << testing_support::read_host_file(log_path);
    std::u16string chosen;
    os::read_registry_string(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\APPS\\XELO Sonbrix", u"TodaySkin", chosen);
    EXPECT_EQ(chosen, u"\\Program Files\\Sonbrix\\TodayPlugin\\skins\\TodaySwapped.skin");

    // With the program gone the item shows the same state as before, in the other skin.
    ASSERT_TRUE(exit_by_menu());
    ASSERT_EQ(program->wait_for_exit(), 0);
    auto const item = host_rect();
    ASSERT_GT(item.right, item.left);
    EXPECT_TRUE(eventually([&] {
        wait_idle();
        return differ_within(before, screenshot(), item.left, item.top, item.right, item.bottom);
    }));
    EXPECT_EQ(ChildProcess(SONBRIX_TODAY_HOST, {"--quit"}).wait_for_exit(), 0);
    EXPECT_EQ(host.wait_for_exit(), 0);
}

}  // namespace
