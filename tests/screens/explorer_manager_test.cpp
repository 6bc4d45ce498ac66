// The explorer's file manager with the program's skins: bookmark files travel with their
// sound files, questions reach the confirmation box with their texts, errors show in the
// error form (closed by a tap on OK), and Cancel on the progress form stops the operation.
#include "screens/explorer_manager.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>

#include <deque>
#include <string>
#include <vector>

#include "skin/form_impl.h"
#include "tests/screens/screens_fixture.h"

namespace screens_test {
namespace {

using screens::CONFIRM_CANCEL;
using screens::CONFIRM_NO;
using screens::CONFIRM_YES;

std::string narrow(const std::u16string& text) { return std::string(text.begin(), text.end()); }

class ExplorerManagerTest : public ScreensTest {
protected:
    void SetUp() override {
        properties = load_skin(settings_skin);
        main_properties = load_skin(main_skin);
        owner = std::make_unique<skinner::Form>(nullptr, main_properties.get(), u"Main", nullptr);
        screens::set_confirm_asker([this](skinner::Form* form, skinner::Properties*, const std::u16string& name,
                                          const std::u16string& caption, const std::u16string& message) {
            EXPECT_EQ(form, owner.get());
            questions.push_back(narrow(name) + ": " + narrow(caption) + " / " + narrow(message));
            if (answers.empty()) return static_cast<int>(CONFIRM_CANCEL);
            int const answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    void TearDown() override {
        screens::set_confirm_asker(nullptr);
        owner.reset();
    }

    std::unique_ptr<screens::ExplorerManager> manager(const char16_t* confirm_form = u"Confirm5Way") {
        return std::make_unique<screens::ExplorerManager>(owner.get(), properties.get(), confirm_form);
    }

    std::unique_ptr<skinner::Properties> properties;
    std::unique_ptr<skinner::Properties> main_properties;
    std::unique_ptr<skinner::Form> owner;
    std::deque<int> answers;
    std::vector<std::string> questions;
};

TEST_F(ExplorerManagerTest, BookmarkFilesGoWithTheirSoundFiles) {
    put("music/a.wav", "aaaa");
    put("music/a.wav.bm", "marks");
    put("music/b.mp3", "bb");  // no bookmarks: copied alone, without an error
    put("music/sub/c.ogg", "c");
    put("music/sub/c.ogg.bm", "m");
    std::filesystem::create_directories(device.host_path("copy"));
    std::filesystem::create_directories(device.host_path("moved"));

    EXPECT_TRUE(manager()->copy_items({u"\\music\\a.wav", u"\\music\\b.mp3", u"\\music\\sub"}, u"\\copy"));
    EXPECT_EQ(content("copy/a.wav.bm"), "marks");
    EXPECT_EQ(content("copy/b.mp3"), "bb");
    EXPECT_FALSE(has("copy/b.mp3.bm"));
    EXPECT_EQ(content("copy/sub/c.ogg.bm"), "m") << "a folder's bookmark files go with its walk";

    EXPECT_TRUE(manager()->move_items({u"\\copy\\a.wav"}, u"\\moved"));
    EXPECT_EQ(content("moved/a.wav.bm"), "marks");
    EXPECT_FALSE(has("copy/a.wav.bm"));

    auto deleting = manager();
    EXPECT_TRUE(deleting->delete_items({u"\\moved\\a.wav"}));
    EXPECT_FALSE(has("moved/a.wav"));
    EXPECT_FALSE(has("moved/a.wav.bm"));
    EXPECT_EQ(deleting->get_total(), 4u + 5u) << "the bookmark file counts in the total";
    EXPECT_FALSE(deleting->get_progress_form().is_window_visible()) << "the progress form is hidden afterwards";
    EXPECT_TRUE(IsWindowEnabled(owner->get_window())) << "the other forms are enabled again";
    EXPECT_TRUE(questions.empty());
}

TEST_F(ExplorerManagerTest, RenameMovesTheBookmarksOnlyWhenTheFileWasRenamed) {
    put("a.wav", "a");
    put("a.wav.bm", "marks of a");
    put("b.wav", "b");

    answers = {CONFIRM_NO};
    EXPECT_TRUE(manager(u"ConfirmYesNo")->rename_item(u"\\a.wav", u"b.wav"));
    EXPECT_EQ(content("a.wav.bm"), "marks of a") << "declining to overwrite leaves the bookmarks with a.wav";
    EXPECT_FALSE(has("b.wav.bm"));
    EXPECT_EQ(questions, (std::vector<std::string>{"ConfirmYesNo: Replace file / b.wav already exists. Replace it?"}));

    EXPECT_TRUE(manager(u"ConfirmYesNo")->rename_item(u"\\a.wav", u"c.wav"));
    EXPECT_EQ(content("c.wav"), "a");
    EXPECT_EQ(content("c.wav.bm"), "marks of a");
    EXPECT_FALSE(has("a.wav.bm"));
}

TEST_F(ExplorerManagerTest, QuestionsCarryTheirTextsAndTheConfirmFormName) {
    put("ro.wav");
    chmod(device.host_path("ro.wav").c_str(), 0444);
    answers = {CONFIRM_NO};
    EXPECT_TRUE(manager()->delete_items({u"\\ro.wav"}));
    ASSERT_EQ(questions.size(), 1u);
    EXPECT_EQ(questions[0], "Confirm5Way: Read-only file / \\ro.wav is read-only. Delete it anyway?");
    EXPECT_TRUE(has("ro.wav"));
}

TEST_F(ExplorerManagerTest, AnErrorShowsInTheErrorFormUntilOkIsTapped) {
    put("music/a.wav");
    auto copying = manager();
    bool result = true;
    as_user(
        [&] {
            auto const form = wait_for_window(224, 140);
            tap(form.left + 180, form.top + 122);  // OK
        },
        [&] {
            post_action([&] {
                result = copying->copy_items({u"\\music\\a.wav"}, u"\\music");
            });
            pump_until([&] { return !result; });
        });
    EXPECT_FALSE(result);
    EXPECT_TRUE(has("music/a.wav"));
}

TEST_F(ExplorerManagerTest, TheErrorFormShowsItsTexts) {
    screens::ErrorForm form(owner.get(), properties.get());
    screens::set_form_texts(form, u"Copy failed", u"a.wav could not be copied.");
    form.set_visible(true);
    expect_looks_like("error_form");
}

TEST_F(ExplorerManagerTest, CancelOnTheProgressFormStopsAtTheNextProgressCall) {
    put("big.wav", std::string(200000, 'x'));
    put("second.wav", "2");
    std::filesystem::create_directories(device.host_path("dst"));

    // Presses Cancel once the first file is under way, as a tap would, and looks at the form.
    class CancellingManager : public screens::ExplorerManager {
    public:
        using ExplorerManager::ExplorerManager;
        bool on_progress(const std::u16string& source, const std::u16string& destination, double file_fraction,
                         double total_fraction) override {
            if (file_fraction > 0.3 && file_fraction < 1.0 && !get_progress_form().is_cancelled()) {
                if (look) look();
                get_progress_form().get_cancel_button().activate();
            }
            return ExplorerManager::on_progress(source, destination, file_fraction, total_fraction);
        }
        std::function<void()> look;
    };
    CancellingManager cancelling(owner.get(), properties.get(), u"Confirm5Way");
    cancelling.look = [&] { expect_looks_like("file_progress_form"); };
    EXPECT_FALSE(cancelling.copy_items({u"\\big.wav", u"\\second.wav"}, u"\\dst"));
    EXPECT_FALSE(has("dst/big.wav")) << "the running file stops and its part goes";
    EXPECT_FALSE(has("dst/second.wav"));
    EXPECT_EQ(content("big.wav").size(), 200000u);
}

TEST_F(ExplorerManagerTest, OnlyTheCancelButtonSetsTheCancelFlag) {
    auto made = manager();
    screens::FileProgressForm& progress = made->get_progress_form();
    progress.on_click(&progress.get_file_name());
    EXPECT_FALSE(progress.is_cancelled());
    progress.get_cancel_button().activate();
    EXPECT_TRUE(progress.is_cancelled());
}

}  // namespace
}  // namespace screens_test
