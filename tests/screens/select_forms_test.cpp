// Picking a folder in the folder tree of the select-folder form, by stylus; the picker's
// file types.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/messages.h"
#include "platform/windows.h"
#include "screens/select_forms.h"
#include "tests/screens/dialog_fixture.h"

namespace dialog_test {
namespace {

using screens::SelectFolderForm;

class SelectFormsTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        std::filesystem::create_directories(device.host_path("My Documents/Music"));
    }

    // Taps the row of the folder in the tree; false when no row shows it.
    bool tap_folder(SelectFolderForm& form, const std::u16string& path) {
        auto& tree = form.get_tree();
        for (int row = 0; row < tree.get_row_count(); ++row) {
            skinner::ControlTreeFolderNode* const node = tree.get_folder_at_row(row);
            if (node == nullptr || node->get_path() != path) continue;
            skinner::Point position;
            skinner::Size size;
            tree.get_cell_rect(0, row, position, size);
            POINT point{position.x + size.width - 20, position.y + size.height / 2};
            ClientToScreen(form.get_window(), &point);
            tap_at(point.x, point.y);
            settle();
            return true;
        }
        return false;
    }
};

TEST_F(SelectFormsTest, AFolderTappedInTheTreeIsTheChoice) {
    SelectFolderForm form(nullptr, dialogs.get());
    EXPECT_EQ(form.get_chosen_folder(), u"\\");
    post_action([&] {
        EXPECT_TRUE(tap_folder(form, u"\\My Documents"));
        EXPECT_EQ(form.get_chosen_folder(), u"\\My Documents");
        expect_looks_like("select_folder");
        tap(*form.find_control(u"btnOk"));
    });
    EXPECT_TRUE(form.run());
    EXPECT_EQ(form.get_chosen_folder(), u"\\My Documents");
}

TEST_F(SelectFormsTest, ClosingOtherwiseThanWithOkChoosesNothing) {
    for (bool const by_cancel : {true, false}) {
        SelectFolderForm form(nullptr, dialogs.get());
        post_action([&] {
            tap_folder(form, u"\\My Documents");
            if (by_cancel) {
                tap(*form.find_control(u"btnCancel"));
            } else {
                PostMessageW(form.get_window(), WM_CLOSE, 0, 0);
            }
        });
        EXPECT_FALSE(form.run()) << (by_cancel ? "Cancel" : "closed");
    }
}

TEST(FileTypesTest, AllSoundFilesComeFirstThenEachTypeAlone) {
    auto const types = screens::make_file_types();
    ASSERT_EQ(types.size(), 5u);
    EXPECT_EQ(types[0].extensions, (std::vector<std::u16string>{u"mp3", u"wav", u"ogg", u"wma"}));
    for (std::size_t i = 1; i < types.size(); ++i) {
        ASSERT_EQ(types[i].extensions.size(), 1u);
        EXPECT_NE(types[i].label.find(u"(*." + types[i].extensions[0] + u")"), std::u16string::npos);
    }
}

}  // namespace
}  // namespace dialog_test
