// How the folder tree, the path frame and the folder combo look on the program's own skins,
// on the small and the high-density screen: kept as expected screenshots in
// tests/skin/expected/.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "foundation/application.h"
#include "platform/windows.h"
#include "skin/combo_box_folder_tree.h"
#include "skin/path_frame.h"
#include "skin/tree_folder.h"
#include "tests/skin/combo_fixture.h"
#include "tests/skin/skin_fixture.h"
#include "tests/support/expected_image.h"

namespace form_test {
namespace {

struct Screen {
    const char* size;
    skinner::Size work_area;  // the screen less the two bars
};

class TreeLookTest : public ComboFixture, public testing::WithParamInterface<Screen> {
protected:
    TreeLookTest() : ComboFixture(GetParam().size), work_area_(GetParam().work_area) {}

    void SetUp() override {
        std::string const stage = SONBRIX_DATA_STAGE;
        for (auto const* skins : {"Program Files/Sonbrix/skins/settings", "Program Files/Sonbrix/skins/Default"}) {
            std::filesystem::create_directories(device.host_path(skins));
            std::filesystem::copy(stage + "/" + skins, device.host_path(skins), std::filesystem::copy_options::recursive);
        }
        std::filesystem::copy(stage + "/Program Files/Sonbrix/English.lng",
                              device.host_path("Program Files/Sonbrix/English.lng"));
        for (auto const* folder : {"My Documents/Recordings/2026", "My Documents/Recordings/Interviews",
                                   "My Documents/Music", "My Documents/Personal", "Storage Card/Voice"}) {
            std::filesystem::create_directories(device.host_path(folder));
        }
        testing_support::write_host_file(device.folder() + "/storage-cards", "Storage Card\n");
    }

    void load(const std::u16string& skin) {
        properties = std::make_unique<skinner::Properties>(u"\\Program Files\\Sonbrix\\skins\\" + skin,
                                                           skinner::Size{screen_width(), screen_height()});
        ASSERT_TRUE(properties->is_loaded());
        ASSERT_TRUE(properties->set_language(u"\\Program Files\\Sonbrix\\English.lng"));
    }

    void TearDown() override {
        combo.reset();
        tree.reset();
        path.reset();
        form.reset();
    }

    int screen_width() const { return std::string(GetParam().size) == "240x320" ? 240 : 480; }
    int screen_height() const { return std::string(GetParam().size) == "240x320" ? 320 : 640; }

    skin_test::FixedWorkArea work_area_;
    os::Application application{nullptr, u"TreeLookTest"};
    std::unique_ptr<TestForm> form;
    std::unique_ptr<skinner::ControlPathFrame> path;
    std::unique_ptr<skinner::ControlTreeFolderSelectionStrategySingleRow> tree;
    std::unique_ptr<skinner::ControlComboBoxFolderTree> combo;
};

TEST_P(TreeLookTest, SelectFolderForm) {
    load(u"settings\\settings.skin");
    form = std::make_unique<TestForm>(nullptr, properties.get(), u"SelectFolder", log);
    // The form's buttons are its own automatic controls.
    path = std::make_unique<skinner::ControlPathFrame>(form.get(), u"frmName");
    tree = std::make_unique<skinner::ControlTreeFolderSelectionStrategySingleRow>(form.get(), u"treeFolders");
    std::u16string const chosen = u"\\My Documents\\Recordings\\Interviews";
    ASSERT_TRUE(tree->select_folder(chosen));
    tree->find_node_by_path(u"\\Storage Card");
    path->set_text(chosen);
    tree->set_focus();
    form->set_visible(true);
    auto const shot = painted();
    EXPECT_EQ(testing_support::compare_with_expected(shot, SONBRIX_SKIN_EXPECTED,
                                                     std::string("select-folder-") + GetParam().size),
              "");
}

TEST_P(TreeLookTest, OpenFolderComboOfTheExplorer) {
    load(u"Default\\Default.skin");
    form = std::make_unique<TestForm>(nullptr, properties.get(), u"ExplorerPanel", log);
    combo = std::make_unique<skinner::ControlComboBoxFolderTree>(form.get(), u"cmbFolder");
    combo->set_path(u"\\");
    combo->get_path_frame().set_text(u"\\My Documents\\Recordings");
    form->set_visible(true);
    SetForegroundWindow(form->get_window());
    painted();
    std::string difference = "not opened";
    when([this] { return combo->is_dropdown_open(); },
         [&] {
             difference = testing_support::compare_with_expected(painted(), SONBRIX_SKIN_EXPECTED,
                                                                 std::string("folder-combo-") + GetParam().size);
             combo->close_dropdown_window();
         });
    combo->open_dropdown_window();
    EXPECT_EQ(difference, "");
}

INSTANTIATE_TEST_SUITE_P(Screens, TreeLookTest,
                         testing::Values(Screen{"240x320", {240, 268}}, Screen{"480x640", {480, 536}}),
                         [](const testing::TestParamInfo<Screen>& info) { return std::string("at") + info.param.size; });

}  // namespace
}  // namespace form_test
