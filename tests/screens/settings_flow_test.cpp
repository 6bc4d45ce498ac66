// The settings form run from the main form's "Settings" command, as the user goes through
// it: what is chosen is saved and applied, recordings follow it, the hardware buttons run
// their new commands, and a settings file that cannot be written is reported.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/text_utils.h"
#include "foundation/paths.h"
#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/testing.h"
#include "platform/windows.h"
#include "screens/panel_file_explorer.h"
#include "screens/settings_buttons.h"
#include "screens/settings_playback.h"
#include "screens/settings_recording.h"
#include "screens/settings_skin.h"
#include "screens/turn_off_combo.h"
#include "skin/check_box.h"
#include "skin/combo_box_string.h"
#include "skin/edit.h"
#include "skin/form_impl.h"
#include "skin/frame.h"
#include "skin/power_manager.h"
#include "tests/audio/wav_fixture.h"
#include "tests/screens/main_form_fixture.h"
#include "tests/screens/settings_fixture.h"
#include "tests/support/eventually.h"
#include "tests/support/shell_tools.h"

namespace screens_test {
namespace {

class SettingsFlowTest : public MainFormTest {
protected:
    // While the settings form is up, changes it and taps its Done button.
    void when_settings_open(std::function<void(SettingsForm&)> change) {
        checks_.start([this, change = std::move(change)] {
            auto* const shown = dynamic_cast<SettingsForm*>(skinner::Form::get_current_modal());
            if (!shown) return false;
            change(*shown);
            skinner::Control* const done = shown->find_control(u"btnOk");
            EXPECT_NE(done, nullptr);
            if (!done) {
                shown->close();
                return true;
            }
            POINT point{done->get_position().x + done->get_rect_size().width / 2,
                        done->get_position().y + done->get_rect_size().height / 2};
            ClientToScreen(shown->get_window(), &point);
            EXPECT_TRUE(screen_->control().tap(point.x, point.y));
            return true;
        });
    }

    std::string settings_file() const { return device.host_path("Program Files/Sonbrix/Sonbrix.xml"); }

    settings_test::TickCheck checks_;
};

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

TEST_F(SettingsFlowTest, ARecordingAfterChoosingGsmIsAGsmWaveNamedAsTheSettingsSay) {
    make_form();
    SYSTEMTIME fixed{};
    fixed.wYear = 2026;
    fixed.wMonth = 12;
    fixed.wDay = 20;
    fixed.wHour = 7;
    fixed.wMinute = 15;
    fixed.wSecond = 30;
    document().set_clock([fixed] { return os::DateTime(fixed); });
    std::filesystem::create_directories(device.host_path("My Documents/Voice"));

    when_settings_open([](SettingsForm& shown) {
        SettingsRecording& page = shown.get_recording();
        page.get_formats().set_selected_index(0);
        page.get_default_folder().set_checked(true);
        page.set_folder_text(u"\\My Documents\\Voice");
        page.get_date_folder().set_checked(true);
        page.get_prefix().set_text(u"memo");
        page.get_include_date().set_checked(true);
    });
    EXPECT_TRUE(form().on_command(u"Settings"));
    EXPECT_EQ(document().get_settings().record.codec, u"GSM");
    Settings stored;
    stored.load(os::join_path(u"%app_path%", u"Sonbrix.xml"));
    EXPECT_EQ(stored.record.codec, u"GSM");
    EXPECT_EQ(stored.record.samples, 8000);
    EXPECT_EQ(stored.record.prefix, u"memo");

    ASSERT_TRUE(form().on_command(u"Record"));
    ASSERT_TRUE(document().is_recording());
    EXPECT_TRUE(testing_support::eventually([&] { return document().get_position_seconds() > 0.3; }));
    form().on_command(u"Stop");
    ASSERT_FALSE(document().is_recording());
    std::u16string const expected = make_recording_file_name(
        os::join_path(u"\\My Documents\\Voice", u"2026-12-20"), u"memo", u"wav", os::DateTime(fixed));
    EXPECT_TRUE(os::paths_equal(document().get_record_file(), expected))
        << narrow(document().get_record_file()) << " " << narrow(expected);
    std::string host = device.fs() + narrow(expected);
    for (char& c : host) {
        if (c == '\\') c = '/';
    }
    ASSERT_TRUE(std::filesystem::exists(host)) << host;
    EXPECT_EQ(testing_support::command_output("ffprobe -v error -show_entries stream=codec_name,sample_rate,channels -of csv=p=0 '" + host + "'"),
              "gsm_ms,8000,1\n");
}

TEST_F(SettingsFlowTest, AButtonBoundToRecordRecordsAndIsFreedInTheBackground) {
    make_form();
    SetForegroundWindow(form().get_window());
    when_settings_open([](SettingsForm& shown) {
        SettingsButtons& page = shown.get_buttons();
        page.get_list().set_current_row(0);
        page.get_assign().set_selected_index(2);  // Record
        page.get_unmap().set_checked(true);
    });
    form().on_command(u"Settings");
    ASSERT_EQ(document().get_settings().buttons.keys.at(0), u"Record");
    SetForegroundWindow(form().get_window());

    ASSERT_TRUE(screen_->control().button(1));
    EXPECT_TRUE(testing_support::eventually([&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) skinner::dispatch_message(message);
        return document().is_recording();
    }));
    form().on_command(u"Stop");

    WNDCLASSW window_class{};
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.lpszClassName = u"SettingsFlowProbe";
    RegisterClassW(&window_class);
    HWND const probe =
        CreateWindowExW(0, u"SettingsFlowProbe", u"", 0, 0, 0, 0, 0, nullptr, nullptr, nullptr, nullptr);
    // Whether some window holds the button: another window cannot take it then.
    auto const held = [probe](UINT vk) {
        if (!RegisterHotKey(probe, 1, MOD_WIN, vk)) return true;
        UnregisterHotKey(probe, 1);
        return false;
    };
    EXPECT_TRUE(held(0xC1));
    SendMessageW(form().get_window(), WM_ACTIVATE, 0, 0);
    EXPECT_FALSE(held(0xC1)) << "in the background the button goes back to the device";
    DestroyWindow(probe);
}

TEST_F(SettingsFlowTest, ASettingsFileThatCannotBeWrittenIsReportedAndKeptWhole) {
    Settings before;
    before.record.prefix = u"old";
    make_form(&before);
    std::string const kept = testing_support::read_host_file(settings_file());
    std::filesystem::permissions(settings_file(), std::filesystem::perms::owner_read);

    std::u16string message;
    bool changed = false;
    checks_.start([&] {
        if (!changed) {
            auto* const shown = dynamic_cast<SettingsForm*>(skinner::Form::get_current_modal());
            if (!shown) return false;
            shown->get_recording().get_prefix().set_text(u"new");
            shown->close();
            changed = true;
            return false;
        }
        skinner::Form* const box = settings_test::find_error_box();
        if (!box) return false;
        auto* const text = dynamic_cast<skinner::ControlFrame*>(box->find_control(u"frmMessage"));
        message = text ? text->get_text() : u"?";
        PostMessageW(box->get_window(), WM_CLOSE, 0, 0);
        return true;
    });
    form().on_command(u"Settings");
    EXPECT_EQ(message, get_settings_skin().translate(u"on_settings_not_saved"));
    EXPECT_EQ(testing_support::read_host_file(settings_file()), kept);
    EXPECT_EQ(document().get_settings().record.prefix, u"new");  // in force until the program ends
}


// The playback page's turn-off choice is in force at once: while the form plays, the display
// goes off after that many seconds without input (on a moved tick count) and not before.
TEST_F(SettingsFlowTest, TheTurnOffTimeChosenForPlaybackSwitchesTheDisplayOff) {
    make_form();
    std::filesystem::create_directories(device.host_path("My Documents"));
    testing_support::write_host_file(device.host_path("My Documents/long.wav"),
                                     wav_fixture::pcm_file(1, 8, 8000, std::string(8000 * 60, '\x80')));
    form().show(true);
    ASSERT_TRUE(testing_support::eventually([&] { return GetForegroundWindow() == form().get_window(); }));
    form().get_explorer().select_file(u"\\My Documents\\long.wav");
    ASSERT_TRUE(form().on_command(u"Play"));
    form().on_timer_broadcast(form().get_timer_id());  // playing: the stored "never" applies

    when_settings_open([](SettingsForm& shown) {
        screens::ControlComboBoxTurnOff& choice = shown.get_playback().get_turn_off();
        choice.set_selected_index(2);  // what the drop-down does when "5 sec" is tapped
        choice.on_combo_changed(&choice);
    });
    form().on_command(u"Settings");
    ASSERT_EQ(document().get_settings().play.turn_off, 5);

    DWORD offset = 0;
    auto const idle_for = [&](DWORD milliseconds) {
        offset += milliseconds;
        platform::set_tick_offset(offset);
        SendMessageW(form().get_window(), WM_TIMER, form().get_power_manager().get_impl()->get_timer_id(), 0);
        bool on = true;
        EXPECT_TRUE(screen_->control().display_on(on));
        return on;
    };
    form().get_power_manager().restart_idle_time();
    EXPECT_TRUE(idle_for(4000));
    EXPECT_FALSE(idle_for(2000)) << "off after the 5 s chosen";
    platform::set_tick_offset(0);
    form().on_command(u"Stop");
}

// The play mode chosen on the playback page decides what follows the first of two files in
// the explorer's folder once it has been played to its end.
TEST_F(SettingsFlowTest, ThePlayModeChosenDecidesWhatFollowsTheFirstOfTwoFiles) {
    struct Case {
        int mode;
        std::vector<std::u16string> started;
        bool still_playing;
    };
    std::u16string const first = u"\\My Documents\\a.wav";
    std::u16string const second = u"\\My Documents\\b.wav";
    Case const cases[] = {
        {0, {first}, false},                   // one file once
        {1, {first, first, first}, true},      // one file over and over
        {2, {first, second}, false},           // all files in order, once
        {3, {first, second, first}, true},     // all files in order, over and over
    };
    std::filesystem::create_directories(device.host_path("My Documents"));
    for (char const* name : {"a.wav", "b.wav"}) {
        testing_support::write_host_file(device.host_path(std::string("My Documents/") + name),
                                         wav_fixture::pcm_file(1, 8, 8000, std::string(400, '\x90')));
    }
    make_form();
    for (Case const& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode);
        when_settings_open([&c](SettingsForm& shown) { shown.get_playback().get_mode().set_selected_index(c.mode); });
        form().on_command(u"Settings");
        ASSERT_EQ(document().get_settings().play.mode, c.mode);
        form().get_explorer().select_file(first);
        ASSERT_TRUE(form().on_command(u"Play"));
        std::vector<std::u16string> started;
        while (document().is_playing() && started.size() < c.started.size()) {
            started.push_back(document().get_current_file());
            ASSERT_TRUE(testing_support::eventually(
                [&] { return document().get_position() >= document().get_length(); }));
            document().on_timer();
        }
        EXPECT_EQ(started, c.started);
        EXPECT_EQ(document().is_playing(), c.still_playing);
        form().on_command(u"Stop");
    }
}

}  // namespace
}  // namespace screens_test
