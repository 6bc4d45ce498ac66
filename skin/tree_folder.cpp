#include "skin/tree_folder.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "foundation/file_system.h"
#include "foundation/paths.h"

namespace skinner {

namespace {

bool is_device_root(const std::u16string& path) { return !path.empty() && os::paths_equal(path, u"\\"); }

std::u16string display_name_of(const std::u16string& path) {
    std::u16string const name = os::get_file_name(os::remove_trailing_separator(path));
    return name.empty() ? u"My Device" : name;
}

}  // namespace

ControlTreeFolderNode::ControlTreeFolderNode(ControlTreeFolder* tree, const std::u16string& path)
    : ControlTree::Node(tree),
      folder_tree_(tree),
      path_(path),
      display_name_(display_name_of(path)),
      storage_card_(!path.empty() && os::is_storage_card(path)) {}

bool ControlTreeFolderNode::has_children() const {
    if (get_parent() && !is_expanded()) return true;
    return !get_children().empty();
}

void ControlTreeFolderNode::set_expanded(bool expanded) {
    if (expanded == is_expanded()) return;
    if (!get_parent()) {
        ControlTree::Node::set_expanded(expanded);
        return;
    }
    // The sub-folders are read while the node is closed, so that opening tells the
    // selection of every row it shows; closing hides the rows before it forgets them.
    if (expanded) {
        read_folder();
        ControlTree::Node::set_expanded(true);
    } else {
        ControlTree::Node::set_expanded(false);
        delete_children();
        folder_tree_->refresh();
    }
}

void ControlTreeFolderNode::read_folder() {
    delete_children();
    FinderForTree finder(folder_tree_, this);
    os::find_files(finder, path_, u"*", u"*", false);
    std::vector<std::pair<std::u16string, std::unique_ptr<ControlTree::Node>>> keyed;
    for (auto& child : children()) {
        keyed.emplace_back(os::to_lower(static_cast<ControlTreeFolderNode&>(*child).get_path()), std::move(child));
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t i = 0; i < keyed.size(); ++i) children()[i] = std::move(keyed[i].second);
}

void ControlTreeFolderNode::paint(Canvas& canvas, Point position, Size size, bool selected, bool highlighted) {
    StateLook const& look = folder_tree_->get_item_look(selected, highlighted);
    look.picture.draw(canvas, POINT{position.x, position.y}, POINT{size.width, size.height});
    int const icon_width = folder_tree_->get_icon_width();
    PictureRef const& icon = folder_tree_->get_icon(*this);
    POINT const icon_size = icon.get_size();
    icon.draw(canvas, POINT{position.x + (icon_width - icon_size.x) / 2, position.y}, icon_size);
    look.font.draw_text(canvas, look.colour & 0xFFFFFF, display_name_, POINT{position.x + icon_width, position.y},
                        POINT{size.width - icon_width, size.height}, 0, 1);
}

bool FinderForTree::on_file(const std::u16string&) { return true; }

bool FinderForTree::on_folder(const std::u16string& path) {
    node_->append_child(std::make_unique<ControlTreeFolderNode>(tree_, path));
    return true;
}

ControlTreeFolder::ControlTreeFolder(Container* container, const std::u16string& name, int lookup_mode)
    : ControlTreeGeneric(container, name, lookup_mode) {
    read_keys();
    set_root_folder(u"\\");
    update_rect();
}

ControlTreeFolder::~ControlTreeFolder() {
    icon_folder_.release();
    icon_root_.release();
    icon_card_.release();
}

void ControlTreeFolder::read_keys() {
    if (get_lookup_mode() == LOOKUP_NONE) return;
    icon_folder_ = get_picture_property(u"IconFolder", icon_folder_);
    icon_root_ = get_picture_property(u"IconRoot", icon_root_);
    icon_card_ = get_picture_property(u"IconCard", icon_card_);
    icon_width_ = get_scaled_integer_property(u"IconFolderWidth", icon_width_);
}

void ControlTreeFolder::load_properties() {
    ControlTreeGeneric::load_properties();
    read_keys();
}

const PictureRef& ControlTreeFolder::get_icon(const ControlTreeFolderNode& node) const {
    if (is_device_root(node.get_path())) return icon_root_;
    if (node.is_storage_card() && !icon_card_.is_empty()) return icon_card_;
    return icon_folder_;
}

void ControlTreeFolder::set_root_folder(const std::u16string& path) {
    int const shown = get_row_count();
    auto root = std::make_unique<ControlTreeFolderNode>(this, u"");
    Node& top = root->append_child(std::make_unique<ControlTreeFolderNode>(this, path));
    set_root(std::move(root));
    // The rows shown so far are gone, and with them any current row.
    if (shown > 0) rows_removed_at(0, shown);
    top.set_expanded(true);
    refresh();
}

ControlTreeFolderNode* ControlTreeFolder::top_node() {
    ControlTreeFolderNode* const root = get_root();
    if (!root || root->get_children().empty()) return nullptr;
    return static_cast<ControlTreeFolderNode*>(root->get_children().front().get());
}

ControlTreeFolderNode* ControlTreeFolder::find_node_by_path(const std::u16string& path) {
    return find_expanded_path(os::expanded_path(path));
}

ControlTreeFolderNode* ControlTreeFolder::find_expanded_path(const std::u16string& path) {
    ControlTreeFolderNode* const top = top_node();
    if (!top) return nullptr;
    if (os::paths_equal(top->get_path(), path)) return top;
    std::u16string const parent = os::get_parent_folder(path);
    // A path without a parent, or one whose parent is no shorter ("\\\\"), lies outside.
    if (parent.empty() || parent.size() >= path.size()) return nullptr;
    ControlTreeFolderNode* const holder = find_expanded_path(parent);
    if (!holder) return nullptr;
    holder->set_expanded(true);  // the top node may have been closed
    for (auto const& child : holder->get_children()) {
        auto* const folder = static_cast<ControlTreeFolderNode*>(child.get());
        if (os::paths_equal(folder->get_path(), path)) {
            folder->set_expanded(true);
            return folder;
        }
    }
    return nullptr;
}

ControlTreeFolderNode* ControlTreeFolder::get_folder_at_row(int row) {
    Node* const node = get_node_at_row(row);
    return node == get_root() ? nullptr : static_cast<ControlTreeFolderNode*>(node);
}

ControlTreeFolderSelectionStrategySingleRow::~ControlTreeFolderSelectionStrategySingleRow() = default;

bool ControlTreeFolderSelectionStrategySingleRow::on_keydown(int key) {
    if (key == KEY_LEFT) {
        on_left();
        return true;
    }
    if (key == KEY_RIGHT) {
        on_right();
        return true;
    }
    return ControlTreeFolder::on_keydown(key);
}

void ControlTreeFolderSelectionStrategySingleRow::on_left() {
    int const row = std::max(get_current_row(), 0);
    ControlTreeFolderNode* const node = get_folder_at_row(row);
    if (!node) return;
    if (node->is_expanded()) {
        node->set_expanded(false);
    } else if (row > 0 && node->get_parent()) {
        int const parent_row = node->get_parent()->row_of();
        if (parent_row >= 0) set_current_row(parent_row);
    }
}

void ControlTreeFolderSelectionStrategySingleRow::on_right() {
    int const row = std::max(get_current_row(), 0);
    ControlTreeFolderNode* const node = get_folder_at_row(row);
    if (!node) return;
    if (!node->is_expanded()) {
        node->set_expanded(true);
    } else if (!node->get_children().empty()) {
        set_current_row(row + 1);
    }
}

void ControlTreeFolderSelectionStrategySingleRow::on_indent_click(Cell cell, Point point) {
    select_row(cell.row);
    ControlTreeFolder::on_indent_click(cell, point);
}

ControlTreeFolderNode* ControlTreeFolderSelectionStrategySingleRow::get_current_folder() {
    int const row = get_current_row();
    return row < 0 ? nullptr : get_folder_at_row(row);
}

bool ControlTreeFolderSelectionStrategySingleRow::select_folder(const std::u16string& path) {
    ControlTreeFolderNode* const node = find_node_by_path(path);
    int const row = node ? node->row_of() : -1;
    set_current_row(row);
    if (row < 0) return false;
    ensure_row_visible(row);
    return true;
}

}  // namespace skinner
