#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/find.h"
#include "platform/kernel.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using testing_support::write_host_file;

// The names a whole search reports, and the last error after it.
struct Search {
    std::vector<std::u16string> names;
    DWORD error = ERROR_SUCCESS;
};

Search search(const std::u16string& pattern) {
    Search result;
    WIN32_FIND_DATAW data;
    HANDLE const find = FindFirstFileW(pattern.c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) {
        result.error = GetLastError();
        return result;
    }
    do result.names.push_back(data.cFileName);
    while (FindNextFileW(find, &data));
    result.error = GetLastError();
    EXPECT_TRUE(FindClose(find));
    return result;
}

WIN32_FIND_DATAW first_entry(const std::u16string& path) {
    WIN32_FIND_DATAW data{};
    HANDLE const find = FindFirstFileW(path.c_str(), &data);
    EXPECT_NE(find, INVALID_HANDLE_VALUE);
    if (find != INVALID_HANDLE_VALUE) FindClose(find);
    return data;
}

class Find : public DeviceTest {
protected:
    void SetUp() override {
        for (const char* name : {"a.txt", "B.TXT", "readme", "x.y.z", "abc.wav"}) {
            write_host_file(device.host_path(std::string("t/") + name), "12345");
        }
        std::filesystem::create_directory(device.host_path("t/Sub"));
    }
};

TEST_F(Find, MatchesWildcardsIgnoringCaseInNameOrder) {
    struct Case {
        std::u16string pattern;
        std::vector<std::u16string> names;
    };
    Case const cases[] = {
        {u"*", {u"a.txt", u"abc.wav", u"B.TXT", u"readme", u"Sub", u"x.y.z"}},
        {u"*.*", {u"a.txt", u"abc.wav", u"B.TXT", u"readme", u"Sub", u"x.y.z"}},
        {u"*.TXT", {u"a.txt", u"B.TXT"}},
        {u"?.txt", {u"a.txt", u"B.TXT"}},
        {u"a*", {u"a.txt", u"abc.wav"}},
        {u"*.z", {u"x.y.z"}},
        {u"readme.*", {u"readme"}},
        {u"b.txt", {u"B.TXT"}},
        {u"SUB", {u"Sub"}},
        {u"*b*.*", {u"abc.wav", u"B.TXT", u"Sub"}},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(std::string(c.pattern.begin(), c.pattern.end()));
        Search const found = search(u"\\t\\" + c.pattern);
        EXPECT_EQ(found.names, c.names);
        EXPECT_EQ(found.error, ERROR_NO_MORE_FILES);
    }
}

TEST_F(Find, ReportsNoDotEntriesNoLinksToFoldersAndNoOtherHostEntries) {
    ASSERT_EQ(symlink("..", device.host_path("t/loop").c_str()), 0);
    ASSERT_EQ(symlink("a.txt", device.host_path("t/link.txt").c_str()), 0);
    ASSERT_EQ(symlink("missing", device.host_path("t/dangling").c_str()), 0);
    ASSERT_EQ(mkfifo(device.host_path("t/pipe").c_str(), 0600), 0);
    write_host_file(device.host_path("t/Sub\\a.txt"), "names another entry on the device");
    write_host_file(device.host_path("t/what?"), "holds a wildcard");
    write_host_file(device.host_path("t/bad\xff"), "not UTF-8");
    EXPECT_EQ(search(u"\\t\\*").names,
              (std::vector<std::u16string>{u"a.txt", u"abc.wav", u"B.TXT", u"link.txt", u"readme", u"Sub", u"x.y.z"}));
    EXPECT_EQ(search(u"\\t\\.*").error, ERROR_FILE_NOT_FOUND);
}

TEST_F(Find, FillsAttributesSizeAndTimes) {
    // 2006-11-05 07:30:00 UTC, 0.5 s.
    struct timespec const times[2] = {{1162711800, 0}, {1162711800, 500'000'000}};
    ASSERT_EQ(utimensat(AT_FDCWD, device.host_path("t/a.txt").c_str(), times, 0), 0);
    WIN32_FIND_DATAW const file = first_entry(u"\\t\\a.txt");
    EXPECT_EQ(file.dwFileAttributes, FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(file.nFileSizeLow, 5u);
    EXPECT_EQ(file.nFileSizeHigh, 0u);
    std::uint64_t const expected = 128'071'854'005'000'000ull;
    EXPECT_EQ(file.ftLastWriteTime.dwLowDateTime, static_cast<DWORD>(expected));
    EXPECT_EQ(file.ftLastWriteTime.dwHighDateTime, static_cast<DWORD>(expected >> 32));
    EXPECT_NE(file.ftCreationTime.dwHighDateTime, 0u);

    ASSERT_EQ(chmod(device.host_path("t/B.TXT").c_str(), 0444), 0);
    EXPECT_EQ(first_entry(u"\\t\\b.txt").dwFileAttributes, FILE_ATTRIBUTE_READONLY);

    WIN32_FIND_DATAW const folder = first_entry(u"\\t\\sub");
    EXPECT_EQ(folder.dwFileAttributes, FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(folder.nFileSizeLow, 0u);
}

TEST_F(Find, FailuresTellAMissingFolderFromNoMatch) {
    struct Case {
        std::u16string pattern;
        DWORD error;
    };
    Case const cases[] = {
        {u"\\t\\*.mp3", ERROR_FILE_NOT_FOUND},
        {u"\\t\\missing", ERROR_FILE_NOT_FOUND},
        {u"\\t\\", ERROR_FILE_NOT_FOUND},
        {u"\\missing\\*", ERROR_PATH_NOT_FOUND},
        {u"\\t\\a.txt\\*", ERROR_PATH_NOT_FOUND},
        {u"\\t*\\a.txt", ERROR_INVALID_NAME},
        {u"\\t\\a|b", ERROR_INVALID_NAME},
        {u"\\..\\*", ERROR_ACCESS_DENIED},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(std::string(c.pattern.begin(), c.pattern.end()));
        SetLastError(ERROR_SUCCESS);
        EXPECT_EQ(search(c.pattern).error, c.error);
    }
}

TEST_F(Find, AnEntryRemovedDuringTheSearchIsPassedOver) {
    WIN32_FIND_DATAW data;
    HANDLE const find = FindFirstFileW(u"\\t\\*", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(data.cFileName), u"a.txt");
    std::filesystem::remove(device.host_path("t/abc.wav"));
    ASSERT_TRUE(FindNextFileW(find, &data));
    EXPECT_EQ(std::u16string(data.cFileName), u"B.TXT");
    EXPECT_TRUE(FindClose(find));
}

TEST_F(Find, OnlySearchHandlesCanBeClosedAsSearches) {
    HANDLE const event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    WIN32_FIND_DATAW data;
    EXPECT_FALSE(FindClose(event));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(FindNextFileW(event, &data));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_TRUE(CloseHandle(event));

    HANDLE const find = FindFirstFileW(u"\\t\\*", &data);
    ASSERT_TRUE(FindClose(find));
    EXPECT_FALSE(FindClose(find));
}

}  // namespace
