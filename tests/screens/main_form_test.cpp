#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "app/comm/comm_channel.h"
#include "app/comm/comm_clipboard.h"
#include "app/comm/comm_identifiers.h"
#include "app/comm/serializable.h"
#include "app/comm/sonbrix_status.h"
#include "platform/dialogs.h"
#include "screens/panel_file_explorer.h"
#include "screens/panel_levels.h"
#include "screens/panel_more_controls.h"
#include "skin/button_multistate.h"
#include "skin/control.h"
#include "tests/audio/wav_fixture.h"
#include "tests/screens/main_form_fixture.h"
#include "tests/support/eventually.h"

namespace {

using screens_test::MainFormTest;

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST_F(MainFormTest, NoRequestReachesTheFormOnceItIsDestroyed) {
    make_form();
    CSerializableBool const show(false);
    ASSERT_TRUE(CCommClipboard::write_object(CCommClipboard::instance(), &show));
    EXPECT_EQ(comm_window_proc(nullptr, comm_identifiers::command_message, 7, 0), 1);
    CCommClipboard::instance()->clear();

    destroy_form();
    for (WPARAM id = 0; id < MainForm::request_count; ++id) {
        SCOPED_TRACE(id);
        ASSERT_TRUE(CCommClipboard::write_object(CCommClipboard::instance(), &show));
        EXPECT_EQ(comm_window_proc(nullptr, comm_identifiers::command_message, id, 0), 0);
        CCommClipboard::instance()->clear();
    }
}

TEST_F(MainFormTest, AKeyWithoutItsOwnBindingGoesToTheFormsKeyHandling) {
    struct Case {
        std::u16string left_action;
        std::u16string right_action;
        int panel_mode;
        int key;
        double volume_after;
    };
    Case const cases[] = {
        {u"VolumeDown", u"", 0, skinner::KEY_LEFT, 0.4},
        {u"", u"VolumeDown", 0, skinner::KEY_LEFT, 0.5},  // never the right key's binding
        {u"", u"VolumeDown", 0, skinner::KEY_RIGHT, 0.4},
        {u"VolumeDown", u"VolumeDown", 1, skinner::KEY_UP, 0.5},  // explorer hidden
        {u"VolumeDown", u"VolumeDown", 2, skinner::KEY_DOWN, 0.5},
        {u"VolumeDown", u"VolumeDown", 3, skinner::KEY_RETURN, 0.5},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << narrow(c.left_action) << "/" << narrow(c.right_action) << " key " << c.key);
        Settings settings;
        settings.buttons.joy_left_action = c.left_action;
        settings.buttons.joy_right_action = c.right_action;
        settings.play.volume = 0.5;
        make_form(&settings);
        auto* const mode = dynamic_cast<skinner::ControlButtonMultistate*>(form().find_control(u"btnMode"));
        ASSERT_NE(mode, nullptr);
        mode->set_state(static_cast<std::uint32_t>(c.panel_mode));
        form().on_command(u"Panel");
        form().on_keydown(c.key);
        EXPECT_NEAR(document().get_settings().play.volume, c.volume_after, 1e-9);
        destroy_form();
    }
}

TEST_F(MainFormTest, TheVolumeCommandsStayWithinSilenceAndFullVolume) {
    make_form();
    struct Case {
        double before;
        const char16_t* command;
        double after;
    };
    Case const cases[] = {
        {0.95, u"VolumeUp", 1.0}, {1.0, u"VolumeUp", 1.0}, {0.05, u"VolumeDown", 0.0},
        {0.0, u"VolumeDown", 0.0}, {0.5, u"VolumeUp", 0.6},
    };
    for (Case const& c : cases) {
        SCOPED_TRACE(narrow(c.command) + " from " + std::to_string(c.before));
        document().set_volume(c.before);
        EXPECT_TRUE(form().on_command(c.command));
        EXPECT_NEAR(document().get_settings().play.volume, c.after, 1e-9);
    }
}

TEST_F(MainFormTest, TheModeButtonShowsExactlyOnePanelAndThePlayModeCyclesRound) {
    make_form();
    auto* const mode = dynamic_cast<skinner::ControlButtonMultistate*>(form().find_control(u"btnMode"));
    ASSERT_NE(mode, nullptr);
    const char16_t* const panels[] = {u"PanelFileExplorer", u"PanelLevels", u"PanelEqualizer", u"PanelMoreControls"};
    for (std::uint32_t state = 0; state < 4; ++state) {
        mode->set_state(state);
        form().on_command(u"Panel");
        for (std::uint32_t index = 0; index < 4; ++index) {
            EXPECT_EQ(form().find_control(panels[index])->is_visible(), index == state) << state << " " << index;
        }
    }
    document().set_play_mode(4);
    form().on_command(u"Mode");
    EXPECT_EQ(document().get_play_mode(), 0);
}

// The explorer shows its folder from the start (the form hears of the rows it reads only once
// it is whole), a new recording appears in it, and the names the form does not know reach it.
TEST_F(MainFormTest, TheExplorerShowsTheRecordingsAndTakesTheCommandsTheFormDoesNotKnow) {
    std::filesystem::create_directories(device.host_path("My Documents"));
    testing_support::write_host_file(device.host_path("My Documents/before.wav"),
                                     wav_fixture::pcm_file(1, 8, 8000, std::string(800, '\x80')));
    make_form();
    auto const shown = [&] {
        std::vector<std::string> names;
        for (auto const& row : form().get_explorer().get_file_list().get_rows()) names.push_back(narrow(row.file_name));
        return names;
    };
    EXPECT_EQ(shown(), std::vector<std::string>{"before.wav"});

    ASSERT_TRUE(form().on_command(u"Record"));
    ASSERT_TRUE(testing_support::eventually([&] { return document().get_position_seconds() > 0.2; }));
    ASSERT_TRUE(form().on_command(u"Stop"));
    std::u16string const recorded = document().get_record_file();
    EXPECT_EQ(shown().size(), 2u);
    EXPECT_EQ(form().get_explorer().get_shown_list().get_single_selected_path(), recorded);

    testing_support::write_host_file(device.host_path("My Documents/later.wav"),
                                     wav_fixture::pcm_file(1, 8, 8000, std::string(800, '\x80')));
    EXPECT_EQ(shown().size(), 2u);
    form().on_command(u"Refresh");
    EXPECT_EQ(shown().size(), 3u) << "the explorer's own command, passed on unchanged";
}

TEST_F(MainFormTest, TheLevelsAndSpeedBarsSnapToTheirMiddles) {
    struct Case {
        double value;
        double gain;
        double speed;
    };
    Case const cases[] = {{0.52, 0.5, 1.28}, {0.56, 0.56, 1.34}, {0.34, 0.34, 1.0}, {0.0, 0.0, 0.5}, {1.0, 1.0, 2.0}};
    for (Case const& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_NEAR(PanelLevels::snap_input_gain(c.value), c.gain, 1e-9);
        EXPECT_NEAR(PanelMoreControls::speed_of_fraction(c.value), c.speed, 1e-9);
    }
}

// Requests hold the path in front of the fixed fields; a path with a comma is the file named,
// and a request that does not name a file it records into is refused.
TEST_F(MainFormTest, RecordingRequestsRecordIntoExactlyTheNamedFile) {
    make_form();
    std::filesystem::create_directories(device.host_path("My Documents"));
    testing_support::write_host_file(device.host_path("My Documents/a.wav"), "keep");

    EXPECT_EQ(request(&MainForm::on_record_to_file_request, u"\\My Documents\\a,7,y.wav,7,n"), true);
    EXPECT_EQ(document().get_record_file(), u"\\My Documents\\a,7,y.wav");
    EXPECT_TRUE(document().is_recording());
    EXPECT_TRUE(testing_support::eventually([&] { return document().get_position_seconds() > 0.2; }));
    EXPECT_EQ(request(&MainForm::on_stop_request, u"n"), true);
    EXPECT_TRUE(testing_support::host_file_exists(device.host_path("My Documents/a,7,y.wav")));
    EXPECT_EQ(testing_support::read_host_file(device.host_path("My Documents/a.wav")), "keep");

    std::u16string const long_path = u"\\My Documents\\" + std::u16string(190, u'x') + u".wav";  // 208
    struct Refused {
        std::uint32_t (MainForm::*handler)();
        std::u16string text;
    };
    Refused const refused[] = {
        {&MainForm::on_record_to_file_request, long_path + u",7,n"},
        {&MainForm::on_start_recording_request, long_path + u",n"},
        {&MainForm::on_start_recording_request, u",n"},
        {&MainForm::on_append_recording_request, u",n"},
        {&MainForm::on_insert_recording_request, u",100,n"},
        {&MainForm::on_record_to_file_request, u"\\My Documents\\b.wav,9,n"},
        {&MainForm::on_record_to_file_request, u"\\My Documents\\b.wav,-1,n"},
        {&MainForm::on_record_to_file_request, u"\\My Documents\\b.wav,x,n"},
    };
    for (Refused const& r : refused) {
        SCOPED_TRACE(narrow(r.text));
        EXPECT_EQ(request(r.handler, r.text), false);
        EXPECT_FALSE(document().is_recording());
    }
    EXPECT_EQ(testing_support::read_host_file(device.host_path("My Documents/a.wav")), "keep");
    EXPECT_FALSE(testing_support::host_file_exists(device.host_path("My Documents/b.wav")));
}

TEST_F(MainFormTest, OnlyALowerCaseYShowsTheForm) {
    make_form();
    EXPECT_EQ(request(&MainForm::on_stop_request, u"Y"), false);
    EXPECT_FALSE(form().is_window_visible());
    EXPECT_EQ(request(&MainForm::on_stop_request, u"y"), false);
    EXPECT_TRUE(form().is_window_visible());
}

TEST_F(MainFormTest, TheStatusOfAnIdleProgram) {
    make_form();
    CSerializableBool const show(false);
    ASSERT_TRUE(CCommClipboard::write_object(CCommClipboard::instance(), &show));
    EXPECT_EQ(form().on_status_request(), 1u);
    CSerializableBool reply;
    ASSERT_TRUE(CCommClipboard::read_object(CCommClipboard::instance(), &reply));
    EXPECT_TRUE(reply.get_value());
    CSonbrixStatus status;
    ASSERT_TRUE(CCommClipboard::read_object(CCommClipboard::instance(), &status));
    StatusData const& data = status.get_data();
    EXPECT_EQ(data.state, 1);
    EXPECT_EQ(data.length, -1);
    EXPECT_EQ(data.format_kind, 2);
    EXPECT_EQ(data.stereo, 2);
    EXPECT_EQ(data.current_file[0], u'\0');
    EXPECT_FALSE(form().is_window_visible());
}

}  // namespace

namespace {

// A later start without a command line: in front it records or stops; behind it only shows.
TEST_F(MainFormTest, ALaterStartWithoutACommandLineRecordsOrStopsOnlyWhenTheFormIsInFront) {
    make_form();
    form().bring_to_front(u"-hide");
    EXPECT_FALSE(form().is_window_visible());

    form().bring_to_front(u"");  // behind: only shown
    EXPECT_TRUE(form().is_window_visible());
    ASSERT_TRUE(testing_support::eventually([&] { return GetForegroundWindow() == form().get_window(); }));
    EXPECT_FALSE(document().is_recording());

    form().bring_to_front(u"");
    EXPECT_TRUE(document().is_recording());
    EXPECT_EQ(form().get_explorer().get_shown_list().get_single_selected_path(), document().get_record_file());
    EXPECT_TRUE(testing_support::eventually([&] { return document().get_position_seconds() > 0.2; }));
    form().bring_to_front(u"");
    EXPECT_FALSE(document().is_recording());
}

}  // namespace

namespace {

// An insert whose splice fails (here: its target went away while it recorded) is told to the
// user by the next timer step, naming the recording that is kept.
TEST_F(MainFormTest, AnInsertThatCannotBeSplicedIsReported) {
    make_form();
    std::filesystem::create_directories(device.host_path("My Documents"));
    std::string const samples(16000, '\x10');
    testing_support::write_host_file(device.host_path("My Documents/t.wav"), wav_fixture::pcm_file(1, 16, 8000, samples));
    ASSERT_EQ(request(&MainForm::on_insert_recording_request, u"\\My Documents\\t.wav,100,n"), true);
    ASSERT_TRUE(testing_support::eventually([&] { return document().get_position_seconds() > 0.2; }));
    std::filesystem::remove(device.host_path("My Documents/t.wav"));
    ASSERT_EQ(request(&MainForm::on_stop_request, u"n"), true);

    answer_error_forms();
    form().on_timer_broadcast(form().get_timer_id());
    ASSERT_EQ(errors_shown.size(), 1u);
    EXPECT_NE(errors_shown[0].find("Insert failed"), std::string::npos) << errors_shown[0];
    EXPECT_NE(errors_shown[0].find("insert1.tmp"), std::string::npos) << errors_shown[0];
    EXPECT_TRUE(testing_support::host_file_exists(device.host_path("My Documents/insert1.tmp")));
    EXPECT_FALSE(document().take_failed_insert());
}

}  // namespace
