#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "foundation/finder.h"
#include "tests/support/test_device.h"

namespace {

using testing_support::DeviceTest;
using testing_support::write_host_file;

// Records the walk as "file <path>" and "folder <path>" lines; answers false for the paths
// it is told to stop at.
class RecordingFinder : public os::Finder {
public:
    explicit RecordingFinder(std::vector<std::u16string> stop_at = {}) : stop_at_(std::move(stop_at)) {}

    bool on_file(const std::u16string& path) override { return record(u"file " + path, path); }
    bool on_folder(const std::u16string& path) override { return record(u"folder " + path, path); }

    std::vector<std::u16string> walk;

private:
    bool record(const std::u16string& line, const std::u16string& path) {
        walk.push_back(line);
        return std::find(stop_at_.begin(), stop_at_.end(), path) == stop_at_.end();
    }

    std::vector<std::u16string> stop_at_;
};

class Finder : public DeviceTest {
protected:
    // Files below the folder "w" of My Documents, or of the root.
    void make_files(std::initializer_list<const char*> paths, const std::string& folder = "My Documents/w/") {
        for (const char* path : paths) write_host_file(device.host_path(folder + path), "x");
    }
};

TEST_F(Finder, ReportsFilesBeforeFoldersAndDescendsRightAfterEachFolder) {
    make_files({"b", "a", "s/c"});
    RecordingFinder finder;
    EXPECT_TRUE(os::find_files(finder, u"%my_documents%\\w", u"*", u"*", true));
    EXPECT_EQ(finder.walk, (std::vector<std::u16string>{
                               u"file %my_documents%\\w\\a",
                               u"file %my_documents%\\w\\b",
                               u"folder %my_documents%\\w\\s",
                               u"file %my_documents%\\w\\s\\c",
                           }));
}

TEST_F(Finder, MasksChooseFilesAndFoldersSeparately) {
    make_files({"a.mp3", "b.wav", "music/c.mp3", "other/d.mp3"});
    RecordingFinder finder;
    os::find_files(finder, u"\\My Documents\\w\\", u"*.mp3", u"m*", true);
    EXPECT_EQ(finder.walk, (std::vector<std::u16string>{
                               u"file \\My Documents\\w\\a.mp3",
                               u"folder \\My Documents\\w\\music",
                               u"file \\My Documents\\w\\music\\c.mp3",
                           }));
}

TEST_F(Finder, WithoutRecursionTheSubfoldersAreOnlyReported) {
    make_files({"a", "s/c"});
    RecordingFinder finder;
    os::find_files(finder, u"\\My Documents\\w", u"*", u"*", false);
    EXPECT_EQ(finder.walk, (std::vector<std::u16string>{u"file \\My Documents\\w\\a", u"folder \\My Documents\\w\\s"}));
}

TEST_F(Finder, AFalseResultEndsOnlyTheWalkOfItsOwnFolder) {
    make_files({"s1/x", "s1/y", "s1/t/z", "s2/w"}, "w/");
    struct Case {
        const char* name;
        std::u16string stop_at;
        std::vector<std::u16string> walk;
    };
    Case const cases[] = {
        {"file in a subfolder",
         u"\\w\\s1\\x",
         {u"folder \\w\\s1", u"file \\w\\s1\\x", u"folder \\w\\s2", u"file \\w\\s2\\w"}},
        {"folder with later siblings", u"\\w\\s1", {u"folder \\w\\s1"}},
        {"folder inside a subfolder",
         u"\\w\\s1\\t",
         {u"folder \\w\\s1", u"file \\w\\s1\\x", u"file \\w\\s1\\y", u"folder \\w\\s1\\t", u"folder \\w\\s2",
          u"file \\w\\s2\\w"}},
    };
    for (auto const& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingFinder finder({c.stop_at});
        EXPECT_TRUE(os::find_files(finder, u"\\w", u"*", u"*", true));
        EXPECT_EQ(finder.walk, c.walk);
    }
}

TEST_F(Finder, AMissingFolderReportsNothing) {
    RecordingFinder finder;
    EXPECT_TRUE(os::find_files(finder, u"\\missing", u"*", u"*", true));
    EXPECT_TRUE(finder.walk.empty());
}

TEST_F(Finder, TheBaseFinderGoesOnEverywhere) {
    os::Finder finder;
    EXPECT_TRUE(finder.on_file(u"\\a"));
    EXPECT_TRUE(finder.on_folder(u"\\s"));
}

}  // namespace
