#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "foundation/file_system.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using testing_support::host_file_exists;
using testing_support::read_host_file;
using testing_support::ScopedEnvironment;
using testing_support::write_host_file;

class FileSystem : public DeviceTest {};

TEST_F(FileSystem, MakeFoldersCreatesTheWholeChain) {
    os::make_folders(u"%my_documents%\\a\\b\\c\\");
    EXPECT_TRUE(std::filesystem::is_directory(device.host_path("My Documents/a/b/c")));

    os::make_folders(u"\\MY DOCUMENTS\\A\\b\\d");
    EXPECT_TRUE(std::filesystem::is_directory(device.host_path("My Documents/a/b/d")));
    EXPECT_FALSE(host_file_exists(device.host_path("MY DOCUMENTS")));
}

TEST_F(FileSystem, MakeFoldersStopsQuietlyAtAFile) {
    write_host_file(device.host_path("My Documents/file"), "x");
    os::make_folders(u"%my_documents%\\file\\inner");
    EXPECT_EQ(read_host_file(device.host_path("My Documents/file")), "x");
}

TEST_F(FileSystem, DiskFreeSpace) {
    EXPECT_GT(os::get_disk_free_space(u"%my_documents%"), 0.0);
    EXPECT_EQ(os::get_disk_free_space(u"\\missing\\folder"), 0.0);
}

TEST_F(FileSystem, ExecuteFileStartsTheProgramWithExpandedPaths) {
    ScopedEnvironment const module("SONBRIX_MODULE", "\\Program Files\\Sonbrix\\Sonbrix.exe");
    std::string const program = device.host_path("Program Files/Sonbrix/helper.exe");
    write_host_file(program, "#!/bin/sh\nprintf '%s' \"$1\" > \"$SONBRIX_DEVICE/fs/out.tmp\"\n"
                             "mv \"$SONBRIX_DEVICE/fs/out.tmp\" \"$SONBRIX_DEVICE/fs/out.txt\"\n");
    ASSERT_EQ(chmod(program.c_str(), 0755), 0);

    ASSERT_TRUE(execute_file(u"%app_path%\\helper.exe", u"%my_documents%/a.wav"));
    std::string const out = device.host_path("out.txt");
    auto const give_up = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (!host_file_exists(out) && std::chrono::steady_clock::now() < give_up) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(read_host_file(out), "\\My Documents\\a.wav");

    EXPECT_FALSE(execute_file(u"%app_path%\\missing.exe", u""));
}

}  // namespace

TEST_F(FileSystem, StorageCardsAreTheMarkedFoldersOfTheRoot) {
    EXPECT_TRUE(os::get_storage_cards().empty());
    std::filesystem::create_directories(device.host_path("Storage Card"));
    std::filesystem::create_directories(device.host_path("Another"));
    write_host_file(device.folder() + "/storage-cards", "Storage Card\nAnother\n");
    EXPECT_EQ(os::get_storage_cards(), (std::vector<std::u16string>{u"\\Another", u"\\Storage Card"}));
    EXPECT_TRUE(os::is_storage_card(u"\\storage card\\"));
    EXPECT_FALSE(os::is_storage_card(u"%my_documents%"));
    EXPECT_FALSE(os::is_storage_card(u"\\Missing"));
}
