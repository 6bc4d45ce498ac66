#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "platform/errors.h"
#include "platform/file_ops.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using testing_support::host_file_exists;
using testing_support::read_host_file;
using testing_support::write_host_file;

struct timespec modification_time(const std::string& host_path) {
    struct stat status {};
    EXPECT_EQ(lstat(host_path.c_str(), &status), 0) << host_path;
    return status.st_mtim;
}

void set_modification_time(const std::string& host_path, time_t seconds) {
    struct timespec const times[2] = {{seconds, 0}, {seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, host_path.c_str(), times, 0), 0);
}

mode_t permissions(const std::string& host_path) {
    struct stat status {};
    EXPECT_EQ(stat(host_path.c_str(), &status), 0) << host_path;
    return status.st_mode & 0777;
}

class FileOps : public DeviceTest {
protected:
    std::string host(const std::string& below_root) const { return device.host_path(below_root); }
};

TEST_F(FileOps, ReadOnlyComesAndGoesWithTheWritePermission) {
    write_host_file(host("t/a.txt"), "x");
    ASSERT_EQ(chmod(host("t/a.txt").c_str(), 0664), 0);
    EXPECT_EQ(GetFileAttributesW(u"\\t\\A.TXT"), FILE_ATTRIBUTE_NORMAL);

    ASSERT_TRUE(SetFileAttributesW(u"\\t\\a.txt", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(permissions(host("t/a.txt")), 0444u);
    EXPECT_EQ(GetFileAttributesW(u"\\t\\a.txt"), FILE_ATTRIBUTE_READONLY);

    EXPECT_FALSE(DeleteFileW(u"\\t\\a.txt"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_TRUE(host_file_exists(host("t/a.txt")));

    ASSERT_TRUE(SetFileAttributesW(u"\\t\\a.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesW(u"\\t\\a.txt"), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(DeleteFileW(u"\\t\\a.txt"));
    EXPECT_FALSE(host_file_exists(host("t/a.txt")));

    EXPECT_EQ(GetFileAttributesW(u"\\t"), FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(GetFileAttributesW(u"\\t\\a.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(SetFileAttributesW(u"\\none\\a.txt", 0));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FileOps, DeleteFileRefusesWhatIsNoFile) {
    std::filesystem::create_directories(host("t/folder"));
    struct Case {
        std::u16string path;
        DWORD error;
    };
    Case const cases[] = {
        {u"\\t\\missing.txt", ERROR_FILE_NOT_FOUND},
        {u"\\missing\\a.txt", ERROR_PATH_NOT_FOUND},
        {u"\\t\\folder", ERROR_ACCESS_DENIED},
        {u"\\t\\*.txt", ERROR_INVALID_NAME},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        EXPECT_FALSE(DeleteFileW(c.path.c_str()));
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_TRUE(std::filesystem::is_directory(host("t/folder")));
}

TEST_F(FileOps, CreateDirectoryMakesOneFolderOnly) {
    std::filesystem::create_directories(host("t"));
    ASSERT_TRUE(CreateDirectoryW(u"\\t\\New", nullptr));
    EXPECT_TRUE(std::filesystem::is_directory(host("t/New")));

    struct Case {
        std::u16string path;
        DWORD error;
    };
    Case const cases[] = {
        {u"\\t\\New", ERROR_ALREADY_EXISTS},
        {u"\\T\\NEW\\", ERROR_ALREADY_EXISTS},
        {u"\\", ERROR_ALREADY_EXISTS},
        {u"\\t\\a\\b", ERROR_PATH_NOT_FOUND},
        {u"\\t\\a?", ERROR_INVALID_NAME},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        EXPECT_FALSE(CreateDirectoryW(c.path.c_str(), nullptr));
        EXPECT_EQ(GetLastError(), c.error);
    }
}

TEST_F(FileOps, RemoveDirectoryTakesOnlyAnEmptyFolderAndNeverTheRoot) {
    write_host_file(host("t/full/a.txt"), "x");
    std::filesystem::create_directories(host("t/empty"));
    std::filesystem::create_directories(host("t/locked"));
    ASSERT_EQ(chmod(host("t/locked").c_str(), 0555), 0);
    struct Case {
        std::u16string path;
        DWORD error;
    };
    Case const cases[] = {
        {u"\\t\\full", ERROR_DIR_NOT_EMPTY},
        {u"\\t\\full\\a.txt", ERROR_DIRECTORY},
        {u"\\t\\missing", ERROR_FILE_NOT_FOUND},
        {u"\\t\\locked", ERROR_ACCESS_DENIED},
        {u"\\", ERROR_ACCESS_DENIED},
        {u"", ERROR_ACCESS_DENIED},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(std::string(c.path.begin(), c.path.end()));
        EXPECT_FALSE(RemoveDirectoryW(c.path.c_str()));
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_TRUE(host_file_exists(host("t/full/a.txt")));
    EXPECT_TRUE(RemoveDirectoryW(u"\\T\\Empty\\"));
    EXPECT_FALSE(host_file_exists(host("t/empty")));
}

TEST_F(FileOps, MoveRenamesFilesAndWholeFolders) {
    write_host_file(host("t/a.txt"), "a");
    write_host_file(host("t/folder/inner/b.txt"), "b");
    std::filesystem::create_directories(host("u"));

    ASSERT_TRUE(MoveFileW(u"\\t\\a.txt", u"\\u\\renamed.txt"));
    EXPECT_EQ(read_host_file(host("u/renamed.txt")), "a");
    EXPECT_FALSE(host_file_exists(host("t/a.txt")));

    ASSERT_TRUE(MoveFileW(u"\\t\\folder", u"\\u\\moved"));
    EXPECT_EQ(read_host_file(host("u/moved/inner/b.txt")), "b");
    EXPECT_FALSE(host_file_exists(host("t/folder")));
}

TEST_F(FileOps, MoveNeverReplacesAnExistingEntry) {
    write_host_file(host("t/a.txt"), "a");
    write_host_file(host("t/b.txt"), "b");
    std::filesystem::create_directories(host("t/folder"));
    for (std::u16string const target : {u"\\t\\b.txt", u"\\t\\B.TXT", u"\\t\\folder"}) {
        SCOPED_TRACE(std::string(target.begin(), target.end()));
        EXPECT_FALSE(MoveFileW(u"\\t\\a.txt", target.c_str()));
        EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    }
    EXPECT_FALSE(MoveFileW(u"\\t\\folder", u"\\t\\b.txt"));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(read_host_file(host("t/a.txt")), "a");
    EXPECT_EQ(read_host_file(host("t/b.txt")), "b");
}

TEST_F(FileOps, MoveWithReplaceTakesThePlaceOfAnExistingFileOnly) {
    write_host_file(host("t/new.wav"), "new");
    write_host_file(host("t/old.wav"), "old");
    ASSERT_TRUE(MoveFileExW(u"\\t\\new.wav", u"\\T\\OLD.WAV", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(read_host_file(host("t/old.wav")), "new");
    EXPECT_FALSE(host_file_exists(host("t/new.wav")));

    // A missing target is an ordinary move; without the flag nothing is replaced.
    ASSERT_TRUE(MoveFileExW(u"\\t\\old.wav", u"\\t\\moved.wav", MOVEFILE_REPLACE_EXISTING));
    write_host_file(host("t/other.wav"), "other");
    EXPECT_FALSE(MoveFileExW(u"\\t\\other.wav", u"\\t\\moved.wav", 0));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);

    // Folders are neither replaced nor replacing.
    std::filesystem::create_directories(host("t/folder"));
    EXPECT_FALSE(MoveFileExW(u"\\t\\other.wav", u"\\t\\folder", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(MoveFileExW(u"\\t\\folder", u"\\t\\other.wav", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(read_host_file(host("t/moved.wav")), "new");
    EXPECT_EQ(read_host_file(host("t/other.wav")), "other");
}

TEST_F(FileOps, MoveRenamesToAnotherCaseOfTheSameName) {
    write_host_file(host("t/song.mp3"), "s");
    ASSERT_TRUE(MoveFileW(u"\\t\\song.mp3", u"\\T\\Song.MP3"));
    EXPECT_TRUE(host_file_exists(host("t/Song.MP3")));
    EXPECT_FALSE(host_file_exists(host("t/song.mp3")));
    EXPECT_TRUE(MoveFileW(u"\\t\\Song.MP3", u"\\t\\Song.MP3"));
    EXPECT_EQ(read_host_file(host("t/Song.MP3")), "s");
}

TEST_F(FileOps, MoveFailures) {
    write_host_file(host("t/a.txt"), "a");
    struct Case {
        std::u16string from;
        std::u16string to;
        DWORD error;
    };
    Case const cases[] = {
        {u"\\t\\missing", u"\\t\\b", ERROR_FILE_NOT_FOUND},
        {u"\\t\\a.txt", u"\\none\\b", ERROR_PATH_NOT_FOUND},
        {u"\\t\\a.txt", u"\\t\\b*", ERROR_INVALID_NAME},
        {u"\\", u"\\t\\root", ERROR_ACCESS_DENIED},
        {u"\\t", u"\\t\\inside", ERROR_INVALID_PARAMETER},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(std::string(c.to.begin(), c.to.end()));
        EXPECT_FALSE(MoveFileW(c.from.c_str(), c.to.c_str()));
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(read_host_file(host("t/a.txt")), "a");
}

// A folder of the device that lies on another host file system than the device itself: a
// small tmpfs mounted there (a link would lead out of the device, which is refused). Tests
// that need it skip where the host does not let them mount.
class OtherFileSystem {
public:
    explicit OtherFileSystem(const std::string& folder) : folder_(folder) {
        std::filesystem::create_directories(folder_);
        if (mount("tmpfs", folder_.c_str(), "tmpfs", 0, "size=4m") != 0) return;
        mounted_ = true;
        struct stat inside {};
        struct stat outside {};
        stat(folder_.c_str(), &inside);
        stat(std::filesystem::path(folder_).parent_path().c_str(), &outside);
        usable_ = inside.st_dev != outside.st_dev;
    }
    ~OtherFileSystem() {
        if (mounted_) umount2(folder_.c_str(), MNT_DETACH);
    }
    OtherFileSystem(const OtherFileSystem&) = delete;
    OtherFileSystem& operator=(const OtherFileSystem&) = delete;

    bool usable() const { return usable_; }
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
    bool mounted_ = false;
    bool usable_ = false;
};

TEST_F(FileOps, MoveWorksAcrossHostFileSystems) {
    write_host_file(host("t/a.txt"), "a");
    write_host_file(host("t/folder/inner/b.txt"), "b");
    set_modification_time(host("t/a.txt"), 1'000'000'000);
    ASSERT_EQ(chmod(host("t/folder/inner/b.txt").c_str(), 0444), 0);
    OtherFileSystem const other(host("other"));
    if (!other.usable()) GTEST_SKIP() << "no second host file system";

    ASSERT_TRUE(MoveFileW(u"\\t\\a.txt", u"\\other\\a.txt"));
    EXPECT_EQ(read_host_file(other.folder() + "/a.txt"), "a");
    EXPECT_EQ(modification_time(other.folder() + "/a.txt").tv_sec, 1'000'000'000);
    EXPECT_FALSE(host_file_exists(host("t/a.txt")));

    ASSERT_TRUE(MoveFileW(u"\\t\\folder", u"\\other\\folder"));
    EXPECT_EQ(read_host_file(other.folder() + "/folder/inner/b.txt"), "b");
    EXPECT_EQ(permissions(other.folder() + "/folder/inner/b.txt"), 0444u);
    EXPECT_FALSE(host_file_exists(host("t/folder")));

    write_host_file(host("t/c.txt"), "new");
    write_host_file(other.folder() + "/c.txt", "old");
    EXPECT_FALSE(MoveFileW(u"\\t\\c.txt", u"\\other\\c.txt"));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(read_host_file(other.folder() + "/c.txt"), "old");
    EXPECT_EQ(read_host_file(host("t/c.txt")), "new");
}

TEST_F(FileOps, CopyKeepsContentReadOnlyAndLastWriteTime) {
    write_host_file(host("t/a.txt"), "content");
    set_modification_time(host("t/a.txt"), 1'100'000'000);
    ASSERT_EQ(chmod(host("t/a.txt").c_str(), 0444), 0);
    ASSERT_TRUE(CopyFileW(u"\\t\\a.txt", u"\\t\\copy.txt", TRUE));
    EXPECT_EQ(read_host_file(host("t/copy.txt")), "content");
    EXPECT_EQ(GetFileAttributesW(u"\\t\\copy.txt"), FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(modification_time(host("t/copy.txt")).tv_sec, 1'100'000'000);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(host("t")), {}), 2);
}

TEST_F(FileOps, CopyOntoAnExistingTarget) {
    write_host_file(host("t/a.txt"), "new");
    write_host_file(host("t/b.txt"), "old");
    write_host_file(host("t/locked.txt"), "locked");
    ASSERT_EQ(chmod(host("t/locked.txt").c_str(), 0444), 0);
    std::filesystem::create_directories(host("t/folder"));
    struct Case {
        std::u16string target;
        BOOL fail_if_exists;
        DWORD error;
    };
    Case const cases[] = {
        {u"\\t\\B.txt", TRUE, ERROR_FILE_EXISTS},
        {u"\\t\\A.TXT", FALSE, ERROR_SHARING_VIOLATION},
        {u"\\t\\locked.txt", FALSE, ERROR_ACCESS_DENIED},
        {u"\\t\\folder", FALSE, ERROR_ACCESS_DENIED},
        {u"\\none\\b.txt", FALSE, ERROR_PATH_NOT_FOUND},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(std::string(c.target.begin(), c.target.end()));
        EXPECT_FALSE(CopyFileW(u"\\t\\a.txt", c.target.c_str(), c.fail_if_exists));
        EXPECT_EQ(GetLastError(), c.error);
    }
    EXPECT_EQ(read_host_file(host("t/a.txt")), "new");
    EXPECT_EQ(read_host_file(host("t/b.txt")), "old");
    EXPECT_EQ(read_host_file(host("t/locked.txt")), "locked");

    ASSERT_TRUE(CopyFileW(u"\\t\\a.txt", u"\\t\\b.txt", FALSE));
    EXPECT_EQ(read_host_file(host("t/b.txt")), "new");
    EXPECT_FALSE(CopyFileW(u"\\t\\folder", u"\\t\\c", FALSE));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(CopyFileW(u"\\t\\missing", u"\\t\\c", FALSE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FileOps, FreeSpaceOfTheDeviceVolume) {
    ULARGE_INTEGER free_to_caller{};
    ULARGE_INTEGER total{};
    ULARGE_INTEGER total_free{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\My Documents", &free_to_caller, &total, &total_free));
    EXPECT_GT(total.QuadPart, 0u);
    EXPECT_LE(free_to_caller.QuadPart, total_free.QuadPart);
    EXPECT_LE(total_free.QuadPart, total.QuadPart);
    EXPECT_TRUE(GetDiskFreeSpaceExW(nullptr, &free_to_caller, nullptr, nullptr));
    EXPECT_FALSE(GetDiskFreeSpaceExW(u"\\none\\x", &free_to_caller, nullptr, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

}  // namespace
