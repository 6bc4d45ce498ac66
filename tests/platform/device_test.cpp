#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/linux/sound/system_sound_files.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using testing_support::host_file_exists;
using testing_support::read_host_file;
using testing_support::ScopedEnvironment;
using testing_support::write_host_file;

std::string under(const std::string& root, const std::string& relative) {
    return relative.empty() ? root : root + "/" + relative;
}

std::set<std::string> entries_of(const std::string& folder) {
    std::set<std::string> names;
    for (auto const& entry : std::filesystem::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

TEST(DeviceFolder, FallsBackFromTheDeviceVariableToTheDataFolders) {
    struct Case {
        const char* device;
        const char* data_home;
        const char* home;
        std::string expected;
    };
    Case const cases[] = {
        {"/dev-folder", "/data", "/home/u", "/dev-folder"},
        {nullptr, "/data", "/home/u", "/data/sonbrix/device"},
        {"", "/data", "/home/u", "/data/sonbrix/device"},
        {nullptr, nullptr, "/home/u", "/home/u/.local/share/sonbrix/device"},
        {nullptr, "", "/home/u", "/home/u/.local/share/sonbrix/device"},
    };
    for (auto const& c : cases) {
        ScopedEnvironment const device("SONBRIX_DEVICE", c.device);
        ScopedEnvironment const data_home("XDG_DATA_HOME", c.data_home);
        ScopedEnvironment const home("HOME", c.home);
        EXPECT_EQ(platform::device_folder(), c.expected) << c.expected;
    }
}

class DeviceMapping : public DeviceTest {};

TEST_F(DeviceMapping, AcceptsBothSeparatorsAndSkipsEmptyAndDotComponents) {
    struct Case {
        std::u16string device_path;
        std::string relative;
    };
    Case const cases[] = {
        {u"\\My Documents\\a.wav", "My Documents/a.wav"},
        {u"/My Documents/a.wav", "My Documents/a.wav"},
        {u"My Documents\\a.wav", "My Documents/a.wav"},
        {u"\\\\My Documents//.\\a.wav\\", "My Documents/a.wav"},
        {u"\\Windows\\..\\My Documents\\a.wav", "My Documents/a.wav"},
        {u"\\a\\b\\..\\..\\c", "c"},
        {u"\\", ""},
        {u"", ""},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(platform::host_path(c.device_path), under(device.fs(), c.relative)) << c.relative;
    }
}

TEST_F(DeviceMapping, ResolvesNamesIgnoringCaseAndKeepsUnknownNamesAsGiven) {
    write_host_file(device.host_path("Music/Song.WAV"), "x");
    write_host_file(device.host_path("Müsik/Lied.mp3"), "x");
    struct Case {
        std::u16string device_path;
        std::string relative;
    };
    Case const cases[] = {
        {u"\\music\\SONG.wav", "Music/Song.WAV"},
        {u"\\MÜSIK\\lied.MP3", "Müsik/Lied.mp3"},
        {u"\\MUSIC\\New.wav", "Music/New.wav"},
        {u"\\Missing\\Deeper\\X.wav", "Missing/Deeper/X.wav"},
        {u"\\music\\song.wav\\inside", "Music/Song.WAV/inside"},
    };
    for (auto const& c : cases) {
        EXPECT_EQ(platform::host_path(c.device_path), under(device.fs(), c.relative)) << c.relative;
    }
}

TEST_F(DeviceMapping, PrefersTheExactNameWhenSeveralDifferOnlyInCase) {
    write_host_file(device.host_path("Note.txt"), "title case");
    write_host_file(device.host_path("NOTE.txt"), "upper case");
    EXPECT_EQ(platform::host_path(u"\\Note.txt"), device.host_path("Note.txt"));
    EXPECT_EQ(platform::host_path(u"\\NOTE.txt"), device.host_path("NOTE.txt"));
}

TEST_F(DeviceMapping, RefusesPathsThatLeaveTheRoot) {
    for (std::u16string const path : {u"..", u"\\..\\x", u"\\a\\..\\..\\b", u"\\a\\b\\..\\..\\..\\fs\\x"}) {
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(platform::host_path(path), std::nullopt);
        EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    }
}

TEST_F(DeviceMapping, RefusesANulCharacterInsideAName) {
    std::u16string const path(u"\\a\0b", 4);
    EXPECT_EQ(platform::host_path(path), std::nullopt);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_NAME);
}

TEST_F(DeviceMapping, CreatesTheSpecialFoldersOnFirstUse) {
    EXPECT_FALSE(std::filesystem::exists(device.fs()));
    ASSERT_TRUE(platform::host_path(u"\\x"));
    for (auto const* folder : {"My Documents", "Windows", "Windows/StartUp", "Windows/Start Menu",
                               "Windows/Start Menu/Programs", "Program Files"}) {
        EXPECT_TRUE(std::filesystem::is_directory(device.host_path(folder))) << folder;
    }
    EXPECT_FALSE(std::filesystem::exists(device.host_path("x")));
}

TEST_F(DeviceMapping, SpecialFoldersThatExistInAnotherCaseAreNotMadeTwice) {
    std::filesystem::create_directories(device.host_path("my documents"));
    std::filesystem::create_directories(device.host_path("WINDOWS/startup"));
    ASSERT_TRUE(platform::host_path(u"\\"));
    EXPECT_EQ(entries_of(device.fs()), (std::set<std::string>{"my documents", "WINDOWS", "Program Files"}));
    EXPECT_EQ(entries_of(device.host_path("WINDOWS")),
              (std::set<std::string>{"startup", "Start Menu", "Voicbeep.wav", "RecEnd.wav"}));
}

TEST_F(DeviceMapping, MakesTheSystemSoundsWhenTheRootOrWindowsIsFirstUsed) {
    struct Case {
        std::u16string path;
        bool makes_sounds;
    };
    Case const cases[] = {
        {u"\\x", false},
        {u"\\My Documents\\a.wav", false},
        {u"\\Windows\\..\\x", false},
        {u"\\Windowsx\\a", false},
        {u"\\", true},
        {u"\\Windows", true},
        {u"\\WINDOWS\\Voicbeep.wav", true},
        {u"\\Windows\\Start Menu\\Programs\\a.lnk", true},
    };
    int number = 0;
    for (auto const& c : cases) {
        std::string const folder = device.folder() + "/case-" + std::to_string(++number);
        ScopedEnvironment const own_device("SONBRIX_DEVICE", folder.c_str());
        std::string const windows = folder + "/fs/Windows";
        ASSERT_TRUE(platform::host_path(c.path));
        EXPECT_TRUE(std::filesystem::is_directory(windows + "/Start Menu/Programs")) << number;
        EXPECT_EQ(host_file_exists(windows + "/Voicbeep.wav"), c.makes_sounds) << number;
        EXPECT_EQ(host_file_exists(windows + "/RecEnd.wav"), c.makes_sounds) << number;
        ASSERT_TRUE(platform::host_path(u"\\Windows\\RecEnd.wav"));
        EXPECT_TRUE(host_file_exists(windows + "/Voicbeep.wav")) << number;
        EXPECT_TRUE(host_file_exists(windows + "/RecEnd.wav")) << number;
    }
}

TEST_F(DeviceMapping, SystemSoundsThatAreThereAreKeptWhateverTheirCase) {
    write_host_file(device.host_path("Windows/RecEnd.wav"), "mine");
    write_host_file(device.host_path("Windows/voicbeep.WAV"), "theirs");
    ASSERT_TRUE(platform::host_path(u"\\Windows"));
    EXPECT_EQ(entries_of(device.host_path("Windows")),
              (std::set<std::string>{"RecEnd.wav", "voicbeep.WAV", "StartUp", "Start Menu"}));
    EXPECT_EQ(read_host_file(device.host_path("Windows/RecEnd.wav")), "mine");
    EXPECT_EQ(read_host_file(device.host_path("Windows/voicbeep.WAV")), "theirs");
}

// Processes that start on a new device together: each one that sees a sound sees it whole.
TEST_F(DeviceMapping, ProcessesMakingTheSystemSoundsAtOnceSeeThemWhole) {
    auto const expected = platform::detail::voice_beep_wav();
    std::string const sound = device.host_path("Windows/Voicbeep.wav");
    int go[2];
    ASSERT_EQ(pipe(go), 0);
    std::vector<pid_t> children;
    for (int i = 0; i < 8; ++i) {
        pid_t const child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            char byte;
            close(go[1]);
            if (read(go[0], &byte, 1) != 0) _exit(2);
            bool const found = platform::host_path(u"\\Windows\\Voicbeep.wav").has_value();
            std::string const bytes = read_host_file(sound);
            _exit(found && bytes == std::string(expected.begin(), expected.end()) ? 0 : 1);
        }
        children.push_back(child);
    }
    close(go[0]);
    close(go[1]);  // starts them all
    for (pid_t const child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    }
    EXPECT_EQ(entries_of(device.host_path("Windows")),
              (std::set<std::string>{"Voicbeep.wav", "RecEnd.wav", "StartUp", "Start Menu"}));
}

TEST_F(DeviceMapping, TellsTheDevicePathOfAHostPathInsideTheRoot) {
    struct Case {
        std::string host_path;
        std::optional<std::u16string> expected;
    };
    Case const cases[] = {
        {device.fs() + "/My Documents/a.wav", u"\\My Documents\\a.wav"},
        {device.fs() + "/Müsik/", u"\\Müsik"},
        {device.fs() + "/a/../b", u"\\b"},
        {device.fs(), u"\\"},
        {device.fs() + "/", u"\\"},
        {device.fs() + "x/a.wav", std::nullopt},
        {device.folder() + "/registry/hive", std::nullopt},
        {device.fs() + "/../outside", std::nullopt},
        {"/elsewhere/a.wav", std::nullopt},
    };
    for (auto const& c : cases) EXPECT_EQ(platform::device_path(c.host_path), c.expected) << c.host_path;
}

TEST_F(DeviceMapping, TellsTheDevicePathThroughASymbolicLink) {
    std::filesystem::create_directories(device.host_path("Storage"));
    std::string const link = device.folder() + "/link";
    std::filesystem::create_directory_symlink(device.host_path("Storage"), link);
    EXPECT_EQ(platform::device_path(link + "/a.wav"), u"\\Storage\\a.wav");
}

}  // namespace
