#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/play_order.h"
#include "app/settings.h"
#include "foundation/date_time.h"
#include "tests/audio/wav_fixture.h"
#include "tests/screens/program_fixture.h"
#include "tests/support/eventually.h"
#include "tests/support/system_time.h"
#include "todayplugin/command_senders.h"

namespace {

using screens_test::differ_within;
using screens_test::ProgramTest;
using testing_support::eventually;

// Where the main form's controls are on a 240 x 320 screen with the shell.
constexpr int transport_y = 273;
constexpr int mode_x = 17, new_mark_x = 53, play_x = 120, stop_x = 153, record_x = 187;
constexpr int position_y = 110;
// The panels' area.
constexpr int panel_top = 124, panel_bottom = 250;
constexpr int explorer_header_bottom = 176;

// Twenty seconds of a loud square wave, mono, 16 bits, 8000 Hz.
std::string square_wave_file() {
    std::string samples;
    for (int i = 0; i < 160000; ++i) {
        std::int16_t const value = (i / 20) % 2 ? 12000 : -12000;
        samples += static_cast<char>(value & 0xFF);
        samples += static_cast<char>((value >> 8) & 0xFF);
    }
    return wav_fixture::pcm_file(1, 16, 8000, samples);
}

std::u16string file_of(const StatusData& status) { return status.current_file; }

constexpr char16_t settings_file[] = u"\\Program Files\\Sonbrix\\Sonbrix.xml";

TEST_F(ProgramTest, StartsOnANewDeviceAndEndsByTheMenusExit) {
    auto program = start();
    ASSERT_TRUE(wait_for_main_window(true));
    EXPECT_EQ(main_window()->title, "Sonbrix");
    auto const idle = status();
    ASSERT_TRUE(idle);
    EXPECT_EQ(idle->state, 1);
    ASSERT_TRUE(exit_by_menu());
    EXPECT_EQ(program->wait_for_exit(), 0);
    EXPECT_TRUE(testing_support::host_file_exists(device.host_path("Program Files/Sonbrix/Sonbrix.xml")));
    EXPECT_FALSE(main_window());
}

TEST_F(ProgramTest, AHiddenProgramTakesTheCommandLineOfALaterStart) {
    std::filesystem::create_directories(device.host_path("My Documents"));
    testing_support::write_host_file(device.host_path("My Documents/a b.wav"), square_wave_file());
    auto program = start("-hide");
    ASSERT_TRUE(eventually([&] { return main_window().has_value(); }));
    ASSERT_TRUE(wait_for_state(1));
    EXPECT_FALSE(main_window()->visible);

    // A second start hands its whole command line, blanks and all, to the running program.
    EXPECT_EQ(start("\\My Documents\\a b.wav")->wait_for_exit(), 0);
    ASSERT_TRUE(wait_for_main_window(true));
    ASSERT_TRUE(wait_for_state(2));
    EXPECT_EQ(file_of(*status()), u"\\My Documents\\a b.wav");
    // "-hide" changes nothing.
    EXPECT_EQ(start("-hide")->wait_for_exit(), 0);
    EXPECT_TRUE(main_window()->visible);

    ASSERT_TRUE(exit_by_menu());
    EXPECT_EQ(program->wait_for_exit(), 0);
}

TEST_F(ProgramTest, RecordsWithTheRecordButtonAndPlaysItBack) {
    // The recording is played over and over, so its end never comes between the steps
    // below, however slowly they run.
    Settings settings;
    settings.play.mode = play_single_repeat;
    ASSERT_TRUE(settings.save(settings_file));
    auto program = start();
    ASSERT_TRUE(wait_for_main_window(true));
    // The levels panel while idle, to see its meters move later.
    ASSERT_TRUE(tap(mode_x, transport_y));
    auto const quiet_levels = screenshot();
    ASSERT_TRUE(tap(mode_x, transport_y));
    ASSERT_TRUE(tap(mode_x, transport_y));
    ASSERT_TRUE(tap(mode_x, transport_y));  // the explorer again

    ASSERT_TRUE(tap(record_x, transport_y));
    ASSERT_TRUE(wait_for_state(3));
    std::u16string const recording = file_of(*status());
    EXPECT_EQ(recording.rfind(u"\\My Documents\\", 0), 0u) << std::string(recording.begin(), recording.end());
    ASSERT_TRUE(eventually([&] { return status()->elapsed >= 3000; }));
    ASSERT_TRUE(tap(stop_x, transport_y));
    ASSERT_TRUE(wait_for_state(1));

    ASSERT_TRUE(tap(play_x, transport_y));
    ASSERT_TRUE(wait_for_state(2));
    EXPECT_EQ(file_of(*status()), recording);
    ASSERT_TRUE(tap(new_mark_x, transport_y));
    ASSERT_TRUE(tap(mode_x, transport_y));
    EXPECT_TRUE(eventually([&] {
        return differ_within(quiet_levels, screenshot(), 0, panel_top, 240, panel_bottom);
    })) << "the meters do not move";

    ASSERT_TRUE(tap(play_x, transport_y));  // pause
    ASSERT_TRUE(wait_for_state(4));
    // A tap near the end of the position bar seeks there; the left key (the joystick's
    // "Rewind") goes back five seconds, to the start.
    ASSERT_TRUE(tap(200, position_y));
    ASSERT_TRUE(eventually([&] { return status()->elapsed >= 2000; }));
    ASSERT_TRUE(screen_->control().press(0x25));  // VK_LEFT
    ASSERT_TRUE(eventually([&] { return status()->elapsed < 1000; }));
    ASSERT_TRUE(tap(play_x, transport_y));  // resume
    ASSERT_TRUE(eventually([&] { return status()->state == 2 || status()->state == 1; }));
    ASSERT_TRUE(tap(stop_x, transport_y));
    ASSERT_TRUE(wait_for_state(1));
    std::string const host_recording =
        device.host_path("My Documents/" + std::string(recording.begin() + 14, recording.end()));
    EXPECT_TRUE(eventually([&] { return testing_support::host_file_exists(host_recording + ".bm"); }));

    ASSERT_TRUE(exit_by_menu());
    EXPECT_EQ(program->wait_for_exit(), 0);
}

TEST_F(ProgramTest, TheModeButtonShowsTheFourPanelsInTurn) {
    auto program = start();
    ASSERT_TRUE(wait_for_main_window(true));
    std::vector<platform::screen::ScreenPicture> panels{screenshot()};
    for (int step = 0; step < 4; ++step) {
        ASSERT_TRUE(tap(mode_x, transport_y));
        panels.push_back(screenshot());
    }
    for (std::size_t a = 0; a < 4; ++a) {
        for (std::size_t b = a + 1; b < 4; ++b) {
            EXPECT_TRUE(differ_within(panels[a], panels[b], 0, panel_top, 240, panel_bottom)) << a << " " << b;
        }
    }
    // The explorer again: its folder button and list header as at the start (the list's
    // focus frame has moved to the mode button).
    EXPECT_FALSE(differ_within(panels[0], panels[4], 0, panel_top, 240, explorer_header_bottom));
    ASSERT_TRUE(exit_by_menu());
    EXPECT_EQ(program->wait_for_exit(), 0);
}

// The plug-in's requests over the real channel; paths may hold commas.
TEST_F(ProgramTest, TheChannelsRequestsDriveTheProgram) {
    std::filesystem::create_directories(device.host_path("My Documents"));
    testing_support::write_host_file(device.host_path("My Documents/take.wav"), "keep");
    auto program = start("-hide");
    ASSERT_TRUE(wait_for_state(1));
    std::u16string const take = u"\\My Documents\\take, one.wav";

    ASSERT_TRUE(send_record(take, 7, false));
    ASSERT_TRUE(wait_for_state(3));
    EXPECT_EQ(file_of(*status()), take);
    // Long enough that its playing, below, is still seen on a busy machine.
    ASSERT_TRUE(eventually([&] { return status()->elapsed >= 4000; }));
    ASSERT_TRUE(send_pause(false));
    EXPECT_EQ(status()->state, 5);
    ASSERT_TRUE(send_pause(false));
    EXPECT_EQ(status()->state, 3);
    ASSERT_TRUE(send_stop(false));
    ASSERT_TRUE(wait_for_state(1));
    std::string const host_take = device.host_path("My Documents/take, one.wav");
    ASSERT_TRUE(testing_support::host_file_exists(host_take));
    auto const recorded_size = std::filesystem::file_size(host_take);

    ASSERT_TRUE(send_start_recording_append(take, false));
    ASSERT_TRUE(eventually([&] { return status()->elapsed >= 300; }));
    ASSERT_TRUE(send_stop(false));
    ASSERT_TRUE(wait_for_state(1));
    EXPECT_GT(std::filesystem::file_size(host_take), recorded_size);
    auto const appended_size = std::filesystem::file_size(host_take);

    ASSERT_TRUE(send_start_insert_recording(take, 1000, false));
    ASSERT_TRUE(eventually([&] { return status()->elapsed >= 300; }));
    ASSERT_TRUE(send_stop(false));
    ASSERT_TRUE(wait_for_state(1));
    EXPECT_GT(std::filesystem::file_size(host_take), appended_size);

    ASSERT_TRUE(send_play(take, true));
    ASSERT_TRUE(wait_for_state(2));
    EXPECT_EQ(file_of(*status()), take);
    ASSERT_TRUE(wait_for_main_window(true));
    // The explorer's folder is the playlist: the next entry is take.wav, which holds no
    // sound, so playing ends there.
    send_skip(1, false);
    ASSERT_TRUE(wait_for_state(1));

    // A path longer than a request holds never reaches the program; the other file is
    // never touched.
    EXPECT_FALSE(send_start_recording(u"\\My Documents\\" + std::u16string(200, u'x') + u".wav", false));
    EXPECT_EQ(status()->state, 1);
    EXPECT_EQ(testing_support::read_host_file(device.host_path("My Documents/take.wav")), "keep");

    EXPECT_FALSE(send_stop(false));  // nothing to stop
    program->kill_hard();
}

TEST_F(ProgramTest, ABrokenSkinSettingFallsBackToTheDefaultSkinAndStaysAsItWas) {
    Settings settings;
    settings.skin = u"\\Program Files\\Sonbrix\\skins\\Gone\\Gone.skin";
    ASSERT_TRUE(settings.save(settings_file));
    auto program = start();
    ASSERT_TRUE(wait_for_main_window(true));
    ASSERT_TRUE(exit_by_menu());
    EXPECT_EQ(program->wait_for_exit(), 0);
    Settings stored;
    stored.load(settings_file);
    EXPECT_EQ(stored.skin, settings.skin);
}

TEST_F(ProgramTest, WithoutAUsableSkinItWarnsAndEnds) {
    std::filesystem::remove(device.host_path("Program Files/Sonbrix/skins/Default/Default.skin"));
    auto program = start();
    auto const warning = [&] {
        for (auto const& window : screen_->windows())
            if (window.class_name == "sonbrix_message_box" && window.title == "Warning") return window.foreground;
        return false;
    };
    // In front: a key pressed before would go to whatever was in front then.
    ASSERT_TRUE(eventually(warning));
    EXPECT_FALSE(main_window());
    ASSERT_TRUE(screen_->control().press(0x0D));  // VK_RETURN: OK
    EXPECT_EQ(program->wait_for_exit(), 0);
}

// Started by the wake-up agent within a scheduled time, the program records at once.
TEST_F(ProgramTest, AStartAtAScheduledTimeRecords) {
    os::DateTime const now = os::DateTime::now();
    Settings settings;
    ScheduleTask const today(testing_support::make_time(now.get_year(), now.get_month(), now.get_day()),
                             testing_support::make_time(now.get_year(), now.get_month(), now.get_day(), 23, 59, 59));
    ASSERT_GE(settings.schedule.insert(today), 0);
    ASSERT_TRUE(settings.save(settings_file));
    auto program = start("AppRunAtTime");
    ASSERT_TRUE(wait_for_main_window(true));
    ASSERT_TRUE(wait_for_state(3));
    ASSERT_TRUE(send_stop(false));
    ASSERT_TRUE(wait_for_state(1));
    ASSERT_TRUE(exit_by_menu());
    EXPECT_EQ(program->wait_for_exit(), 0);
}

}  // namespace
