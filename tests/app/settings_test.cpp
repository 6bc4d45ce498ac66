#include <gtest/gtest.h>

#include <clocale>
#include <filesystem>
#include <string>
#include <vector>

#include "app/settings.h"
#include "foundation/paths.h"
#include "foundation/xml_node.h"
#include "platform/registry.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/system_time.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::make_time;
using testing_support::read_host_file;
using testing_support::write_host_file;

const std::u16string settings_path = u"\\Program Files\\Sonbrix\\Sonbrix.xml";

class SettingsFile : public testing_support::DeviceTest {
protected:
    SettingsFile() { std::filesystem::create_directories(device.host_path("Program Files/Sonbrix")); }

    std::string host_file() const { return device.host_path("Program Files/Sonbrix/Sonbrix.xml"); }
    void write_file(const std::string& xml) { write_host_file(host_file(), xml); }
    static std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

    // The text of an attribute of an element under "Settings" in the saved file.
    std::string saved(const std::u16string& element, const std::u16string& name) const {
        std::u16string text;
        if (!os::XmlNode::load_document(settings_path).find_child(u"Settings").find_child(element).get_attribute(name,
                                                                                                              text)) {
            return "<missing>";
        }
        return narrow(text);
    }

    testing_support::ScopedEnvironment module{"SONBRIX_MODULE", "\\Program Files\\Sonbrix\\Sonbrix.exe"};
};

TEST_F(SettingsFile, DefaultsFollowTheDevice) {
    Settings const settings;
    std::u16string const documents = os::expand_path_macros(u"%my_documents%");
    EXPECT_FALSE(documents.empty());
    EXPECT_EQ(settings.record.folder, documents);
    EXPECT_EQ(settings.file_explorer.folder, documents);
    EXPECT_EQ(settings.skin, u"%app_path%\\skins\\Default\\Default.skin");
    EXPECT_EQ(settings.get_language_path(), u"%app_path%\\English.lng");
    // A new device has six application buttons.
    EXPECT_EQ(settings.buttons.keys, std::vector<std::u16string>(6));
    EXPECT_TRUE(settings.schedule.empty());
    EXPECT_TRUE(settings.input_on);
}

TEST_F(SettingsFile, SavingTheDefaultsWritesTheseTexts) {
    ASSERT_TRUE(Settings().save(settings_path));
    struct Attribute {
        const char16_t* element;
        const char16_t* name;
        std::string text;
    };
    std::string const documents = narrow(os::expand_path_macros(u"%my_documents%"));
    std::vector<Attribute> const expected = {
        {u"Record", u"Codec", "mp3"},          {u"Record", u"Channels", "1"},
        {u"Record", u"Bits", "16"},            {u"Record", u"Samples", "22050"},
        {u"Record", u"Bitrate", "32000"},      {u"Record", u"DefaultFolder", "false"},
        {u"Record", u"Folder", documents},     {u"Record", u"DateFolder", "false"},
        {u"Record", u"Prefix", ""},            {u"Record", u"IncludeDate", "false"},
        {u"Record", u"TurnOff", "0"},          {u"Record", u"VASOn", "false"},
        {u"Record", u"Vas", "0.500000"},       {u"Record", u"Input", "0.500000"},
        {u"Play", u"Volume", "1.000000"},      {u"Play", u"Mode", "SingleOnce"},
        {u"Play", u"TurnOff", "0"},            {u"Play", u"AssociateMP3Cmd", ""},
        {u"Play", u"AssociateWMAIcon", ""},    {u"Play", u"Booster", "0"},
        {u"Play", u"Noise", "0"},              {u"Play", u"Limiter", "0"},
        {u"Play", u"Speed", "1.000000"},       {u"Play", u"PitchLock", "false"},
        {u"Language", u"Language", "English"}, {u"Skin", u"Skin", "%app_path%\\skins\\Default\\Default.skin"},
        {u"FileExplorer", u"ShowFolders", "true"}, {u"FileExplorer", u"Folder", documents},
        {u"FileExplorer", u"Sort", "NAME"},    {u"Buttons", u"Button0", ""},
        {u"Buttons", u"Button5", ""},          {u"Buttons", u"Button6", "<missing>"},
        {u"Buttons", u"UnmapWhenInactive", "true"}, {u"Buttons", u"JoyLeftAction", "Rewind"},
        {u"Buttons", u"JoyRightAction", "Forward"}, {u"Equalizer1", u"Frequency", "200.000000"},
        {u"Equalizer1", u"Amplitude", "0.000000"},  {u"Equalizer1", u"Width", "0.000000"},
        {u"Equalizer1", u"Active", "false"},   {u"Equalizer2", u"Frequency", "400.000000"},
        {u"Equalizer3", u"Frequency", "800.000000"},
    };
    for (auto const& a : expected) {
        EXPECT_EQ(saved(a.element, a.name), a.text) << narrow(a.element) << "/" << narrow(a.name);
    }

    os::XmlNode const root = os::XmlNode::load_document(settings_path).find_child(u"Settings");
    std::vector<std::u16string> elements;
    for (int i = 0; i < root.get_child_count(); ++i) elements.push_back(root.get_child(i).get_name());
    EXPECT_EQ(elements, (std::vector<std::u16string>{u"Record", u"Play", u"Language", u"Buttons", u"FileExplorer",
                                                     u"Skin", u"Equalizer1", u"Equalizer2", u"Equalizer3",
                                                     u"Schedule"}));
    EXPECT_EQ(root.find_child(u"Schedule").get_child_count(), 0);
}

TEST_F(SettingsFile, NumbersAreWrittenWithAPointWhateverTheLocale) {
    const char* used = nullptr;
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "ru_RU.UTF-8"}) {
        if (std::setlocale(LC_ALL, name)) {
            used = name;
            break;
        }
    }
    if (!used) GTEST_SKIP() << "no locale with a decimal comma on this host";
    Settings settings;
    settings.play.volume = 0.25;
    bool const stored = settings.save(settings_path);
    std::setlocale(LC_ALL, "C");
    ASSERT_TRUE(stored);
    EXPECT_EQ(saved(u"Play", u"Volume"), "0.250000") << used;
    EXPECT_EQ(saved(u"Equalizer1", u"Frequency"), "200.000000") << used;
}

TEST_F(SettingsFile, EveryFieldReadsBackAsSaved) {
    Settings changed;
    changed.record = RecordSettings{u"ADPCM", 2, 8, 11025, 64000, true, u"\\Storage Card\\Rec", true, u"memo",
                                    true, 30, true, 0.125, 0.75};
    changed.play.volume = 0.5;
    changed.play.mode = 4;
    changed.play.turn_off = 60;
    changed.play.associate_mp3_cmd = u"\"\\Windows\\player.exe\" %1";
    changed.play.associate_wav_cmd = u"wav command";
    changed.play.associate_m3u_cmd = u"m3u command";
    changed.play.associate_ogg_cmd = u"ogg command";
    changed.play.associate_wma_cmd = u"wma command";
    changed.play.associate_mp3_icon = u"\\Windows\\player.exe,-1";
    changed.play.associate_wav_icon = u"wav icon";
    changed.play.associate_m3u_icon = u"m3u icon";
    changed.play.associate_ogg_icon = u"ogg icon";
    changed.play.associate_wma_icon = u"wma icon";
    changed.play.booster = 1;
    changed.play.noise = 2;
    changed.play.limiter = 3;
    changed.play.speed = 1.5;
    changed.play.pitch_lock = true;
    changed.language = u"Deutsch";
    changed.skin = u"%app_path%\\skins\\Blue\\Blue.skin";
    changed.file_explorer = FileExplorerSettings{false, u"\\Temp", 6};
    changed.buttons.keys = {u"Record", u"Play", u"", u"Stop", u"Next", u"Previous"};
    changed.buttons.unmap_when_inactive = false;
    changed.buttons.joy_left_action = u"Previous";
    changed.buttons.joy_right_action = u"Next";
    changed.equalizer1 = EqualizerBand(100.0, -3.5, 1.25, true);
    changed.equalizer2 = EqualizerBand(1000.0, 6.0, 0.5, false);
    changed.equalizer3 = EqualizerBand(8000.0, 12.0, 2.0, true);
    changed.schedule.insert(ScheduleTask(make_time(2007, 3, 9, 14, 5), make_time(2007, 3, 9, 15, 0)));
    ASSERT_TRUE(changed.save(settings_path));
    std::string const first = read_host_file(host_file());

    Settings read;
    read.load(settings_path);
    EXPECT_EQ(read.record.codec, u"ADPCM");
    EXPECT_EQ(read.play.mode, 4);
    EXPECT_EQ(read.play.limiter, 3);
    EXPECT_EQ(read.file_explorer.sort, 6);
    EXPECT_EQ(read.buttons.keys, changed.buttons.keys);
    EXPECT_EQ(read.equalizer1.amplitude, -3.5);
    ASSERT_EQ(read.schedule.size(), 1u);
    EXPECT_EQ(read.schedule[0].Begin, changed.schedule[0].Begin);
    // Whatever load missed would be saved at its default.
    ASSERT_TRUE(read.save(settings_path));
    EXPECT_EQ(read_host_file(host_file()), first);
}

TEST_F(SettingsFile, EachSortOrderAndPlayModeIsStoredByName) {
    struct Case {
        int sort;
        const char* sort_name;
    };
    for (auto const& c : {Case{0, "NONE"}, Case{1, "NAME"}, Case{2, "DATE"}, Case{3, "SIZE"}, Case{4, "NAME_DESC"},
                          Case{5, "DATE_DESC"}, Case{6, "SIZE_DESC"}}) {
        Settings settings;
        settings.file_explorer.sort = c.sort;
        settings.play.mode = c.sort % 5;
        ASSERT_TRUE(settings.save(settings_path));
        EXPECT_EQ(saved(u"FileExplorer", u"Sort"), c.sort_name);
        Settings read;
        read.file_explorer.sort = -1;
        read.load(settings_path);
        EXPECT_EQ(read.file_explorer.sort, c.sort) << c.sort_name;
        EXPECT_EQ(read.play.mode, c.sort % 5) << c.sort_name;
    }
    Settings unnamed;
    unnamed.file_explorer.sort = 9;
    unnamed.play.mode = 5;
    ASSERT_TRUE(unnamed.save(settings_path));
    EXPECT_EQ(saved(u"FileExplorer", u"Sort"), "<missing>");
    EXPECT_EQ(saved(u"Play", u"Mode"), "<missing>");
}

TEST_F(SettingsFile, APartialFileChangesOnlyWhatItHolds) {
    write_file(R"(<?xml version="1.0"?>
<Settings>
  <Play Mode="PlaylistRepeat" Speed="2.000000" Booster="2"/>
  <Record Bits="8"/>
</Settings>)");
    Settings settings;
    settings.schedule.insert(ScheduleTask(make_time(2007, 3, 9, 14, 5), make_time(2007, 3, 9, 15, 0)));
    settings.load(settings_path);
    EXPECT_EQ(settings.play.volume, 1.0);
    EXPECT_EQ(settings.play.mode, 3);
    EXPECT_EQ(settings.play.speed, 2.0);
    EXPECT_EQ(settings.play.booster, 2);
    EXPECT_EQ(settings.record.bits, 8);
    EXPECT_EQ(settings.record.channels, 1);
    EXPECT_EQ(settings.language, u"English");
    EXPECT_EQ(settings.equalizer2.frequency, 400.0);
    EXPECT_TRUE(settings.schedule.empty()) << "a file without a schedule has none";
}

TEST_F(SettingsFile, ValuesThatCannotStandKeepThePreviousOnes) {
    struct Case {
        const char* element;
        const char* attribute;
        const char* text;
    };
    Case const cases[] = {
        {"Play", "Mode", "singleonce"},     {"Play", "Mode", "PlaylistShuffle "}, {"Play", "Mode", "3"},
        {"FileExplorer", "Sort", "name"},  {"FileExplorer", "Sort", ""},         {"Play", "Booster", "4"},
        {"Play", "Booster", "-1"},         {"Play", "Noise", "2147483647"},     {"Play", "Limiter", "99999999999"},
        {"Play", "Noise", "low"},          {"Record", "Channels", "two"},       {"Record", "Channels", ""},
        {"Play", "Volume", "loud"},        {"Play", "Volume", ""},              {"Play", "Volume", "-"},
        {"Play", "PitchLock", "yes"},      {"FileExplorer", "ShowFolders", "False "},
        {"Equalizer1", "Frequency", "x"},  {"Equalizer2", "Active", "on"},
    };
    Settings previous;
    previous.play.mode = 1;
    previous.file_explorer.sort = 2;
    previous.play.booster = 1;
    previous.play.noise = 3;
    previous.play.limiter = 2;
    previous.record.channels = 2;
    previous.play.volume = 0.75;
    previous.play.pitch_lock = true;
    previous.file_explorer.show_folders = false;
    previous.equalizer1.frequency = 150.0;
    previous.equalizer2.active = true;
    ASSERT_TRUE(previous.save(u"\\previous.xml"));
    std::string const expected = read_host_file(device.host_path("previous.xml"));

    for (auto const& c : cases) {
        write_file(std::string("<Settings><") + c.element + " " + c.attribute + "=\"" + c.text + "\"/></Settings>");
        Settings settings = previous;
        settings.load(settings_path);
        ASSERT_TRUE(settings.save(u"\\previous.xml"));
        EXPECT_EQ(read_host_file(device.host_path("previous.xml")), expected)
            << c.element << "/" << c.attribute << " = \"" << c.text << "\"";
    }
}

TEST_F(SettingsFile, FilesThatAreNoSettingsKeepEveryField) {
    std::string const cases[] = {
        "",
        "not xml at all",
        "<Settings><Play Volume=\"0.1\">",
        "<Other><Play Volume=\"0.1\"/></Other>",
        "<Settings><Play Volume=\"0.1\" Volume=\"0.2\"/></Settings>",
        std::string("\xFF\xFE<\0S\0", 6),
    };
    for (auto const& bytes : cases) {
        write_file(bytes);
        Settings settings;
        settings.play.volume = 0.75;
        settings.language = u"Deutsch";
        settings.load(settings_path);
        EXPECT_EQ(settings.play.volume, 0.75) << bytes;
        EXPECT_EQ(settings.language, u"Deutsch") << bytes;
    }
    Settings settings;
    settings.language = u"Deutsch";
    settings.load(u"\\missing.xml");
    EXPECT_EQ(settings.language, u"Deutsch");
}

TEST_F(SettingsFile, AFileThatCannotBeReadIsKeptAsideBeforeTheNextSave) {
    std::string const broken = "<Settings><Play Volume=\"0.3\"/><Language Language=\"Deutsch\"></Settings>";
    write_file(broken);
    Settings settings;
    settings.load(settings_path);
    EXPECT_FALSE(testing_support::host_file_exists(host_file()));
    EXPECT_EQ(read_host_file(host_file() + ".bad"), broken);
    ASSERT_TRUE(settings.save(settings_path));
    EXPECT_EQ(read_host_file(host_file() + ".bad"), broken) << "saving does not touch the kept file";

    // A second broken file keeps the first one kept.
    write_file("<Settings");
    Settings again;
    again.load(settings_path);
    EXPECT_EQ(read_host_file(host_file() + ".bad"), broken);
    EXPECT_EQ(read_host_file(host_file() + ".bad2"), "<Settings");

    // A good file and a missing one are left where they are.
    ASSERT_TRUE(again.save(settings_path));
    again.load(settings_path);
    EXPECT_TRUE(testing_support::host_file_exists(host_file()));
    EXPECT_FALSE(testing_support::host_file_exists(host_file() + ".bad3"));
}

TEST_F(SettingsFile, NumbersAreBroughtIntoTheRangeTheProgramCanUse) {
    struct Case {
        const char* element;
        const char* attribute;
        const char* text;
        double expected;
    };
    Case const cases[] = {
        {"Record", "Samples", "99999999999999", 11025},  // too large for the field: not taken
        {"Record", "Samples", "-2147483649", 11025},
        {"Record", "Samples", "1", 8000},
        {"Record", "Samples", "2147483647", 48000},
        {"Record", "Samples", "44100", 44100},
        {"Record", "Channels", "-5", 1},
        {"Record", "Channels", "0", 1},
        {"Record", "Channels", "7", 2},
        {"Record", "Bits", "7", 8},
        {"Record", "Bits", "24", 16},
        {"Record", "Bitrate", "0", 8000},
        {"Record", "Vas", "nan", 0.25},
        {"Record", "Input", "5", 1.0},
        {"Play", "Volume", "1e308", 1.0},
        {"Play", "Volume", "-0.5", 0.0},
        {"Play", "Volume", "inf", 0.75},
        {"Play", "Speed", "0", 0.5},
        {"Play", "Speed", "3", 2.0},
        {"Play", "TurnOff", "-1", 0},
    };
    for (auto const& c : cases) {
        write_file(std::string("<Settings><") + c.element + " " + c.attribute + "=\"" + c.text + "\"/></Settings>");
        Settings settings;
        settings.record.samples = 11025;
        settings.record.vas = 0.25;
        settings.play.volume = 0.75;
        settings.load(settings_path);
        double const values[] = {static_cast<double>(settings.record.samples), static_cast<double>(settings.record.channels),
                                 static_cast<double>(settings.record.bits), static_cast<double>(settings.record.bitrate),
                                 settings.record.vas, settings.record.input, settings.play.volume, settings.play.speed,
                                 static_cast<double>(settings.play.turn_off)};
        const char* const names[] = {"Samples", "Channels", "Bits", "Bitrate", "Vas", "Input", "Volume", "Speed", "TurnOff"};
        for (std::size_t i = 0; i < std::size(names); ++i) {
            if (std::string(names[i]) == c.attribute) {
                EXPECT_EQ(values[i], c.expected) << c.attribute << "=" << c.text;
            }
        }
    }
}

TEST_F(SettingsFile, TheButtonListHasOneEntryPerHardwareKey) {
    for (auto const* key : {u"SOFTWARE\\Microsoft\\Shell\\Keys\\40C5", u"SOFTWARE\\Microsoft\\Shell\\Keys\\40C6"}) {
        ASSERT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, key), ERROR_SUCCESS);
    }
    Settings settings;
    ASSERT_EQ(settings.buttons.keys.size(), 4u);
    settings.buttons.keys[3] = u"Record";
    ASSERT_TRUE(settings.save(settings_path));
    EXPECT_EQ(saved(u"Buttons", u"Button3"), "Record");
    EXPECT_EQ(saved(u"Buttons", u"Button4"), "<missing>");

    write_file(R"(<Settings><Buttons Button1="Play" Button7="Stop"/></Settings>)");
    Settings read;
    read.buttons.keys[0] = u"Next";
    read.load(settings_path);
    EXPECT_EQ(read.buttons.keys, (std::vector<std::u16string>{u"Next", u"Play", u"", u""}));
}

TEST_F(SettingsFile, AFailedSaveReportsItAndKeepsTheFileThere) {
    Settings settings;
    ASSERT_TRUE(settings.save(settings_path));
    std::string const before = read_host_file(host_file());
    EXPECT_FALSE(settings.save(u"\\No Such Folder\\Sonbrix.xml"));
    std::filesystem::permissions(host_file(), std::filesystem::perms::owner_read);
    settings.play.volume = 0.5;
    EXPECT_FALSE(settings.save(settings_path));
    EXPECT_EQ(read_host_file(host_file()), before);
}

}  // namespace
