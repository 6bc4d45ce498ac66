// The tree: rows follow the nodes that are shown, the selection hears of rows shown and
// hidden, a press on a node's own connector column opens or closes it, and each row is
// painted with its connectors left of the node's content.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/application.h"
#include "skin/tree.h"
#include "tests/skin/control_kinds_fixture.h"
#include "tests/skin/grid_fixture.h"

namespace form_test {
namespace {

using skinner::ControlTree;
using skinner::Point;

// Fills its content with grey.
class TestNode : public ControlTree::Node {
public:
    TestNode(ControlTree* tree, std::string name) : ControlTree::Node(tree), name(std::move(name)) {}
    void paint(skinner::Canvas& canvas, Point position, skinner::Size size, bool, bool) override {
        canvas.fill_rect(POINT{position.x, position.y}, POINT{size.width, size.height}, RGB(128, 128, 128));
    }
    std::string name;
};

// Logs what its one-row selection hears: "inserted AT COUNT", "removed AT COUNT" (AT is the
// row before the change).
class TestTree : public ControlTree, public skinner::GridSelectionStrategySingleRow {
public:
    TestTree(skinner::Container* container, Log& log) : ControlTree(container, u"tree"), log_(log) {
        root_ = std::make_unique<TestNode>(this, "root");
    }

    Node* get_root() override { return root_.get(); }
    void on_rows_inserted(int at, int count) override {
        log_.push_back("inserted " + std::to_string(at) + " " + std::to_string(count));
        GridSelectionStrategySingleRow::on_rows_inserted(at, count);
    }
    void on_rows_removed(int at, int count) override {
        log_.push_back("removed " + std::to_string(at) + " " + std::to_string(count));
        GridSelectionStrategySingleRow::on_rows_removed(at, count);
    }

    Node& add(Node& parent, const std::string& name) { return parent.append_child(std::make_unique<TestNode>(this, name)); }
    std::string name_at(int row) { return static_cast<TestNode*>(get_node_at_row(row))->name; }
    std::vector<std::string> rows() {
        std::vector<std::string> names;
        for (int row = 0; row < get_row_count(); ++row) names.push_back(name_at(row));
        return names;
    }

private:
    std::unique_ptr<TestNode> root_;
    Log& log_;
};

using Names = std::vector<std::string>;

// The grid's scroll-bar kinds, with a thumb from this skin's pictures.
std::string scroll_kinds() {
    std::string kinds = grid_test::scroll_kinds();
    std::string const thumb = "image=\"back\" outer=\"0 0 16 16\" inner=\"4 4 12 12\"";
    kinds.replace(kinds.find(thumb), thumb.size(), "image=\"blue\" outer=\"0 0 8 8\" inner=\"2 2 6 6\"");
    return kinds;
}

// The tree lies at (10, 20), 100 x 100, rows 10 high.
constexpr Point origin{10, 20};

class TreeTest : public ControlKindsTest {
protected:
    // Cross red, Branch green, Line yellow, Space blue, Opened white, Closed see-through on
    // its left half and red on its right.
    TestTree& make(int branch_width = 10) {
        tree.reset();
        form.reset();
        use_kinds_skin(form_xml("Trees", 240, 320,
                                control_xml("tree", origin.x, origin.y, 100, 100,
                                            grid_test::grid_records(10) + picture_xml("Cross", "red") +
                                                picture_xml("Branch", "green") + picture_xml("Line", "yellow") +
                                                picture_xml("Space", "blue") + picture_xml("Opened", "digit") +
                                                picture_xml("Closed", "half") + integer_xml("BranchWidth", branch_width))) +
                       scroll_kinds());
        form = std::make_unique<grid_test::GridForm>(properties.get(), u"Trees", log);
        tree = std::make_unique<TestTree>(form.get(), log);
        return *tree;
    }

    // Root: A (open: A1, A2), B (closed: B1).
    void build_sample() {
        ControlTree::Node& root = *tree->get_root();
        a = &tree->add(root, "A");
        a1 = &tree->add(*a, "A1");
        a2 = &tree->add(*a, "A2");
        b = &tree->add(root, "B");
        b1 = &tree->add(*b, "B1");
        a->set_expanded(true);
        log.clear();
    }

    void tap(Point local) {
        Point const at{origin.x + local.x, origin.y + local.y};
        form->on_button_down(0, at, 0);
        form->on_button_up(0, at, 0);
    }

    void TearDown() override {
        tree.reset();
        form.reset();
    }

    os::Application application{nullptr, u"TreeTest"};
    std::unique_ptr<grid_test::GridForm> form;
    std::unique_ptr<TestTree> tree;
    ControlTree::Node* a = nullptr;
    ControlTree::Node* a1 = nullptr;
    ControlTree::Node* a2 = nullptr;
    ControlTree::Node* b = nullptr;
    ControlTree::Node* b1 = nullptr;
};

TEST_F(TreeTest, RowsAreTheShownNodesInOrder) {
    make();
    build_sample();
    EXPECT_EQ(tree->rows(), (Names{"A", "A1", "A2", "B"}));
    EXPECT_EQ(tree->get_node_at_row(4), tree->get_root()) << "past the last row";
    EXPECT_EQ(tree->get_node_at_row(-1), tree->get_root());
    EXPECT_EQ(a2->row_of(), 2);
    EXPECT_EQ(b->row_of(), 3);
    EXPECT_EQ(b1->row_of(), -1) << "inside a closed node";
    EXPECT_EQ(tree->get_root()->row_of(), -1);
    EXPECT_EQ(a1->get_depth(), 1);
    EXPECT_EQ(a1->next_sibling(), a2);
    EXPECT_EQ(a2->next_sibling(), nullptr);
}

TEST_F(TreeTest, CollapsingTellsTheSelectionOfTheRowsHidden) {
    make();
    build_sample();
    tree->set_current_row(3);
    log.clear();
    a->set_expanded(false);
    EXPECT_EQ(tree->rows(), (Names{"A", "B"}));
    EXPECT_EQ(log, (Log{"removed 0 2", "selection"}));
    EXPECT_EQ(tree->get_current_row(), 1) << "B stays current";

    log.clear();
    a->set_expanded(false);
    EXPECT_TRUE(log.empty()) << "unchanged: nothing happens";

    a->set_expanded(true);
    EXPECT_EQ(log, (Log{"inserted 0 2", "selection"}));
    EXPECT_EQ(tree->get_current_row(), 3);
}

TEST_F(TreeTest, ExpandingInsideAClosedNodeChangesCountsOnly) {
    make();
    build_sample();
    tree->add(*b1, "B1a");
    tree->add(*b1, "B1b");
    EXPECT_EQ(b->get_visible_count(), 1);
    b1->set_expanded(true);
    EXPECT_EQ(b->get_visible_count(), 3);
    EXPECT_EQ(tree->get_row_count(), 4);
    EXPECT_TRUE(log.empty()) << "no row appeared";

    b->set_expanded(true);
    EXPECT_EQ(log, (Log{"inserted 3 3"}));
    EXPECT_EQ(tree->rows(), (Names{"A", "A1", "A2", "B", "B1", "B1a", "B1b"}));
}

TEST_F(TreeTest, ChildrenInsertedDetachedAndDeletedKeepTheCounts) {
    make();
    build_sample();
    a->insert_child(0, std::make_unique<TestNode>(tree.get(), "A0"));
    a->insert_child(99, std::make_unique<TestNode>(tree.get(), "A3"));
    EXPECT_EQ(tree->rows(), (Names{"A", "A0", "A1", "A2", "A3", "B"}));

    std::unique_ptr<ControlTree::Node> moved = a1->detach();
    ASSERT_EQ(moved.get(), a1);
    EXPECT_EQ(a1->get_parent(), nullptr);
    EXPECT_EQ(a1->detach(), nullptr) << "a node without a parent";
    b1->append_child(std::move(moved));
    EXPECT_EQ(tree->rows(), (Names{"A", "A0", "A2", "A3", "B"}));
    EXPECT_EQ(b->get_visible_count(), 1) << "B1 is closed";

    b1->set_expanded(true);
    b->set_expanded(true);
    EXPECT_EQ(tree->rows(), (Names{"A", "A0", "A2", "A3", "B", "B1", "A1"}));
    b->delete_children();
    EXPECT_EQ(tree->rows(), (Names{"A", "A0", "A2", "A3", "B"}));
    EXPECT_FALSE(b->has_children());
}

TEST_F(TreeTest, APressOnANodesOwnConnectorColumnTogglesIt) {
    struct Case {
        const char* what;
        int row;
        int x;  // within the row
        Names rows;
    };
    const Case cases[] = {
        {"A's own column", 0, 5, {"A", "B"}},
        {"B's own column", 3, 9, {"A", "A1", "A2", "B", "B1"}},
        {"A1 has no children", 1, 15, {"A", "A1", "A2", "B"}},
        {"A1's ancestor column", 1, 5, {"A", "A1", "A2", "B"}},
        {"right of A's connectors", 0, 12, {"A", "A1", "A2", "B"}},
    };
    for (auto const& c : cases) {
        make();
        build_sample();
        tap({c.x, c.row * 10 + 5});
        EXPECT_EQ(tree->rows(), c.rows) << c.what;
    }
}

TEST_F(TreeTest, WithoutBranchWidthThereIsNoConnectorColumn) {
    make(0);
    build_sample();
    EXPECT_EQ(tree->get_indent_width(0), 0);
    tree->press_connector(0, 0);
    tree->on_indent_click({0, 0}, {origin.x, origin.y + 5});
    tap({0, 5});
    EXPECT_EQ(tree->rows(), (Names{"A", "A1", "A2", "B"})) << "nothing toggles";
    EXPECT_EQ(tree->get_current_row(), 0) << "the press selects the row";

    Surface surface(240, 320);
    surface.paint(*tree);
    EXPECT_EQ(surface.at(origin.x + 1, origin.y + 15), 0x808080u) << "A1's content starts at the left edge";
}

TEST_F(TreeTest, ConnectorsShowSiblingsAndState) {
    make();
    build_sample();
    Surface surface(240, 320);
    surface.paint(*tree);
    // The middle of column c of row r; the right half of a column shows the Closed picture.
    auto const at = [&](int column, int row, int x = 5) { return surface.at(origin.x + column * 10 + x, origin.y + row * 10 + 5); };
    EXPECT_EQ(at(0, 0), white) << "A: Opened over Cross";
    EXPECT_EQ(at(0, 1), yellow) << "A1: Line, A has a sibling below";
    EXPECT_EQ(at(1, 1), red) << "A1: Cross";
    EXPECT_EQ(at(1, 2), green) << "A2: Branch, the last child";
    EXPECT_EQ(at(0, 3, 2), green) << "B: Branch under the see-through half of Closed";
    EXPECT_EQ(at(0, 3, 8), red) << "B: Closed";
    EXPECT_EQ(at(1, 0), 0x808080u) << "A's content after its column";
    EXPECT_EQ(at(2, 1), 0x808080u) << "A1's content after two columns";

    b->set_expanded(true);
    surface.paint(*tree);
    EXPECT_EQ(at(0, 4), blue) << "B1: Space, B is the last child";
    EXPECT_EQ(at(1, 4), green);
}

}  // namespace
}  // namespace form_test
