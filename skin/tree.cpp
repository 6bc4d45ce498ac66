#include "skin/tree.h"

#include <algorithm>

namespace skinner {

ControlTree::Node::~Node() = default;

void ControlTree::Node::add_visible_rows(Node* node, int delta) {
    while (node) {
        node->visible_count_ += delta;
        if (!node->is_shown_expanded()) break;
        node = node->parent_;
    }
}

void ControlTree::Node::set_expanded(bool expanded) {
    if (expanded == expanded_) return;
    int const row = row_of();
    int const count = visible_count_;
    if (parent_) add_visible_rows(parent_, expanded ? count : -count);
    // The flag changes before the selection hears of it, so that what it asks of the tree
    // is already true.
    expanded_ = expanded;
    if (row >= 0 && count > 0) {
        if (expanded) {
            tree_->rows_inserted_at(row + 1, count);
        } else {
            tree_->rows_removed_at(row + 1, count);
        }
    }
    tree_->refresh();
}

ControlTree::Node& ControlTree::Node::insert_child(std::size_t index, std::unique_ptr<Node> child) {
    Node& inserted = *child;
    child->parent_ = this;
    int const span = child->get_row_span();
    children_.insert(children_.begin() + static_cast<std::ptrdiff_t>(std::min(index, children_.size())),
                     std::move(child));
    add_visible_rows(this, span);
    return inserted;
}

std::unique_ptr<ControlTree::Node> ControlTree::Node::detach() {
    if (!parent_) return nullptr;
    auto& siblings = parent_->children_;
    auto const at = std::find_if(siblings.begin(), siblings.end(), [this](const auto& n) { return n.get() == this; });
    std::unique_ptr<Node> self = std::move(*at);
    siblings.erase(at);
    add_visible_rows(parent_, -get_row_span());
    parent_ = nullptr;
    return self;
}

void ControlTree::Node::delete_children() {
    int span = 0;
    for (auto const& child : children_) span += child->get_row_span();
    children_.clear();
    add_visible_rows(this, -span);
}

ControlTree::Node* ControlTree::Node::next_sibling() const {
    if (!parent_) return nullptr;
    auto const& siblings = parent_->children_;
    for (std::size_t i = 0; i + 1 < siblings.size(); ++i) {
        if (siblings[i].get() == this) return siblings[i + 1].get();
    }
    return nullptr;
}

int ControlTree::Node::get_depth() const {
    int depth = -1;
    for (const Node* node = parent_; node; node = node->parent_) ++depth;
    return depth;
}

int ControlTree::Node::row_of() const {
    if (!parent_) return -1;
    int row = 0;
    for (const Node* node = this; node->parent_; node = node->parent_) {
        Node const& parent = *node->parent_;
        for (auto const& sibling : parent.children_) {
            if (sibling.get() == node) break;
            row += sibling->get_row_span();
        }
        if (parent.parent_) {
            if (!parent.expanded_) return -1;
            ++row;  // the parent's own row
        }
    }
    return row;
}

ControlTree::ControlTree(Container* container, const std::u16string& name, int lookup_mode)
    : ControlGrid(container, name, lookup_mode) {
    read_keys();
}

ControlTree::~ControlTree() {
    cross_.release();
    branch_.release();
    line_.release();
    space_.release();
    opened_.release();
    closed_.release();
}

void ControlTree::read_keys() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    cross_ = get_picture_property(u"Cross", cross_);
    branch_ = get_picture_property(u"Branch", branch_);
    line_ = get_picture_property(u"Line", line_);
    space_ = get_picture_property(u"Space", space_);
    opened_ = get_picture_property(u"Opened", opened_);
    closed_ = get_picture_property(u"Closed", closed_);
    branch_width_ = get_scaled_integer_property(u"BranchWidth", branch_width_);
}

void ControlTree::load_properties() {
    ControlGrid::load_properties();
    read_keys();
}

int ControlTree::get_row_count() {
    Node* const root = get_root();
    return root ? root->get_visible_count() : 0;
}

ControlTree::Node* ControlTree::get_node_at_row(int row) {
    Node* const root = get_root();
    if (!root || row < 0) return root;
    Node* node = root;
    for (;;) {
        Node* inside = nullptr;
        for (auto const& child : node->get_children()) {
            if (row == 0) return child.get();
            --row;
            if (child->is_expanded() && row < child->get_visible_count()) {
                inside = child.get();
                break;
            }
            if (child->is_expanded()) row -= child->get_visible_count();
        }
        if (!inside) return root;
        node = inside;
    }
}

int ControlTree::get_indent_width(int row) {
    Node* const node = get_node_at_row(row);
    if (!node || node == get_root()) return 0;
    return (node->get_depth() + 1) * branch_width_;
}

void ControlTree::paint_item(int, int row, Canvas& canvas, Point position, Size size, bool selected,
                             bool highlighted) {
    Node* const node = get_node_at_row(row);
    if (!node || node == get_root()) return;
    int const indent = (node->get_depth() + 1) * branch_width_;
    node->paint(canvas, {position.x + indent, position.y}, {size.width - indent, size.height}, selected, highlighted);
    if (branch_width_ > 0) paint_connectors(*node, canvas, position, size.height);
}

void ControlTree::paint_connectors(Node& node, Canvas& canvas, Point position, int height) {
    POINT const cell{branch_width_, height};
    int column = node.get_depth();
    auto const at = [&](int c) { return POINT{position.x + c * branch_width_, position.y}; };
    (node.next_sibling() ? cross_ : branch_).draw(canvas, at(column), cell);
    if (node.has_children()) (node.is_shown_expanded() ? opened_ : closed_).draw(canvas, at(column), cell);
    Node* const root = get_root();
    for (Node* ancestor = node.get_parent(); ancestor && ancestor != root; ancestor = ancestor->get_parent()) {
        (ancestor->next_sibling() ? line_ : space_).draw(canvas, at(--column), cell);
    }
}

void ControlTree::on_indent_click(Cell cell, Point point) {
    Point position;
    Size size;
    get_cell_rect(cell.column, cell.row, position, size);
    press_connector(cell.row, point.x - position.x);
}

void ControlTree::press_connector(int row, int x) {
    // Without a connector column there is nothing to press.
    if (branch_width_ <= 0 || x < 0) return;
    Node* const node = get_node_at_row(row);
    if (!node || node == get_root() || !node->has_children()) return;
    if (x / branch_width_ == node->get_depth()) node->set_expanded(!node->is_expanded());
}

}  // namespace skinner
