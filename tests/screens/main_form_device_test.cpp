// The main form with the device around it: the display's turn-off while playing or recording,
// the hardware buttons bound in the settings, the playback filter's level choices, streams
// that fail, the help file, a reload of the skin and its language, and the explorer's menu bar
// buttons beside the shell's input-panel button.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/settings.h"
#include "foundation/file_info.h"
#include "foundation/paths.h"
#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/registry.h"
#include "platform/testing.h"
#include "platform/wave_testing.h"
#include "platform/windows.h"
#include "screens/explorer_manager.h"
#include "screens/panel_file_explorer.h"
#include "skin/combo_box_string.h"
#include "skin/form_impl.h"
#include "skin/menu_manager_impl.h"
#include "skin/power_manager.h"
#include "tests/audio/wav_fixture.h"
#include "tests/screens/main_form_fixture.h"
#include "tests/skin/form_actions.h"
#include "tests/support/eventually.h"
#include "tests/support/message_loop.h"

namespace {

using screens_test::MainFormTest;
using testing_support::read_host_file;
using testing_support::write_host_file;

constexpr char16_t sound_file[] = u"\\My Documents\\long.wav";

class MainFormDeviceTest : public MainFormTest {
protected:
    explicit MainFormDeviceTest(bool shell = false) : MainFormTest(shell) {}
    ~MainFormDeviceTest() override {
        platform::set_tick_offset(0);
        platform::reset_virtual_wave();
    }

    // A minute of quiet mono sound: it plays on through the whole test.
    void put_sound_file() {
        std::filesystem::create_directories(device.host_path("My Documents"));
        write_host_file(device.host_path("My Documents/long.wav"),
                        wav_fixture::pcm_file(1, 8, 8000, std::string(8000 * 60, '\x80')));
    }

    void bring_form_to_front() {
        form().show(true);
        ASSERT_TRUE(testing_support::eventually([&] { return GetForegroundWindow() == form().get_window(); }));
    }

    void timer_step() { form().on_timer_broadcast(form().get_timer_id()); }

    // Moves the device's tick count on, then lets the display's power manager look at the
    // idle time once.
    void idle_for(double seconds) {
        tick_offset_ += static_cast<DWORD>(seconds * 1000);
        platform::set_tick_offset(tick_offset_);
        SendMessageW(form().get_window(), WM_TIMER, form().get_power_manager().get_impl()->get_timer_id(), 0);
    }

    bool display_on() {
        bool on = true;
        EXPECT_TRUE(screen_->control().display_on(on));
        return on;
    }

    skinner::ControlComboBoxStringReadonly& combo(const char16_t* name) {
        skinner::Control* const panel = form().find_control(u"PanelMoreControls");
        auto* const found = dynamic_cast<skinner::ControlComboBoxStringReadonly*>(
            panel->get_panel_container()->find_control(name));
        EXPECT_NE(found, nullptr) << "no combo box";
        return *found;
    }

    DWORD tick_offset_ = 0;
};

// Idle, the display never turns off; playing, it turns off after Play/TurnOff seconds
// without input, recording after Record/TurnOff; each interval is applied once per state.
// Woken by a tap or a key, it stays on for a whole interval again.
TEST_F(MainFormDeviceTest, TheDisplayTurnsOffAfterTheTimeChosenForPlaybackOrRecording) {
    Settings settings;
    settings.play.turn_off = 10;
    settings.record.turn_off = 30;
    make_form(&settings);
    put_sound_file();
    bring_form_to_front();

    timer_step();
    idle_for(3600);
    EXPECT_TRUE(display_on()) << "idle: never";

    form().get_explorer().select_file(sound_file);
    ASSERT_TRUE(form().on_command(u"Play"));
    ASSERT_TRUE(document().is_playing());
    timer_step();
    idle_for(9);
    EXPECT_TRUE(display_on());
    timer_step();  // still playing: the idle time goes on
    idle_for(2);
    EXPECT_FALSE(display_on()) << "playing: after 10 s";

    // A tap at once, before the manager's next look: the screen wakes and keeps the tap.
    ASSERT_TRUE(screen_->control().tap(120, 160));
    EXPECT_TRUE(testing_support::pump_messages_until([&] { return display_on(); })) << "a tap switches it on again";
    idle_for(9);
    EXPECT_TRUE(display_on()) << "and the next interval starts no earlier than the switch-off";

    ASSERT_TRUE(form().on_command(u"Stop"));
    timer_step();
    idle_for(3600);
    EXPECT_TRUE(display_on()) << "idle again: never";

    ASSERT_TRUE(form().on_command(u"Record"));
    ASSERT_TRUE(document().is_recording());
    timer_step();
    idle_for(29);
    EXPECT_TRUE(display_on());
    idle_for(2);
    EXPECT_FALSE(display_on()) << "recording: after 30 s";
    ASSERT_TRUE(screen_->control().press(VK_SHIFT));
    EXPECT_TRUE(testing_support::pump_messages_until([&] { return display_on(); })) << "and so does a key";
    ASSERT_TRUE(form().on_command(u"Stop"));
}

// The settings' button list binds the device's buttons, in the order of their keys, to the
// form's commands; a pressed button runs its command.
TEST_F(MainFormDeviceTest, HardwareButtonsRunTheCommandsTheSettingsBindThemTo) {
    Settings settings;
    settings.buttons.keys = {u"Play", u"Record", u"Stop", u"VolumeUp", u"VolumeDown", u""};
    settings.play.volume = 0.5;
    make_form(&settings);
    put_sound_file();
    bring_form_to_front();
    form().get_explorer().select_file(sound_file);
    auto const press = [&](int button, const std::function<bool()>& done) {
        SCOPED_TRACE(button);
        ASSERT_TRUE(screen_->control().button(button));
        EXPECT_TRUE(testing_support::pump_messages_until(done));
    };
    double const volume = document().get_volume();

    press(4, [&] { return document().get_volume() > volume + 0.05; });
    press(5, [&] { return document().get_volume() < volume + 0.05; });
    EXPECT_NEAR(document().get_volume(), volume, 1e-9);
    press(1, [&] { return document().is_playing(); });
    press(3, [&] { return !document().is_playing(); });
    press(2, [&] { return document().is_recording(); });
    press(3, [&] { return !document().is_recording(); });
    EXPECT_TRUE(testing_support::host_file_exists(device.host_path("My Documents")));
}

// A name typed in place in the explorer gets every key: the arrows that the settings bind to
// rewind and forward move the field's caret instead, and Enter renames the file.
TEST_F(MainFormDeviceTest, TheArrowsMoveTheCaretOfANameTypedInPlace) {
    make_form();
    put_sound_file();
    bring_form_to_front();
    ASSERT_FALSE(document().get_settings().buttons.joy_left_action.empty());
    form().get_explorer().select_file(sound_file);
    ASSERT_TRUE(form().on_command(u"Rename"));
    auto& editor = form().get_explorer().get_file_list().get_editor();
    ASSERT_TRUE(editor.has_focus());
    auto const press = [&](UINT vk, char16_t character = 0) { EXPECT_TRUE(screen_->control().press(vk, character)); };
    press('A', u'a');
    press('C', u'c');
    press(VK_LEFT);
    press('B', u'b');
    press(VK_RIGHT);
    press('D', u'd');
    EXPECT_TRUE(form_test::pump_forms_until([&] { return editor.get_text() == u"abcd"; }));
    press(VK_RETURN);
    EXPECT_TRUE(form_test::pump_forms_until(
        [&] { return testing_support::host_file_exists(device.host_path("My Documents/abcd.wav")); }));
}

// A stored level beyond the list selects its last item; a choice goes to the playback filter
// and into the settings file.
TEST_F(MainFormDeviceTest, TheLevelChoicesShowTheSettingsAndStoreTheUsersChoice) {
    Settings settings;
    settings.play.noise = 2;
    settings.play.limiter = 1;
    settings.play.booster = 3;
    make_form(&settings);
    document().notify(Change(true, true, true, true));
    struct Shown {
        const char16_t* combo;
        int index;
        const char16_t* text;
    };
    for (Shown const& shown : {Shown{u"cmbNoise", 2, u"Medium"}, Shown{u"cmbLimiter", 1, u"Low"},
                               Shown{u"cmbBooster", 3, u"High"}}) {
        auto& box = combo(shown.combo);
        EXPECT_EQ(box.get_item_count(), 4);
        EXPECT_EQ(box.get_selected_index(), shown.index);
        EXPECT_EQ(box.get_text_frame().get_text(), shown.text);
    }

    // What the drop-down does when the user picks a row: the index, then the combo's change.
    auto choose = [&](const char16_t* name, int index) {
        auto& box = combo(name);
        box.set_selected_index(index);
        box.on_combo_changed(&box);
    };
    choose(u"cmbNoise", 0);
    choose(u"cmbLimiter", 3);
    choose(u"cmbBooster", 1);
    Settings stored;
    stored.load(os::join_path(u"%app_path%", u"Sonbrix.xml"));
    for (PlaySettings const* play : {&document().get_settings().play, static_cast<const PlaySettings*>(&stored.play)}) {
        EXPECT_EQ(play->noise, 0);
        EXPECT_EQ(play->limiter, 3);
        EXPECT_EQ(play->booster, 1);
    }

    document().set_noise(7);
    document().notify(Change(false, false, true, false));
    EXPECT_EQ(combo(u"cmbNoise").get_selected_index(), 3) << "a level beyond the list";
}

// A stream that fails is stopped at the next timer step; only a WMA file is reported.
TEST_F(MainFormDeviceTest, AFileThatCannotBePlayedIsStoppedAndOnlyAWmaFileIsReported) {
    make_form();
    answer_error_forms();
    std::filesystem::create_directories(device.host_path("My Documents"));
    struct Case {
        const char* name;
        bool reported;
    };
    for (Case const& c : {Case{"broken.wma", true}, Case{"broken.mp3", false}}) {
        SCOPED_TRACE(c.name);
        write_host_file(device.host_path(std::string("My Documents/") + c.name), std::string(4000, '\x5a'));
        form().get_explorer().select_file(u"\\My Documents\\" + std::u16string(c.name, c.name + std::strlen(c.name)));
        form().on_command(u"Play");
        errors_shown.clear();
        timer_step();
        std::vector<std::string> const expected = {"Cannot play / This Windows Media file cannot be played."};
        EXPECT_EQ(errors_shown, c.reported ? expected : std::vector<std::string>{});
        EXPECT_FALSE(document().is_playing());
        EXPECT_TRUE(document().is_stream_ok()) << "nothing asked to play any more";
    }
}

// A recording whose device stops taking buffers is paused, reported and stopped by the next
// timer step; what was recorded stays.
TEST_F(MainFormDeviceTest, ARecordingWhoseDeviceFailsIsReportedAndStopped) {
    platform::set_virtual_wave_speed(20);  // the device returns its buffers sooner
    make_form();
    ASSERT_TRUE(form().on_command(u"Record"));
    ASSERT_TRUE(document().is_recording());
    std::u16string const file = document().get_record_file();
    ASSERT_TRUE(testing_support::eventually([&] { return document().get_position_seconds() > 0.2; }));
    platform::set_virtual_wave_refusals(false, true);
    ASSERT_TRUE(testing_support::eventually([&] { return !document().is_stream_ok(); }));

    answer_error_forms();
    timer_step();
    EXPECT_EQ(errors_shown, std::vector<std::string>{"Recording stopped / The recording could not go on and was "
                                                     "stopped. What was recorded is kept."});
    EXPECT_FALSE(document().is_recording());
    EXPECT_GT(os::FileInfo(file).get_size(), 44u) << "the recorded sound is kept";
}

// "Help" opens the language's help file beside the program with the shell.
TEST_F(MainFormDeviceTest, HelpOpensTheHelpFileWithTheShell) {
    std::string const viewer = device.host_path("Windows/Viewer.exe");
    write_host_file(viewer, "#!/bin/sh\nprintf '%s' \"$1\" > \"$SONBRIX_DEVICE/fs/opened.txt\"\n");
    ASSERT_EQ(chmod(viewer.c_str(), 0755), 0);
    auto const set_class_value = [](const std::u16string& subkey, const std::u16string& text) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CLASSES_ROOT, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>((text.size() + 1) * sizeof(char16_t))),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    };
    set_class_value(u".htm", u"htmfile");
    set_class_value(u"htmfile\\Shell\\Open\\Command", u"\\Windows\\Viewer.exe %1");
    make_form();

    EXPECT_TRUE(form().on_command(u"Help"));
    std::string const opened = device.host_path("opened.txt");
    ASSERT_TRUE(testing_support::eventually([&] { return !read_host_file(opened).empty(); }));
    EXPECT_EQ(read_host_file(opened), "\\Program Files\\Sonbrix\\Help.htm");
}

// "#ScreenResolution#" loads the skin and the language that the settings name now: the level
// names come from the new language.
TEST_F(MainFormDeviceTest, AScreenChangeReloadsTheSkinAndTheSettingsLanguage) {
    std::string language = read_host_file(device.host_path("Program Files/Sonbrix/English.lng"));
    std::string const line = "DynamicProcessorHigh High";
    std::size_t const at = language.find(line);
    ASSERT_NE(at, std::string::npos);
    language.replace(at, line.size(), "DynamicProcessorHigh Strong");
    write_host_file(device.host_path("Program Files/Sonbrix/Other.lng"), language);
    Settings settings;
    settings.play.booster = 3;
    make_form(&settings);
    document().notify(Change(true, true, true, true));
    ASSERT_EQ(combo(u"cmbBooster").get_text_frame().get_text(), u"High");

    Settings changed = document().get_settings();
    changed.language = u"Other";
    document().set_settings(changed);
    EXPECT_TRUE(form().on_command(u"#ScreenResolution#"));
    EXPECT_EQ(combo(u"cmbBooster").get_text_frame().get_text(), u"Strong");
    EXPECT_EQ(combo(u"cmbBooster").get_item_text(3), u"Strong");
    EXPECT_NE(form().find_control(u"btnPlay"), nullptr);
}

// With the shell's bars around the form.
class MainFormShellTest : public MainFormDeviceTest {
protected:
    MainFormShellTest() : MainFormDeviceTest(true) {}
};

// At 240 x 320 the explorer's widest row of menu bar buttons (a folder's, with a file chosen)
// lies left of the input-panel button, which takes the bar's right 32 pixels, and a tap on
// its last button, Delete, reaches the delete command: it asks before deleting.
TEST_F(MainFormShellTest, TheExplorersMenuBarButtonsLieLeftOfTheInputPanelButtonAndDeleteTakesATap) {
    put_sound_file();
    make_form();
    bring_form_to_front();
    auto& files = form().get_explorer().get_file_list();
    ASSERT_EQ(files.get_row_count(), 1);
    files.set_row_selected(0, true);
    form().get_explorer().update_menu();
    auto* const bar_manager = dynamic_cast<skinner::MenuManagerImplPocket*>(form().get_impl()->get_menu_manager());
    ASSERT_NE(bar_manager, nullptr);
    bar_manager->update();
    HWND const bar = bar_manager->get_bar();
    ASSERT_TRUE(IsWindow(bar));

    int const input_panel_button_left = 240 - 32;
    RECT place{};
    GetWindowRect(bar, &place);
    auto const count = static_cast<int>(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0));
    ASSERT_GE(count, 8) << "File, Mode, Show folders, the recording operation, Cut, Copy, Paste, Delete";
    RECT item{};
    for (int index = 0; index < count; ++index) {
        SendMessageW(bar, TB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        EXPECT_LE(place.left + item.right, input_panel_button_left) << "button " << index;
    }

    std::vector<std::string> questions;
    screens::set_confirm_asker([&](skinner::Form*, skinner::Properties*, const std::u16string& name,
                                   const std::u16string&, const std::u16string&) {
        questions.push_back(std::string(name.begin(), name.end()));
        return static_cast<int>(screens::CONFIRM_NO);
    });
    // `item` is the last button's.
    EXPECT_TRUE(screen_->control().tap(place.left + (item.left + item.right) / 2, place.top + (item.top + item.bottom) / 2));
    EXPECT_TRUE(testing_support::pump_messages_until([&] { return !questions.empty(); }));
    screens::set_confirm_asker(nullptr);
    EXPECT_EQ(questions, std::vector<std::string>{"ConfirmYesNo"});
    EXPECT_TRUE(std::filesystem::exists(device.host_path("My Documents/long.wav"))) << "answered no";
}

}  // namespace
