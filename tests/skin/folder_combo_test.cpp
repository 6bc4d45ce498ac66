// The folder combo on a test device: its drop-down tree opens on the way to the folder its
// path frame shows, a folder chosen in the tree becomes the frame's text, and the tree goes
// when the drop-down closes.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "foundation/application.h"
#include "skin/combo_box_folder_tree.h"
#include "tests/skin/combo_fixture.h"
#include "tests/skin/grid_fixture.h"

namespace form_test {
namespace {

using skinner::ControlComboBoxFolderTree;

// The tree's kind: rows 10 high, connector columns 10 wide, scroll bars from this skin.
std::string tree_kinds() {
    std::string scroll = grid_test::scroll_kinds();
    std::string const thumb = "image=\"back\" outer=\"0 0 16 16\" inner=\"4 4 12 12\"";
    scroll.replace(scroll.find(thumb), thumb.size(), "image=\"blue\" outer=\"0 0 8 8\" inner=\"2 2 6 6\"");
    return "<kind name=\"Combo.Tree\">" + grid_test::grid_records(10) + integer_xml("BranchWidth", 10) +
           picture_xml("IconFolder", "yellow") + integer_xml("IconFolderWidth", 10) + "</kind>" + scroll;
}

class FolderComboTest : public ComboFixture {
protected:
    void SetUp() override {
        for (auto const* folder : {"Tree/One/Two/Three", "Tree/Other", "Elsewhere"}) {
            std::filesystem::create_directories(device.host_path(folder));
        }
        use_kinds_skin(combo_skin("Combos", 240, 200,
                                  control_xml("combo", 10, 10, 120, 20,
                                              combo_records(0, 100) + string_xml("TreeKind", "Combo.Tree"))) +
                       tree_kinds());
        form = std::make_unique<ComboForm>(properties.get(), u"Combos", log);
        combo = std::make_unique<ControlComboBoxFolderTree>(form.get(), u"combo");
        SetForegroundWindow(form->get_window());
        painted();
        log.clear();
    }

    void TearDown() override {
        combo.reset();
        form.reset();
    }

    void open_and(const std::function<void()>& inside) {
        when([this] { return combo && combo->is_dropdown_open(); }, inside);
        combo->open_dropdown_window();
    }

    os::Application application{nullptr, u"FolderComboTest"};
    std::unique_ptr<ComboForm> form;
    std::unique_ptr<ControlComboBoxFolderTree> combo;
};

TEST_F(FolderComboTest, TheDropDownOpensTheWayToTheFolderShown) {
    combo->set_path(u"\\");
    combo->get_path_frame().set_text(u"\\tree\\one\\two");
    EXPECT_EQ(combo->get_path_frame().get_lines(), (std::vector<std::u16string>{u"\\tree\\one\\two"}));
    std::u16string current;
    bool all_open = true;
    open_and([&] {
        auto* const tree = combo->get_tree();
        auto* const folder = tree ? tree->get_current_folder() : nullptr;
        if (folder) current = folder->get_path();
        for (auto* node = folder; node && node->get_parent(); node = node->get_folder_parent()) {
            all_open = all_open && node->is_expanded();
        }
        combo->close_dropdown_window();
    });
    EXPECT_EQ(current, u"\\Tree\\One\\Two");
    EXPECT_TRUE(all_open);
    EXPECT_EQ(combo->get_path(), u"\\Tree\\One\\Two") << "the folder as the device spells it";
    EXPECT_EQ(combo->get_tree(), nullptr) << "the tree goes with the drop-down";
    EXPECT_EQ(log.back(), "combo-changed combo");
}

TEST_F(FolderComboTest, AFolderChosenInTheTreeIsTheChosenFolder) {
    combo->set_path(u"\\Tree");
    EXPECT_EQ(combo->get_root_folder(), u"\\Tree");
    open_and([&] {
        auto* const tree = combo->get_tree();
        EXPECT_EQ(tree->get_current_row(), 0) << "the root folder is current";
        tree->on_keydown(skinner::KEY_DOWN);
        EXPECT_EQ(combo->get_path(), u"\\Tree\\One");
        tree->on_keydown(skinner::KEY_DOWN);
        combo->close_dropdown_window();
    });
    EXPECT_EQ(combo->get_path(), u"\\Tree\\Other");
    EXPECT_EQ(combo->get_root_folder(), u"\\Tree") << "the tree's root stays";
    EXPECT_EQ(log.back(), "combo-changed combo");
}

TEST_F(FolderComboTest, AFolderOutsideTheRootHasNoCurrentRow) {
    combo->set_path(u"\\Tree");
    combo->get_path_frame().set_text(u"\\Elsewhere");
    int row = 0;
    int rows = 0;
    open_and([&] {
        row = combo->get_tree()->get_current_row();
        rows = combo->get_tree()->get_row_count();
        combo->close_dropdown_window();
    });
    EXPECT_EQ(row, -1);
    EXPECT_EQ(rows, 3) << "Tree, One, Other";
    EXPECT_EQ(combo->get_path(), u"\\Elsewhere") << "nothing chosen, nothing changed";
}

}  // namespace
}  // namespace form_test
