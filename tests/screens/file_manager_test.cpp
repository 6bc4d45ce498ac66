// The file manager on a device folder: questions answered from a script, errors and progress
// logged; what the folder holds afterwards.
#include "screens/file_manager.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "foundation/text_convert.h"
#include "tests/support/test_device.h"

namespace {

using screens::CONFIRM_CANCEL;
using screens::CONFIRM_NO;
using screens::CONFIRM_NO_TO_ALL;
using screens::CONFIRM_YES;
using screens::CONFIRM_YES_TO_ALL;
using testing_support::read_host_file;
using testing_support::write_host_file;

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

// Answers questions from a queue (cancel when it runs dry) and logs every hook.
class ScriptedManager : public screens::FileManager {
public:
    int on_delete_read_only(const std::u16string& path) override { return ask("delete-read-only " + narrow(path)); }
    int on_overwrite(const std::u16string&, const std::u16string& destination) override {
        return ask("overwrite " + narrow(destination));
    }
    int on_overwrite_read_only(const std::u16string&, const std::u16string& destination) override {
        return ask("overwrite-read-only " + narrow(destination));
    }
    int on_move_read_only(const std::u16string& source, const std::u16string&) override {
        return ask("move-read-only " + narrow(source));
    }
    void on_recursive_operation_error(const std::u16string& source, const std::u16string& target) override {
        log.push_back("recursive " + narrow(source) + " -> " + narrow(target));
    }
    void on_self_operation_error(const std::u16string& source, const std::u16string& target) override {
        log.push_back("self " + narrow(source) + " -> " + narrow(target));
    }
    bool on_delete_error(const std::u16string& path) override {
        log.push_back("delete-error " + narrow(path));
        return false;
    }
    bool on_copy_error(const std::u16string& source, const std::u16string&) override {
        log.push_back("copy-error " + narrow(source));
        return false;
    }
    bool on_move_error(const std::u16string& source, const std::u16string&) override {
        log.push_back("move-error " + narrow(source));
        return false;
    }
    bool on_progress(const std::u16string& source, const std::u16string&, double file_fraction,
                     double total_fraction) override {
        fractions.push_back(total_fraction);
        if (during_copy && file_fraction > 0.0 && file_fraction < 1.0) return during_copy(source);
        return true;
    }

    std::deque<int> answers;
    std::vector<std::string> log;
    std::vector<double> fractions;
    std::function<bool(const std::u16string&)> during_copy;

private:
    int ask(const std::string& question) {
        log.push_back(question);
        if (answers.empty()) return CONFIRM_CANCEL;
        int const reply = answers.front();
        answers.pop_front();
        return reply;
    }
};

class FileManagerTest : public testing_support::DeviceTest {
protected:
    void put(const std::string& path, const std::string& bytes = "data") { write_host_file(device.host_path(path), bytes); }
    bool has(const std::string& path) const { return std::filesystem::exists(device.host_path(path)); }
    std::string content(const std::string& path) const { return read_host_file(device.host_path(path)); }
    void make_read_only(const std::string& path) { chmod(device.host_path(path).c_str(), 0444); }
    void make_folder(const std::string& path) { std::filesystem::create_directories(device.host_path(path)); }

    ScriptedManager manager;
};

TEST_F(FileManagerTest, CopiesAndMovesFilesAndFoldersIntoAFolder) {
    put("src/a.wav", "aaaa");
    put("src/tree/b.mp3", "bb");
    put("src/tree/deeper/c.ogg", "c");
    make_folder("dst");

    EXPECT_TRUE(manager.copy_items({u"\\src\\a.wav", u"\\src\\tree"}, u"\\dst"));
    EXPECT_EQ(content("dst/a.wav"), "aaaa");
    EXPECT_EQ(content("dst/tree/b.mp3"), "bb");
    EXPECT_EQ(content("dst/tree/deeper/c.ogg"), "c");
    EXPECT_TRUE(has("src/tree/deeper/c.ogg")) << "a copy leaves the source";
    EXPECT_EQ(manager.get_total(), 4u + 2u + 1u + 2u * screens::FileManager::folder_units);
    EXPECT_EQ(manager.fractions.back(), 1.0) << "only the end of the operation reaches 1";

    make_folder("moved");
    EXPECT_TRUE(manager.move_items({u"\\src\\a.wav", u"\\src\\tree"}, u"\\moved"));
    EXPECT_EQ(content("moved/tree/deeper/c.ogg"), "c");
    EXPECT_EQ(content("moved/a.wav"), "aaaa");
    EXPECT_FALSE(has("src/a.wav"));
    EXPECT_FALSE(has("src/tree")) << "an emptied source folder goes";
    EXPECT_TRUE(manager.log.empty());
}

TEST_F(FileManagerTest, RefusesToCopyAnItemOntoItselfOrAFolderIntoItself) {
    put("music/a.wav");
    put("music/sub/b.wav");
    put("musicbox/c.wav");

    EXPECT_FALSE(manager.copy_items({u"\\music\\a.wav"}, u"\\music"));
    EXPECT_FALSE(manager.copy_items({u"\\music"}, u"\\music\\sub"));
    EXPECT_TRUE(manager.copy_items({u"\\musicbox"}, u"\\music\\sub")) << "a name that merely begins alike is no parent";
    EXPECT_EQ(manager.log, (std::vector<std::string>{"self \\music\\a.wav -> \\music\\a.wav",
                                                     "recursive \\music -> \\music\\sub\\music"}));
    EXPECT_FALSE(has("music/sub/music"));
}

TEST_F(FileManagerTest, OverwriteQuestionsFollowTheAnswers) {
    struct Case {
        const char* name;
        bool read_only;
        std::deque<int> answers;
        bool result;
        const char* content_after;
        std::vector<std::string> asked;
    };
    std::vector<Case> const cases{
        {"yes", false, {CONFIRM_YES}, true, "new", {"overwrite \\dst\\a.wav"}},
        {"no", false, {CONFIRM_NO}, true, "old", {"overwrite \\dst\\a.wav"}},
        {"cancel", false, {CONFIRM_CANCEL}, false, "old", {"overwrite \\dst\\a.wav"}},
        {"read-only no", true, {CONFIRM_YES, CONFIRM_NO}, true, "old",
         {"overwrite \\dst\\a.wav", "overwrite-read-only \\dst\\a.wav"}},
        {"read-only yes", true, {CONFIRM_YES, CONFIRM_YES}, true, "new",
         {"overwrite \\dst\\a.wav", "overwrite-read-only \\dst\\a.wav"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove_all(device.host_path("dst"));
        put("src/a.wav", "new");
        put("dst/a.wav", "old");
        if (c.read_only) make_read_only("dst/a.wav");
        ScriptedManager fresh;
        fresh.answers = c.answers;
        EXPECT_EQ(fresh.copy_items({u"\\src\\a.wav"}, u"\\dst"), c.result);
        EXPECT_EQ(content("dst/a.wav"), c.content_after);
        EXPECT_EQ(fresh.log, c.asked);
        chmod(device.host_path("dst/a.wav").c_str(), 0644);
    }
}

TEST_F(FileManagerTest, YesToAllStopsOverwriteQuestionsButNotReadOnlyOnes) {
    for (auto name : {"a", "b", "c"}) {
        put(std::string("src/") + name + ".wav", "new");
        put(std::string("dst/") + name + ".wav", "old");
    }
    make_read_only("dst/b.wav");
    manager.answers = {CONFIRM_YES_TO_ALL, CONFIRM_NO};
    EXPECT_TRUE(manager.copy_items({u"\\src\\a.wav", u"\\src\\b.wav", u"\\src\\c.wav"}, u"\\dst"));
    EXPECT_EQ(manager.log, (std::vector<std::string>{"overwrite \\dst\\a.wav", "overwrite-read-only \\dst\\b.wav"}));
    EXPECT_EQ(content("dst/a.wav"), "new");
    EXPECT_EQ(content("dst/b.wav"), "old");
    EXPECT_EQ(content("dst/c.wav"), "new");
}

TEST_F(FileManagerTest, DeletingAFolderWithASkippedReadOnlyFileKeepsBothAndGoesOn) {
    put("keep/locked.wav");
    put("keep/free.wav");
    put("other.wav");
    make_read_only("keep/locked.wav");
    manager.answers = {CONFIRM_NO};
    EXPECT_TRUE(manager.delete_items({u"\\keep", u"\\other.wav"}));
    EXPECT_TRUE(has("keep/locked.wav"));
    EXPECT_FALSE(has("keep/free.wav"));
    EXPECT_FALSE(has("other.wav"));

    manager.answers = {CONFIRM_YES};
    EXPECT_TRUE(manager.delete_items({u"\\keep"}));
    EXPECT_FALSE(has("keep"));
}

TEST_F(FileManagerTest, DeleteReadOnlyAnswersToAllAreRememberedAndCancelStops) {
    for (auto name : {"a", "b"}) {
        put(std::string("ro/") + name + ".wav");
        make_read_only(std::string("ro/") + name + ".wav");
    }
    manager.answers = {CONFIRM_NO_TO_ALL};
    EXPECT_TRUE(manager.delete_items({u"\\ro\\a.wav", u"\\ro\\b.wav"}));
    EXPECT_EQ(manager.log.size(), 1u) << "no to all asks once";
    EXPECT_TRUE(has("ro/a.wav") && has("ro/b.wav"));

    ScriptedManager cancelling;
    cancelling.answers = {CONFIRM_CANCEL};
    EXPECT_FALSE(cancelling.delete_items({u"\\ro\\a.wav", u"\\ro\\b.wav"}));
    EXPECT_EQ(cancelling.log.size(), 1u);
}

TEST_F(FileManagerTest, CancellingDuringACopyRemovesThePartlyWrittenFile) {
    put("big.wav", std::string(100000, 'x'));
    make_folder("dst");
    manager.during_copy = [](const std::u16string&) { return false; };
    EXPECT_FALSE(manager.copy_items({u"\\big.wav"}, u"\\dst"));
    EXPECT_FALSE(has("dst/big.wav"));
    EXPECT_TRUE(manager.log.empty()) << "a cancel is no error";
    EXPECT_EQ(content("big.wav").size(), 100000u);
}

TEST_F(FileManagerTest, ASourceThatShrinksUnderTheCopyIsAnError) {
    put("big.wav", std::string(100000, 'x'));
    make_folder("dst");
    std::string const source = device.host_path("big.wav");
    manager.during_copy = [&](const std::u16string&) {
        std::filesystem::resize_file(source, 40000);
        return true;
    };
    EXPECT_FALSE(manager.copy_items({u"\\big.wav"}, u"\\dst"));
    EXPECT_EQ(manager.log, (std::vector<std::string>{"copy-error \\big.wav"}));
    EXPECT_FALSE(has("dst/big.wav")) << "no short copy is left behind";
}

TEST_F(FileManagerTest, ACopyThatHitsTheSizeLimitReportsTheErrorAndKeepsTheSource) {
    put("big.wav", std::string(200000, 'x'));
    put("small.wav", "s");
    make_folder("dst");
    struct rlimit old_limit;
    getrlimit(RLIMIT_FSIZE, &old_limit);
    auto const old_handler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = old_limit;
    limit.rlim_cur = 65536;
    setrlimit(RLIMIT_FSIZE, &limit);
    bool const result = manager.copy_items({u"\\small.wav", u"\\big.wav"}, u"\\dst");
    setrlimit(RLIMIT_FSIZE, &old_limit);
    std::signal(SIGXFSZ, old_handler);

    EXPECT_FALSE(result);
    EXPECT_EQ(manager.log, (std::vector<std::string>{"copy-error \\big.wav"}));
    EXPECT_EQ(content("big.wav").size(), 200000u);
    EXPECT_EQ(content("dst/small.wav"), "s") << "what was copied before stays";
    EXPECT_FALSE(has("dst/big.wav"));
}

TEST_F(FileManagerTest, DeletingAFolderRemovesLinksButNeverWhatTheyPointTo) {
    put("outside/precious.wav", "keep");
    put("doomed/own.wav");
    std::filesystem::create_directory_symlink(device.host_path("outside"), device.host_path("doomed/folder-link"));
    std::filesystem::create_symlink(device.host_path("outside/precious.wav"), device.host_path("doomed/file-link.wav"));
    std::filesystem::create_directory_symlink(device.host_path("outside"), device.host_path("top-link"));

    EXPECT_TRUE(manager.delete_items({u"\\doomed", u"\\top-link"}));
    EXPECT_EQ(content("outside/precious.wav"), "keep");
    EXPECT_FALSE(has("doomed/own.wav"));
    EXPECT_FALSE(std::filesystem::is_symlink(device.host_path("doomed/file-link.wav")));
    EXPECT_FALSE(std::filesystem::is_symlink(device.host_path("top-link"))) << "the link itself goes";
}

TEST_F(FileManagerTest, RenameAsksBeforeReplacingAnExistingItem) {
    put("a.wav", "a");
    put("b.wav", "b");
    manager.answers = {CONFIRM_NO};
    EXPECT_TRUE(manager.rename_item(u"\\a.wav", u"b.wav")) << "a declined overwrite is no failure";
    EXPECT_FALSE(manager.was_renamed());
    EXPECT_EQ(content("b.wav"), "b");

    manager.answers = {CONFIRM_YES};
    EXPECT_TRUE(manager.rename_item(u"\\a.wav", u"b.wav"));
    EXPECT_TRUE(manager.was_renamed());
    EXPECT_EQ(content("b.wav"), "a");
    EXPECT_FALSE(has("a.wav"));

    manager.answers = {CONFIRM_CANCEL};
    put("c.wav", "c");
    EXPECT_FALSE(manager.rename_item(u"\\c.wav", u"b.wav"));
    EXPECT_EQ(manager.log.size(), 3u);
}

TEST_F(FileManagerTest, CountsSizesBeyondFourGigabytes) {
    put("huge.wav");
    std::filesystem::resize_file(device.host_path("huge.wav"), (std::uint64_t{5} << 30) + 7);  // sparse
    manager.answers = {CONFIRM_NO};
    make_folder("dst");
    put("dst/huge.wav");
    EXPECT_TRUE(manager.copy_items({u"\\huge.wav"}, u"\\dst"));
    EXPECT_EQ(manager.get_total(), (std::uint64_t{5} << 30) + 7);
}

}  // namespace
