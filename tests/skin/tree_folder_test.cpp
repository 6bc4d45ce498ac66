// The folder tree on a test device: folders read at each opening in case-insensitive
// order, storage cards among them, the way to a folder opened by find_node_by_path, and the
// keys and presses of the one-row selection.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/application.h"
#include "platform/unicode.h"
#include "skin/tree_folder.h"
#include "tests/skin/control_kinds_fixture.h"
#include "tests/skin/grid_fixture.h"

namespace form_test {
namespace {

using skinner::ControlTreeFolderNode;
using skinner::Point;
using Tree = skinner::ControlTreeFolderSelectionStrategySingleRow;
using Names = std::vector<std::u16string>;

// The tree lies at (10, 20), 100 x 100, rows 10 high, connector columns 10 wide.
constexpr Point origin{10, 20};

std::string scroll_kinds() {
    std::string kinds = grid_test::scroll_kinds();
    std::string const thumb = "image=\"back\" outer=\"0 0 16 16\" inner=\"4 4 12 12\"";
    kinds.replace(kinds.find(thumb), thumb.size(), "image=\"blue\" outer=\"0 0 8 8\" inner=\"2 2 6 6\"");
    return kinds;
}

class TreeFolderTest : public ControlKindsTest {
protected:
    void SetUp() override {
        use_kinds_skin(form_xml("Trees", 240, 320,
                                control_xml("tree", origin.x, origin.y, 100, 100,
                                            grid_test::grid_records(10) + integer_xml("BranchWidth", 10) +
                                                picture_xml("IconFolder", "yellow") + picture_xml("IconRoot", "blue") +
                                                picture_xml("IconCard", "red") + integer_xml("IconFolderWidth", 10))) +
                       scroll_kinds());
        form = std::make_unique<grid_test::GridForm>(properties.get(), u"Trees", log);
    }

    Tree& make(const std::u16string& root = u"") {
        tree = std::make_unique<Tree>(form.get(), u"tree");
        if (!root.empty()) tree->set_root_folder(root);
        log.clear();
        return *tree;
    }

    void make_folder(const std::string& below_root) { std::filesystem::create_directories(device.host_path(below_root)); }

    Names rows() {
        Names names;
        for (int row = 0; row < tree->get_row_count(); ++row) names.push_back(tree->get_folder_at_row(row)->get_display_name());
        return names;
    }
    ControlTreeFolderNode& at(int row) { return *tree->get_folder_at_row(row); }

    void tap(Point local) {
        Point const point{origin.x + local.x, origin.y + local.y};
        form->on_button_down(0, point, 0);
        form->on_button_up(0, point, 0);
    }

    void TearDown() override {
        tree.reset();
        form.reset();
    }

    os::Application application{nullptr, u"TreeFolderTest"};
    std::unique_ptr<grid_test::GridForm> form;
    std::unique_ptr<Tree> tree;
};

TEST_F(TreeFolderTest, ANewTreeShowsMyDeviceOpenWithItsFoldersInCaseInsensitiveOrder) {
    make_folder("zeta");
    make_folder("Alpha");
    make_folder("beta/inner");
    make_folder("Storage Card");
    testing_support::write_host_file(device.host_path("file.txt"), "not a folder");
    testing_support::write_host_file(device.folder() + "/storage-cards", "Storage Card\n");
    make();

    Names expected;
    for (auto const& entry : std::filesystem::directory_iterator(device.fs())) {
        if (entry.is_directory()) expected.push_back(platform::utf8_to_utf16(entry.path().filename().string()));
    }
    std::sort(expected.begin(), expected.end(),
              [](const auto& a, const auto& b) { return platform::compare_ignore_case(a, b) < 0; });
    expected.insert(expected.begin(), u"My Device");
    EXPECT_EQ(rows(), expected);

    ControlTreeFolderNode& top = at(0);
    EXPECT_EQ(top.get_path(), u"\\");
    EXPECT_TRUE(top.is_expanded());
    EXPECT_EQ(tree->get_indent_width(1), 20);

    // The icons: the device root, a storage card, an ordinary folder.
    auto const row_of = [&](const std::u16string& name) {
        return static_cast<int>(std::find(expected.begin(), expected.end(), name) - expected.begin());
    };
    ControlTreeFolderNode& card = at(row_of(u"Storage Card"));
    ControlTreeFolderNode& beta = at(row_of(u"beta"));
    EXPECT_TRUE(card.is_storage_card());
    EXPECT_FALSE(beta.is_storage_card());
    Surface surface(240, 320);
    surface.paint(*tree);
    auto const icon_colour = [&](int row) {
        return surface.at(origin.x + tree->get_indent_width(row) + 5, origin.y + row * 10 + 4);
    };
    EXPECT_EQ(icon_colour(0), blue) << "IconRoot";
    EXPECT_EQ(icon_colour(row_of(u"Storage Card")), red) << "IconCard";
    EXPECT_EQ(icon_colour(row_of(u"beta")), yellow) << "IconFolder";
}

TEST_F(TreeFolderTest, AFolderIsReadAtEachOpening) {
    make_folder("Tree/empty");
    make_folder("Tree/full/one");
    make(u"\\Tree");
    EXPECT_EQ(rows(), (Names{u"Tree", u"empty", u"full"}));
    ControlTreeFolderNode& empty = at(1);
    EXPECT_TRUE(empty.has_children()) << "a closed folder shows Closed before it is read";

    empty.set_expanded(true);
    EXPECT_FALSE(empty.has_children());
    EXPECT_EQ(rows(), (Names{u"Tree", u"empty", u"full"}));

    make_folder("Tree/empty/New");
    make_folder("Tree/empty/another");
    empty.set_expanded(false);
    EXPECT_TRUE(empty.get_children().empty()) << "closing forgets the sub-folders";
    empty.set_expanded(true);
    EXPECT_EQ(rows(), (Names{u"Tree", u"empty", u"another", u"New", u"full"}));
    EXPECT_EQ(at(3).get_path(), u"\\Tree\\empty\\New");
}

TEST_F(TreeFolderTest, FindNodeByPathOpensTheWayToTheFolder) {
    make_folder("Tree/One/Two/Three");
    make_folder("Tree/Other");
    make();

    ControlTreeFolderNode* const found = tree->find_node_by_path(u"\\TREE\\one\\Two\\three\\");
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(found->get_path(), u"\\Tree\\One\\Two\\Three");
    for (auto* node = found; node->get_parent(); node = node->get_folder_parent()) {
        EXPECT_TRUE(node->is_expanded()) << platform::utf16_to_utf8(node->get_path());
    }
    EXPECT_EQ(tree->get_folder_at_row(found->row_of()), found);

    EXPECT_EQ(tree->find_node_by_path(u"\\"), &at(0));
    ASSERT_NE(tree->find_node_by_path(u"%my_documents%"), nullptr);
    EXPECT_EQ(tree->find_node_by_path(u"%my_documents%")->get_path(), u"\\My Documents");
    for (auto const* outside : {u"\\Tree\\Missing", u"\\Tree\\One\\Missing\\Deeper", u"relative", u"\\\\", u"\\\\\\"}) {
        EXPECT_EQ(tree->find_node_by_path(outside), nullptr) << platform::utf16_to_utf8(outside);
    }

    at(0).set_expanded(false);
    EXPECT_NE(tree->find_node_by_path(u"\\Tree\\Other"), nullptr) << "a closed top folder is opened on the way";
}

TEST_F(TreeFolderTest, FindNodeByPathInATreeOfAnotherFolder) {
    make_folder("Tree/One/Two");
    make_folder("Elsewhere");
    make(u"\\Tree");
    EXPECT_EQ(tree->find_node_by_path(u"\\Tree\\"), &at(0));
    ControlTreeFolderNode* const two = tree->find_node_by_path(u"\\Tree\\One\\Two");
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->get_display_name(), u"Two");
    EXPECT_EQ(tree->find_node_by_path(u"\\Elsewhere"), nullptr);
    EXPECT_EQ(tree->find_node_by_path(u"\\"), nullptr);

    EXPECT_FALSE(tree->select_folder(u"\\Elsewhere"));
    EXPECT_EQ(tree->get_current_row(), -1);
    EXPECT_TRUE(tree->select_folder(u"\\Tree\\One"));
    EXPECT_EQ(tree->get_current_folder()->get_path(), u"\\Tree\\One");
}

TEST_F(TreeFolderTest, LeftAndRightOpenCloseAndMove) {
    make_folder("Tree/One/Two");
    make_folder("Tree/Three");
    make(u"\\Tree");
    EXPECT_EQ(rows(), (Names{u"Tree", u"One", u"Three"}));

    EXPECT_TRUE(tree->on_keydown(skinner::KEY_LEFT)) << "no current row: the top folder is closed";
    EXPECT_EQ(rows(), (Names{u"Tree"}));
    EXPECT_TRUE(tree->on_keydown(skinner::KEY_LEFT));
    EXPECT_EQ(tree->get_current_row(), -1) << "closed, at row 0: nothing";
    EXPECT_TRUE(tree->on_keydown(skinner::KEY_RIGHT));
    EXPECT_EQ(rows(), (Names{u"Tree", u"One", u"Three"}));
    EXPECT_TRUE(tree->on_keydown(skinner::KEY_RIGHT));
    EXPECT_EQ(tree->get_current_row(), 1) << "open: to its first sub-folder";

    EXPECT_TRUE(tree->on_keydown(skinner::KEY_RIGHT));
    EXPECT_EQ(rows(), (Names{u"Tree", u"One", u"Two", u"Three"}));
    EXPECT_TRUE(tree->on_keydown(skinner::KEY_RIGHT));
    EXPECT_EQ(tree->get_current_row(), 2);
    EXPECT_TRUE(tree->on_keydown(skinner::KEY_RIGHT)) << "Two is read: it has nothing";
    EXPECT_TRUE(tree->on_keydown(skinner::KEY_RIGHT));
    EXPECT_EQ(tree->get_current_row(), 2);

    tree->set_current_row(3);
    EXPECT_TRUE(tree->on_keydown(skinner::KEY_LEFT));
    EXPECT_EQ(tree->get_current_row(), 0) << "a closed folder at row 3: to its parent's row";
    tree->set_current_row(2);
    EXPECT_TRUE(tree->on_keydown(skinner::KEY_LEFT));
    EXPECT_EQ(tree->get_current_row(), 2) << "Two, open, is closed first";
    EXPECT_TRUE(tree->on_keydown(skinner::KEY_LEFT));
    EXPECT_EQ(tree->get_current_row(), 1);

    EXPECT_TRUE(tree->on_keydown(skinner::KEY_DOWN)) << "other keys go to the grid";
    EXPECT_EQ(tree->get_current_row(), 2);
}

TEST_F(TreeFolderTest, OpeningOrClosingAboveTheCurrentRowKeepsTheCurrentFolder) {
    make_folder("Tree/One/a");
    make_folder("Tree/One/b");
    make_folder("Tree/Three");
    make(u"\\Tree");
    tree->set_current_row(2);
    at(1).set_expanded(true);
    EXPECT_EQ(tree->get_current_folder()->get_path(), u"\\Tree\\Three");
    at(1).set_expanded(false);
    EXPECT_EQ(tree->get_current_folder()->get_path(), u"\\Tree\\Three");
}

TEST_F(TreeFolderTest, APressOnTheConnectorsSelectsAndToggles) {
    make_folder("Tree/One/Two");
    make_folder("Tree/Three");
    make(u"\\Tree");
    tap({15, 15});
    EXPECT_EQ(tree->get_current_row(), 1);
    EXPECT_EQ(rows(), (Names{u"Tree", u"One", u"Two", u"Three"}));
    tap({5, 5});
    EXPECT_EQ(tree->get_current_row(), 0);
    EXPECT_EQ(rows(), (Names{u"Tree"}));
}

TEST_F(TreeFolderTest, ANewRootFolderClearsTheCurrentRow) {
    make_folder("Tree/One");
    make_folder("Other");
    make(u"\\Tree");
    tree->set_current_row(1);
    tree->set_root_folder(u"\\Other\\");
    EXPECT_EQ(tree->get_current_row(), -1);
    EXPECT_EQ(rows(), (Names{u"Other"}));
}

}  // namespace
}  // namespace form_test
