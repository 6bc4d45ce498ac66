// The file types page (ticking registers the program in the device's registry, unticking
// gives the type back) and the language page (the language files beside the program, and a
// switch that changes the texts of the open forms at once, the pages' own lists among them).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <vector>

#include "app/associations.h"
#include "foundation/paths.h"
#include "foundation/registry.h"
#include "screens/settings_associate.h"
#include "screens/settings_buttons.h"
#include "screens/settings_language.h"
#include "screens/settings_playback.h"
#include "screens/settings_recording.h"
#include "screens/turn_off_combo.h"
#include "skin/button.h"
#include "skin/check_box.h"
#include "skin/combo_box_string.h"
#include "skin/tab.h"
#include "tests/screens/settings_fixture.h"

namespace settings_test {
namespace {

using SettingsAssociateTest = SettingsFormTest;
using SettingsLanguageTest = SettingsFormTest;

const std::u16string other_player = u"\"\\Windows\\player.exe\" %1";

std::u16string wav_command() {
    std::u16string type_class;
    std::u16string command;
    os::read_registry_string(u"HKEY_CLASSES_ROOT\\.wav", u"", type_class);
    os::read_registry_string(u"HKEY_CLASSES_ROOT\\" + type_class + u"\\Shell\\Open\\Command", u"", command);
    return command;
}

TEST_F(SettingsAssociateTest, TickingWavRegistersTheProgramAndUntickingGivesItBack) {
    ASSERT_TRUE(os::write_registry_string(u"HKEY_CLASSES_ROOT\\.wav", u"", u"wavfile"));
    ASSERT_TRUE(os::write_registry_string(u"HKEY_CLASSES_ROOT\\wavfile\\Shell\\Open\\Command", u"", other_player));

    SettingsAssociate& page = open().get_associate();
    show_page(page);
    EXPECT_FALSE(page.get_box(SettingsAssociate::wav).is_checked());
    tap(page.get_box(SettingsAssociate::wav));
    ASSERT_TRUE(pump_until([&] { return page.get_box(SettingsAssociate::wav).is_checked(); }));
    close();
    EXPECT_EQ(wav_command(), os::expanded_path(get_program_open_command()));
    EXPECT_EQ(settings.play.associate_wav_cmd, other_player);
    EXPECT_TRUE(settings.play.associate_mp3_cmd.empty());

    SettingsAssociate& again = open().get_associate();
    EXPECT_TRUE(again.get_box(SettingsAssociate::wav).is_checked());
    EXPECT_FALSE(again.get_box(SettingsAssociate::mp3).is_checked());
    again.get_box(SettingsAssociate::wav).set_checked(false);
    close();
    EXPECT_EQ(wav_command(), other_player);
    EXPECT_TRUE(settings.play.associate_wav_cmd.empty());
}

// A second language: the English file with every text of the settings skin changed.
void write_second_language(const std::string& english, const std::string& path) {
    std::ifstream in(english);
    std::ofstream out(path);
    std::string line;
    while (std::getline(in, line)) {
        std::size_t const blank = line.find(' ');
        bool const text_line = !line.empty() && line.rfind("//", 0) != 0 && blank != std::string::npos;
        out << (text_line ? line.substr(0, blank) + " Zweite " + line.substr(blank + 1) : line) << "\n";
    }
}

TEST_F(SettingsLanguageTest, ALanguageDifferingOnlyInCaseIsSelectedAndChoosingItAgainReloadsNothing) {
    write_second_language(program_file("English.lng"), program_file("Deutsch.lng"));
    settings.language = u"DEUTSCH";
    SettingsLanguage& page = open().get_language();
    ASSERT_EQ(page.get_languages().get_item_count(), 2);
    EXPECT_EQ(page.get_languages().get_item_text(page.get_languages().get_selected_index()), u"Deutsch");
    form.reset();

    settings.language = u"Deutsch";
    std::u16string const english = dialogs->translate(u"SettingsScheduleOverlaped");
    open();
    close();
    EXPECT_EQ(settings.language, u"Deutsch");
    EXPECT_EQ(dialogs->translate(u"SettingsScheduleOverlaped"), english);
}

TEST_F(SettingsLanguageTest, SwitchingLanguageChangesTheTextsOfTheOpenFormsAtOnce) {
    write_second_language(program_file("English.lng"), program_file("Deutsch.lng"));
    auto owner_skin = load_skin(dialog_test::settings_skin_path);
    skinner::Form owner(nullptr, owner_skin.get(), u"Error", nullptr);
    SettingsLanguage& page = open(&owner).get_language();
    std::u16string const english_tab = form->get_tab().get_pages()[0]->get_text();
    auto* owner_button = dynamic_cast<skinner::ControlButtonBase*>(owner.find_control(u"btnOk"));
    ASSERT_NE(owner_button, nullptr);
    std::u16string const english_button = owner_button->get_text();
    ASSERT_FALSE(english_tab.empty());
    ASSERT_FALSE(english_button.empty());
    auto const& names = page.get_languages().get_items();
    int const second = names[0] == u"Deutsch" ? 0 : 1;
    page.get_languages().set_selected_index(second);
    page.apply(settings);
    EXPECT_EQ(settings.language, u"Deutsch");
    EXPECT_EQ(form->get_tab().get_pages()[0]->get_text(), u"Zweite " + english_tab);
    // The form's own buttons are made afresh from the reloaded skin.
    owner_button = dynamic_cast<skinner::ControlButtonBase*>(owner.find_control(u"btnOk"));
    ASSERT_NE(owner_button, nullptr);
    EXPECT_EQ(owner_button->get_text(), u"Zweite " + english_button);
    form.reset();
}

// What a combo offers and what its field shows.
struct ComboTexts {
    std::vector<std::u16string> items;
    int selected = -1;
    std::u16string field;
};

template <class Combo>
ComboTexts texts_of(Combo& combo) {
    ComboTexts texts{{}, combo.get_selected_index(), combo.get_text_frame().get_text()};
    for (int index = 0; index < combo.get_item_count(); ++index) texts.items.push_back(combo.get_item_text(index));
    return texts;
}

std::u16string in_second_language(const std::u16string& english) { return u"Zweite " + english; }

TEST_F(SettingsLanguageTest, SwitchingLanguageTranslatesThePagesOwnListsAtOnceAndKeepsTheirChoices) {
    write_second_language(program_file("English.lng"), program_file("Deutsch.lng"));
    settings.play.mode = 3;
    settings.play.turn_off = 10;
    settings.record.turn_off = 30;
    settings.buttons.keys = {u"Record"};
    settings.buttons.joy_left_action = u"Next";
    SettingsForm& shown = open();
    SettingsButtons& buttons = shown.get_buttons();
    int const joystick_row = buttons.get_list().get_row_count() - 2;
    buttons.get_list().set_current_row(joystick_row);  // the combo shows the joystick's "Next"

    struct Combo {
        const char* name;
        std::function<ComboTexts()> read;
    };
    std::vector<Combo> const combos = {
        {"play mode", [&] { return texts_of(shown.get_playback().get_mode()); }},
        {"play turn-off", [&] { return texts_of(shown.get_playback().get_turn_off()); }},
        {"recording turn-off", [&] { return texts_of(shown.get_recording().get_turn_off()); }},
        {"button action", [&] { return texts_of(buttons.get_assign()); }},
    };
    std::vector<ComboTexts> english;
    for (const Combo& combo : combos) english.push_back(combo.read());
    std::u16string const english_joystick = buttons.get_list().get_rows()[joystick_row].name;

    SettingsLanguage& page = shown.get_language();
    auto const& names = page.get_languages().get_items();
    page.get_languages().set_selected_index(names[0] == u"Deutsch" ? 0 : 1);
    page.apply(settings);
    ASSERT_EQ(settings.language, u"Deutsch");

    for (std::size_t index = 0; index < combos.size(); ++index) {
        SCOPED_TRACE(combos[index].name);
        ComboTexts const before = english[index];
        ASSERT_GT(before.selected, 0) << "a choice other than the first shows a kept choice";
        ComboTexts const after = combos[index].read();
        EXPECT_EQ(after.selected, before.selected);
        ASSERT_EQ(after.items.size(), before.items.size());
        for (std::size_t item = 0; item < before.items.size(); ++item) {
            EXPECT_EQ(after.items[item], in_second_language(before.items[item]));
        }
        EXPECT_EQ(after.field, in_second_language(before.field));
    }
    EXPECT_EQ(buttons.get_list().get_rows()[joystick_row].name, in_second_language(english_joystick));

    close();
    EXPECT_EQ(settings.play.mode, 3);
    EXPECT_EQ(settings.play.turn_off, 10);
    EXPECT_EQ(settings.record.turn_off, 30);
    EXPECT_EQ(settings.buttons.keys[0], u"Record");
    EXPECT_EQ(settings.buttons.joy_left_action, u"Next");
}

TEST_F(SettingsLanguageTest, WithoutALanguageFileTheLanguageStaysAsItWas) {
    std::filesystem::remove(program_file("English.lng"));
    settings.language = u"English";
    SettingsLanguage& page = open().get_language();
    EXPECT_EQ(page.get_languages().get_item_count(), 0);
    close();
    EXPECT_EQ(settings.language, u"English");
}

}  // namespace
}  // namespace settings_test
