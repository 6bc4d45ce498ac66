// Storage cards: the folders of the root that the device folder's "storage-cards" list
// names, found by the card search and marked in directory searches and attributes.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/file_attributes.h"
#include "platform/file_ops.h"
#include "platform/kernel.h"
#include "platform/storage_cards.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::write_host_file;

constexpr DWORD card = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY;

class StorageCardTest : public testing_support::DeviceTest {
protected:
    void make_folder(const std::string& below_root) { std::filesystem::create_directories(device.host_path(below_root)); }
    void list_cards(const std::string& list) { write_host_file(device.folder() + "/storage-cards", list); }

    std::vector<std::u16string> cards() {
        std::vector<std::u16string> names;
        WIN32_FIND_DATAW data;
        HANDLE const find = FindFirstFlashCard(&data);
        if (find == INVALID_HANDLE_VALUE) {
            EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
            return names;
        }
        do {
            EXPECT_EQ(data.dwFileAttributes & card, card);
            names.push_back(data.cFileName);
        } while (FindNextFlashCard(find, &data));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
        EXPECT_TRUE(FindClose(find));
        return names;
    }

    // The attributes that a search of the folder reports, by name.
    std::map<std::u16string, DWORD> searched(const std::u16string& pattern) {
        std::map<std::u16string, DWORD> found;
        WIN32_FIND_DATAW data;
        HANDLE const find = FindFirstFileW(pattern.c_str(), &data);
        if (find == INVALID_HANDLE_VALUE) return found;
        do found[data.cFileName] = data.dwFileAttributes;
        while (FindNextFileW(find, &data));
        FindClose(find);
        return found;
    }
};

TEST_F(StorageCardTest, WithoutAListTheDeviceHasNoCard) {
    make_folder("Storage Card");
    EXPECT_TRUE(cards().empty());
    EXPECT_EQ(GetFileAttributesW(u"\\Storage Card"), FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(StorageCardTest, TheListedFoldersOfTheRootThatArePresentAreCards) {
    make_folder("Storage Card");
    make_folder("SD card");
    make_folder("Music/Inner");
    write_host_file(device.host_path("file card"), "x");
    list_cards("# cards of this device\n"
               "Storage Card\r\n"
               "\n"
               "  sd CARD  \n"
               "Removed Card\n"  // listed, but taken out: no folder
               "file card\n"     // a file is no card
               "Music/Inner\n"   // not a folder of the root
               "Inner\n");
    EXPECT_EQ(cards(), (std::vector<std::u16string>{u"SD card", u"Storage Card"}));

    EXPECT_EQ(GetFileAttributesW(u"\\storage card"), card);
    EXPECT_EQ(GetFileAttributesW(u"\\Music"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesW(u"\\Music\\Inner"), FILE_ATTRIBUTE_DIRECTORY) << "only the root holds cards";

    auto const root = searched(u"\\*");
    EXPECT_EQ(root.at(u"Storage Card"), card);
    EXPECT_EQ(root.at(u"SD card"), card);
    EXPECT_EQ(root.at(u"Music"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(root.at(u"file card") & FILE_ATTRIBUTE_TEMPORARY, 0u);
    EXPECT_EQ(searched(u"\\Music\\*").at(u"Inner"), FILE_ATTRIBUTE_DIRECTORY);
}

TEST_F(StorageCardTest, ACardTakenOutAndPutBackComesAndGoes) {
    list_cards("Storage Card\n");
    EXPECT_TRUE(cards().empty());
    make_folder("Storage Card");
    EXPECT_EQ(cards(), (std::vector<std::u16string>{u"Storage Card"}));
    std::filesystem::remove(device.host_path("Storage Card"));
    EXPECT_TRUE(cards().empty());
}

}  // namespace
