#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "foundation/registry.h"
#include "platform/device.h"
#include "platform/registry.h"
#include "tests/support/test_device.h"
#include "tools/package_installer/install_log.h"
#include "tools/package_installer/package_installer.h"

namespace {

using testing_support::host_file_exists;
using testing_support::read_host_file;
using testing_support::write_host_file;

const char16_t* const xelo_key = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\APPS\\XELO Sonbrix";
const char16_t* const item_key = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Today\\Items\\Sonbrix";

bool key_exists(const std::u16string& path) {
    HKEY root = nullptr;
    std::u16string const subkey = os::split_registry_path(path, root);
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The text, or "(none)"; reads without making the key.
std::string value_text(const std::u16string& key_path, const std::u16string& name) {
    if (!key_exists(key_path)) return "(none)";
    std::u16string text;
    if (!os::read_registry_string(key_path, name, text)) return "(none)";
    return std::string(text.begin(), text.end());  // the tests use ASCII only
}

long long value_number(const std::u16string& key_path, const std::u16string& name) {
    if (!key_exists(key_path)) return -1;
    DWORD number = 0xFFFFFFFF;
    os::read_registry_dword(key_path, name, number);
    return number == 0xFFFFFFFF ? -1 : static_cast<long long>(number);
}

class PackageInstallerTest : public testing_support::DeviceTest {
protected:
    void SetUp() override {
        platform::host_path(u"\\");  // makes the device's folders
        std::filesystem::create_directories(package_folder());
        std::filesystem::copy_file(SONBRIX_SETUP_LIBRARY, package_folder() + "/setup.dll");
    }

    std::string package_folder() const { return device.folder() + "/package"; }

    // A package in version 1 or 2: version 2 changes the program and drops the help file.
    installer::Manifest package(int version) {
        write_host_file(package_folder() + "/Sonbrix.exe", "program " + std::to_string(version));
        write_host_file(package_folder() + "/help.htm", "help");
        write_host_file(package_folder() + "/plugin.dll", "plug-in");
        write_host_file(package_folder() + "/Default.skin", "skin");
        std::string manifest = R"(<Package Name="Sonbrix" InstallDir="%program_files%\Sonbrix" Setup="setup.dll">
  <File Source="Sonbrix.exe" Target="%InstallDir%\Sonbrix.exe"/>
  <File Source="Default.skin" Target="%InstallDir%\skins\Default\Default.skin"/>
  <File Source="plugin.dll" Target="%windows%\SonbrixTodayPlugin.dll"/>
  <Value Key="HKEY_LOCAL_MACHINE\SOFTWARE\APPS\XELO Sonbrix" Name="InstlDir" String="%InstallDir%"/>
  <Value Key="HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Today\Items\Sonbrix" Name="DLL" String="%windows%\SonbrixTodayPlugin.dll"/>
)";
        if (version == 1) {
            manifest += R"(  <File Source="help.htm" Target="%windows%\XeloSonbrix_help.htm"/>
  <Value Key="HKEY_LOCAL_MACHINE\SOFTWARE\APPS\XELO Sonbrix" Name="Version" Dword="1"/>
)";
        }
        manifest += "</Package>\n";
        write_host_file(package_folder() + "/sonbrix.xml", manifest);
        std::string error;
        auto read = installer::read_manifest(package_folder() + "/sonbrix.xml", package_folder(), error);
        EXPECT_TRUE(read) << error;
        return read.value_or(installer::Manifest{});
    }

    void install(int version) {
        std::string error;
        EXPECT_TRUE(installer::install_package(package(version), error)) << error;
    }

    // What the user has made of the installed program: settings, a recording, a Today skin,
    // an association and a button binding.
    void use_the_program() {
        write_host_file(device.host_path("Program Files/Sonbrix/Sonbrix.xml"), "<Settings Volume=\"3\"/>");
        write_host_file(device.host_path("My Documents/rec.wav"), "RIFF");
        os::write_registry_string(xelo_key, u"TodaySkin", u"\\Windows\\Today Classic.skin");
        os::write_registry_string(u"HKEY_CLASSES_ROOT\\.mp3", u"", u"SonbrixFile");
        os::write_registry_string(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shell\\Keys\\40C1", u"",
                                  u"\\Program Files\\Sonbrix\\Sonbrix.exe");
    }

    void expect_the_users_own_kept() {
        EXPECT_EQ(read_host_file(device.host_path("Program Files/Sonbrix/Sonbrix.xml")), "<Settings Volume=\"3\"/>");
        EXPECT_EQ(read_host_file(device.host_path("My Documents/rec.wav")), "RIFF");
        EXPECT_EQ(value_text(xelo_key, u"TodaySkin"), "\\Windows\\Today Classic.skin");
        EXPECT_EQ(value_text(u"HKEY_CLASSES_ROOT\\.mp3", u""), "SonbrixFile");
        EXPECT_EQ(value_text(u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shell\\Keys\\40C1", u""),
                  "\\Program Files\\Sonbrix\\Sonbrix.exe");
    }
};

TEST_F(PackageInstallerTest, InstallPutsTheFilesValuesAndItemInPlace) {
    install(1);
    EXPECT_EQ(read_host_file(device.host_path("Program Files/Sonbrix/Sonbrix.exe")), "program 1");
    EXPECT_EQ(read_host_file(device.host_path("Program Files/Sonbrix/skins/Default/Default.skin")), "skin");
    EXPECT_EQ(read_host_file(device.host_path("Windows/SonbrixTodayPlugin.dll")), "plug-in");
    EXPECT_EQ(value_text(xelo_key, u"InstlDir"), "\\Program Files\\Sonbrix");
    EXPECT_EQ(value_text(item_key, u"DLL"), "\\Windows\\SonbrixTodayPlugin.dll");
    EXPECT_EQ(value_number(item_key, u"Enabled"), 1);
    EXPECT_TRUE(host_file_exists(device.host_path("Windows/AppMgr/Sonbrix/install.log")));
    EXPECT_FALSE(host_file_exists(device.host_path("Program Files/Sonbrix/Sonbrix.exe.installing")));
}

TEST_F(PackageInstallerTest, UninstallRemovesWhatItListsAndKeepsTheUsersOwn) {
    install(1);
    use_the_program();
    std::string error;
    ASSERT_TRUE(installer::uninstall_package(u"Sonbrix", error)) << error;

    for (auto const* file : {"Program Files/Sonbrix/Sonbrix.exe", "Program Files/Sonbrix/skins",
                             "Windows/SonbrixTodayPlugin.dll", "Windows/XeloSonbrix_help.htm", "Windows/AppMgr/Sonbrix"}) {
        EXPECT_FALSE(host_file_exists(device.host_path(file))) << file;
    }
    EXPECT_EQ(value_text(xelo_key, u"InstlDir"), "(none)");
    EXPECT_EQ(value_number(xelo_key, u"Version"), -1);
    EXPECT_FALSE(key_exists(item_key));
    expect_the_users_own_kept();
    EXPECT_FALSE(installer::uninstall_package(u"Sonbrix", error));
    EXPECT_EQ(error, "the package Sonbrix is not installed");
}

TEST_F(PackageInstallerTest, ReinstallReplacesThePackageAndKeepsTheUsersOwn) {
    install(1);
    use_the_program();
    install(2);
    EXPECT_EQ(read_host_file(device.host_path("Program Files/Sonbrix/Sonbrix.exe")), "program 2");
    EXPECT_FALSE(host_file_exists(device.host_path("Windows/XeloSonbrix_help.htm")));  // no longer packaged
    EXPECT_EQ(value_number(xelo_key, u"Version"), -1);
    EXPECT_EQ(value_number(item_key, u"Enabled"), 1);
    expect_the_users_own_kept();

    // The new log is the one an uninstall follows.
    std::string error;
    ASSERT_TRUE(installer::uninstall_package(u"Sonbrix", error)) << error;
    EXPECT_FALSE(host_file_exists(device.host_path("Program Files/Sonbrix/Sonbrix.exe")));
    expect_the_users_own_kept();
}

TEST_F(PackageInstallerTest, ACancellingSetupLeavesTheDeviceAsItWas) {
    auto manifest = package(1);
    std::filesystem::copy_file(SONBRIX_REFUSING_SETUP_LIBRARY, package_folder() + "/refusing.dll");
    manifest.setup_library = package_folder() + "/refusing.dll";
    std::string error;
    EXPECT_FALSE(installer::install_package(manifest, error));
    EXPECT_EQ(error, "the package's setup cancelled the installation");
    EXPECT_FALSE(host_file_exists(device.host_path("Program Files/Sonbrix")));
    EXPECT_FALSE(host_file_exists(device.host_path("Windows/AppMgr/Sonbrix/install.log")));
    EXPECT_FALSE(host_file_exists(device.host_path("Windows/AppMgr")));
    EXPECT_FALSE(key_exists(xelo_key));
}

// The uninstall runs in a process of its own: this one still has the package's setup loaded.
TEST_F(PackageInstallerTest, AnUninstallTheSetupRefusesKeepsTheProgram) {
    install(1);
    std::string const library = device.host_path("Windows/AppMgr/Sonbrix/setup.dll");
    std::filesystem::remove(library);
    std::filesystem::copy_file(SONBRIX_REFUSING_SETUP_LIBRARY, library);
    std::string const uninstall = std::string(SONBRIX_INSTALL_PACKAGE) + " uninstall Sonbrix 2>/dev/null";
    EXPECT_EQ(std::system(uninstall.c_str()), 256);
    EXPECT_TRUE(host_file_exists(device.host_path("Program Files/Sonbrix/Sonbrix.exe")));
    EXPECT_TRUE(host_file_exists(device.host_path("Windows/AppMgr/Sonbrix/install.log")));
}

struct BadManifest {
    const char* name;
    const char* text;
    const char* error_start;
};

BadManifest const bad_manifests[] = {
    {"not XML", "<Package", "cannot read the manifest"},
    {"no name", R"(<Package InstallDir="\P" Setup="setup.dll"/>)", "the manifest names no usable package"},
    {"name with a separator", R"(<Package Name="..\x" InstallDir="\P" Setup="setup.dll"/>)",
     "the manifest names no usable package"},
    {"folder not on the device", R"(<Package Name="S" InstallDir="P" Setup="setup.dll"/>)",
     "the manifest's InstallDir is not a device path"},
    {"missing setup library", R"(<Package Name="S" InstallDir="\P" Setup="none.dll"/>)",
     "cannot read the setup library"},
    {"missing source", R"(<Package Name="S" InstallDir="\P" Setup="setup.dll"><File Source="none" Target="\a"/></Package>)",
     "cannot read the file"},
    {"source is a folder", R"(<Package Name="S" InstallDir="\P" Setup="setup.dll"><File Source="." Target="\a"/></Package>)",
     "cannot read the file"},
    {"optional source that is a folder",
     R"(<Package Name="S" InstallDir="\P" Setup="setup.dll"><File Source="." Target="\a" Optional="yes"/></Package>)",
     "cannot read the file"},
    {"target not on the device",
     R"(<Package Name="S" InstallDir="\P" Setup="setup.dll"><File Source="setup.dll" Target="a"/></Package>)",
     "the target of"},
    {"unknown root", R"(<Package Name="S" InstallDir="\P" Setup="setup.dll"><Value Key="HKLM\x" Name="n" Dword="1"/></Package>)",
     "the key HKLM\\x is under no known root"},
    {"value without data",
     R"(<Package Name="S" InstallDir="\P" Setup="setup.dll"><Value Key="HKEY_USERS\x" Name="n"/></Package>)",
     "the value n has neither"},
    {"number that is no number",
     R"(<Package Name="S" InstallDir="\P" Setup="setup.dll"><Value Key="HKEY_USERS\x" Name="n" Dword="4x"/></Package>)",
     "the value n has neither"},
};

TEST_F(PackageInstallerTest, ABadManifestIsRefusedWithItsReason) {
    for (auto const& row : bad_manifests) {
        SCOPED_TRACE(row.name);
        write_host_file(package_folder() + "/bad.xml", row.text);
        std::string error;
        EXPECT_FALSE(installer::read_manifest(package_folder() + "/bad.xml", package_folder(), error));
        EXPECT_EQ(error.rfind(row.error_start, 0), 0u) << error;
    }
}

TEST_F(PackageInstallerTest, AnOptionalFileThatIsNotBuiltIsLeftOut) {
    write_host_file(package_folder() + "/built.dll", "built");
    write_host_file(package_folder() + "/parts.xml", R"(<Package Name="S" InstallDir="\P" Setup="setup.dll">
  <File Source="absent.exe" Target="%InstallDir%\absent.exe" Optional="yes"/>
  <File Source="built.dll" Target="%InstallDir%\built.dll" Optional="yes"/>
</Package>)");
    std::string error;
    auto const manifest = installer::read_manifest(package_folder() + "/parts.xml", package_folder(), error);
    ASSERT_TRUE(manifest) << error;
    ASSERT_EQ(manifest->files.size(), 1u);
    EXPECT_EQ(manifest->files[0].target, u"\\P\\built.dll");
}

// The tool as a user runs it, with the project's own manifest over the build folder.
TEST_F(PackageInstallerTest, TheToolInstallsAndRemovesTheProjectsPackage) {
    std::string const tool = SONBRIX_INSTALL_PACKAGE;
    std::string const install = tool + " install " SONBRIX_PACKAGE_MANIFEST " " SONBRIX_BUILD_DIR " >/dev/null";
    ASSERT_EQ(std::system(install.c_str()), 0);
    EXPECT_EQ(value_text(xelo_key, u"InstlDir"), "\\Program Files\\Sonbrix");
    EXPECT_EQ(value_text(item_key, u"DLL"), "\\Windows\\SonbrixTodayPlugin.dll");
    EXPECT_EQ(value_number(item_key, u"Type"), 4);
    EXPECT_EQ(value_number(item_key, u"Enabled"), 1);
    ASSERT_EQ(std::system(install.c_str()), 0);  // an update over itself

    EXPECT_EQ(std::system((tool + " uninstall Sonbrix >/dev/null").c_str()), 0);
    EXPECT_FALSE(key_exists(item_key));
    EXPECT_EQ(value_text(xelo_key, u"InstlDir"), "(none)");
    EXPECT_NE(std::system((tool + " uninstall Sonbrix 2>/dev/null").c_str()), 0);
}

}  // namespace
