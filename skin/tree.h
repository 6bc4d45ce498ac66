// A hierarchy of nodes shown as the rows of a grid: each shown node is one row, indented by
// its depth, with connector pictures in the indent columns and an opened or closed picture
// on nodes that have children. The root node is never a row; its children are rows 0, 1,
// ... A derived tree supplies the root; what a node draws in its row is its own business.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "skin/grid.h"

namespace skinner {

class ControlTree : public ControlGrid {
public:
    class Node {
    public:
        explicit Node(ControlTree* tree) : tree_(tree) {}
        virtual ~Node();
        Node(const Node&) = delete;
        Node& operator=(const Node&) = delete;

        // Shows or hides the children's rows: the ancestors' counts follow, the selection
        // hears of the rows inserted or removed when this node is shown, the grid is
        // refreshed. Nothing when unchanged.
        virtual void set_expanded(bool expanded);
        // Draws the node's own content in the rectangle right of its connectors.
        virtual void paint(Canvas& /*canvas*/, Point /*position*/, Size /*size*/, bool /*selected*/,
                           bool /*highlighted*/) {}
        virtual bool has_children() const { return !children_.empty(); }

        // Takes the child (detached from any former parent) at the index (clamped).
        Node& insert_child(std::size_t index, std::unique_ptr<Node> child);
        Node& append_child(std::unique_ptr<Node> child) { return insert_child(children_.size(), std::move(child)); }
        // Takes the node from its parent and hands it over; null for a node without one.
        std::unique_ptr<Node> detach();
        // Deletes every child (the counts follow, no selection change is told).
        void delete_children();

        ControlTree* get_tree() const { return tree_; }
        Node* get_parent() const { return parent_; }
        const std::vector<std::unique_ptr<Node>>& get_children() const { return children_; }
        bool is_expanded() const { return expanded_; }
        // A node without a parent (the root) counts as expanded whatever its flag says.
        bool is_shown_expanded() const { return expanded_ || !parent_; }
        int get_visible_count() const { return visible_count_; }
        // The rows a node adds to its parent: itself and, when expanded, its shown rows.
        int get_row_span() const { return 1 + (expanded_ ? visible_count_ : 0); }
        Node* next_sibling() const;
        // 0 for the root's children; -1 for the root.
        int get_depth() const;
        // The rows shown above the node; -1 when a node on its way up is collapsed (or for
        // the root, which is no row).
        int row_of() const;

    protected:
        // For reordering in place, which changes no count.
        std::vector<std::unique_ptr<Node>>& children() { return children_; }

    private:
        // Adds delta to the node's count and goes on upwards while the node is expanded.
        static void add_visible_rows(Node* node, int delta);

        ControlTree* tree_;
        std::vector<std::unique_ptr<Node>> children_;
        bool expanded_ = false;
        int visible_count_ = 0;
        Node* parent_ = nullptr;
    };

    ControlTree(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlTree() override;

    virtual Node* get_root() = 0;

    int get_row_count() override;
    int get_column_count() override { return 1; }
    void load_properties() override;
    void paint_item(int column, int row, Canvas& canvas, Point position, Size size, bool selected,
                    bool highlighted) override;
    // A press on a node's own connector column opens or closes it.
    void on_indent_click(Cell cell, Point point) override;
    int get_indent_width(int row) override;

    // The node of the row; the root when there is no such row.
    Node* get_node_at_row(int row);
    // The tree's reaction to a press x pixels right of the row's left edge.
    void press_connector(int row, int x);
    int get_branch_width() const { return branch_width_; }

private:
    void read_keys();
    void paint_connectors(Node& node, Canvas& canvas, Point position, int height);

    PictureRef cross_;
    PictureRef branch_;
    PictureRef line_;
    PictureRef space_;
    PictureRef opened_;
    PictureRef closed_;
    int branch_width_ = 0;
};

}  // namespace skinner
