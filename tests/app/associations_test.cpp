#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/associations.h"
#include "app/settings.h"
#include "foundation/registry.h"
#include "platform/registry.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"

namespace {

const std::u16string our_command = u"\"\\Program Files\\Sonbrix\\Sonbrix.exe\" %1";
const std::u16string our_icon = u"\\Program Files\\Sonbrix\\Sonbrix.exe,-0";
const std::u16string other_command = u"\"\\Windows\\player.exe\" %1";
const std::u16string other_icon = u"\\Windows\\player.exe,-2";

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// The default value of a key under HKEY_CLASSES_ROOT, looked at without creating anything.
std::optional<std::u16string> default_value(const std::u16string& key_path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key_path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return std::nullopt;
    DWORD type = 0;
    char16_t buffer[512] = {};
    DWORD size = sizeof buffer - sizeof(char16_t);
    LONG const result = RegQueryValueExW(key, u"", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ) return std::nullopt;
    return std::u16string(buffer);
}

void set_default(const std::u16string& key_path, const std::u16string& text) {
    ASSERT_TRUE(os::write_registry_string(u"HKEY_CLASSES_ROOT\\" + key_path, u"", text));
}

// What the shell would find for an extension: its class, description, command and icon.
struct Opener {
    std::optional<std::u16string> type_class, description, command, icon;
    bool operator==(const Opener&) const = default;
};

void PrintTo(const Opener& o, std::ostream* out) {
    auto show = [](const std::optional<std::u16string>& v) { return v ? "\"" + narrow(*v) + "\"" : "none"; };
    *out << "{class " << show(o.type_class) << ", description " << show(o.description) << ", command "
         << show(o.command) << ", icon " << show(o.icon) << "}";
}

Opener opener_of(const std::u16string& extension) {
    Opener opener;
    opener.type_class = default_value(u"." + extension);
    if (!opener.type_class) return opener;
    opener.description = default_value(*opener.type_class);
    opener.command = default_value(*opener.type_class + u"\\Shell\\Open\\Command");
    opener.icon = default_value(*opener.type_class + u"\\DefaultIcon");
    return opener;
}

struct Remembered {
    std::u16string command;
    std::u16string icon;
};

class Associations : public testing_support::DeviceTest {
protected:
    void apply(bool associate, Remembered& remembered) {
        apply_file_association(associate, u"mp3", u"mp3sound", u"MP3 sound", get_program_open_command(),
                               get_program_icon(), remembered.command, remembered.icon);
    }

    testing_support::ScopedEnvironment module{"SONBRIX_MODULE", "\\Program Files\\Sonbrix\\Sonbrix.exe"};
};

TEST_F(Associations, TheProgramsOwnCommandAndIcon) {
    EXPECT_EQ(get_program_open_command(), our_command);
    EXPECT_EQ(get_program_icon(), our_icon);
}

// Each starting state of ".mp3", associated and then given back.
TEST_F(Associations, AssociatingRemembersTheOpenerAndGivingBackRestoresIt) {
    struct Case {
        const char* what;
        std::function<void()> prepare;
        Opener associated;
        Remembered remembered;
        Opener restored;
    };
    Opener const ours_new_class{u"mp3sound", u"MP3 sound", our_command, our_icon};
    Opener const ours_other_class{u"OtherClass", u"MP3 sound", our_command, our_icon};
    std::vector<Case> const cases = {
        {"no class", [] {}, ours_new_class, {our_command, u""}, {u"mp3sound", u"MP3 sound", std::nullopt, std::nullopt}},
        {"another program's class",
         [] {
             set_default(u".mp3", u"OtherClass");
             set_default(u"OtherClass", u"Music");
             set_default(u"OtherClass\\Shell\\Open\\Command", other_command);
             set_default(u"OtherClass\\DefaultIcon", other_icon);
         },
         ours_other_class, {other_command, other_icon}, {u"OtherClass", u"MP3 sound", other_command, other_icon}},
        {"a class without icon",
         [] {
             set_default(u".mp3", u"OtherClass");
             set_default(u"OtherClass\\Shell\\Open\\Command", other_command);
         },
         ours_other_class, {other_command, u""}, {u"OtherClass", u"MP3 sound", other_command, u""}},
        {"a class without command",
         [] {
             set_default(u".mp3", u"OtherClass");
             set_default(u"OtherClass", u"Music");
         },
         ours_other_class, {our_command, u""}, {u"OtherClass", u"MP3 sound", std::nullopt, std::nullopt}},
        {"our command with another icon",
         [] {
             set_default(u".mp3", u"OtherClass");
             set_default(u"OtherClass\\Shell\\Open\\Command", our_command);
             set_default(u"OtherClass\\DefaultIcon", other_icon);
         },
         ours_other_class, {our_command, other_icon}, {u"OtherClass", u"MP3 sound", std::nullopt, std::nullopt}},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.what);
        testing_support::TestDevice fresh;
        c.prepare();
        Remembered remembered;
        apply(true, remembered);
        EXPECT_EQ(opener_of(u"mp3"), c.associated);
        EXPECT_EQ(remembered.command, c.remembered.command);
        EXPECT_EQ(remembered.icon, c.remembered.icon);

        apply(false, remembered);
        EXPECT_EQ(opener_of(u"mp3"), c.restored);
        EXPECT_EQ(remembered.command, u"");
        EXPECT_EQ(remembered.icon, u"");
        // Given back, the type is no longer the program's at the next start either.
        std::u16string command, icon;
        EXPECT_FALSE(read_file_association(u"mp3", command, icon) && command == our_command);
    }
}

TEST_F(Associations, AssociatingATypeThatIsOursChangesNothing) {
    set_default(u".mp3", u"OtherClass");
    set_default(u"OtherClass\\Shell\\Open\\Command", our_command);
    set_default(u"OtherClass\\DefaultIcon", our_icon);
    Remembered remembered{other_command, other_icon};
    apply(true, remembered);
    EXPECT_EQ(remembered.command, other_command);
    EXPECT_EQ(remembered.icon, other_icon);
    EXPECT_EQ(opener_of(u"mp3"), (Opener{u"OtherClass", std::nullopt, our_command, our_icon}));
}

TEST_F(Associations, GivingBackANotAssociatedTypeWritesNothing) {
    set_default(u".mp3", u"OtherClass");
    set_default(u"OtherClass\\Shell\\Open\\Command", other_command);
    Remembered remembered{u"", u"an icon"};
    apply(false, remembered);
    EXPECT_EQ(opener_of(u"mp3"), (Opener{u"OtherClass", std::nullopt, other_command, std::nullopt}));
    EXPECT_EQ(remembered.icon, u"an icon");
}

TEST_F(Associations, GivingBackLeavesAnOpenerThatTookOverSinceAlone) {
    Remembered remembered;
    apply(true, remembered);  // no opener before: our own command is remembered
    set_default(u"mp3sound\\Shell\\Open\\Command", other_command);
    apply(false, remembered);
    EXPECT_EQ(opener_of(u"mp3").command, other_command);
    EXPECT_EQ(remembered.command, u"");
}

TEST_F(Associations, AFailedGiveBackKeepsTheRememberedOpener) {
    for (bool had_owner : {true, false}) {
        SCOPED_TRACE(had_owner ? "another opener before" : "no opener before");
        testing_support::TestDevice fresh;
        if (had_owner) {
            set_default(u".mp3", u"OtherClass");
            set_default(u"OtherClass\\Shell\\Open\\Command", other_command);
            set_default(u"OtherClass\\DefaultIcon", other_icon);
        }
        Remembered remembered;
        apply(true, remembered);
        Remembered const before = remembered;
        // Every change fails from now on: the store cannot write its new file.
        std::filesystem::create_directories(fresh.folder() + "/registry/HKEY_CLASSES_ROOT.new");
        apply(false, remembered);
        EXPECT_EQ(remembered.command, before.command);
        EXPECT_EQ(remembered.icon, before.icon);
        EXPECT_EQ(opener_of(u"mp3").command, our_command);
    }
}

TEST_F(Associations, EveryStartTakesBackWhatAnotherProgramTookOver) {
    Settings settings;
    set_default(u".wav", u"wavfile");
    set_default(u"wavfile\\Shell\\Open\\Command", other_command);
    set_default(u"wavfile\\DefaultIcon", other_icon);
    update_file_associations(settings, true, false, false, false, false);
    EXPECT_EQ(settings.play.associate_wav_cmd, other_command);

    // A second start with "wav" associated keeps the first owner remembered.
    update_file_associations(settings, true, false, false, false, false);
    EXPECT_EQ(settings.play.associate_wav_cmd, other_command);
    EXPECT_EQ(settings.play.associate_wav_icon, other_icon);

    // Another program takes the type; the next start takes it back and remembers that one.
    set_default(u"wavfile\\Shell\\Open\\Command", u"thief.exe %1");
    set_default(u"wavfile\\DefaultIcon", u"thief.exe,-1");
    update_file_associations(settings, true, false, false, false, false);
    EXPECT_EQ(opener_of(u"wav").command, our_command);
    EXPECT_EQ(settings.play.associate_wav_cmd, u"thief.exe %1");
    EXPECT_EQ(settings.play.associate_wav_icon, u"thief.exe,-1");
}

TEST_F(Associations, UpdateHandlesTheFiveTypesEachWithItsOwnFields) {
    Settings settings;
    update_file_associations(settings, true, true, true, true, true);
    struct Type {
        const char16_t* extension;
        const char16_t* type_class;
        const char16_t* description;
        std::u16string PlaySettings::*command;
    };
    Type const types[] = {
        {u"wav", u"wavfile", u"Voice Recording", &PlaySettings::associate_wav_cmd},
        {u"mp3", u"mp3sound", u"MP3 sound", &PlaySettings::associate_mp3_cmd},
        {u"m3u", u"m3ulists", u"M3U lists", &PlaySettings::associate_m3u_cmd},
        {u"ogg", u"oggfiles", u"Ogg Vorbis sound", &PlaySettings::associate_ogg_cmd},
        {u"wma", u"wmafiles", u"Windows Media Audio file", &PlaySettings::associate_wma_cmd},
    };
    for (auto const& type : types) {
        EXPECT_EQ(opener_of(type.extension), (Opener{type.type_class, type.description, our_command, our_icon}))
            << narrow(type.extension);
        EXPECT_EQ(settings.play.*type.command, our_command) << narrow(type.extension);
    }

    update_file_associations(settings, true, false, true, false, true);
    EXPECT_EQ(settings.play.associate_mp3_cmd, u"");
    EXPECT_EQ(settings.play.associate_ogg_cmd, u"");
    EXPECT_EQ(settings.play.associate_wav_cmd, our_command);
    EXPECT_EQ(opener_of(u"mp3").command, std::nullopt);
    EXPECT_EQ(opener_of(u"ogg").command, std::nullopt);
    EXPECT_EQ(opener_of(u"wma").command, our_command);
}

}  // namespace
