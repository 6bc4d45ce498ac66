// A tree of the device's folders that reads each folder when it is opened (and again at
// every opening), in case-insensitive order. Its first row is the folder it was given, open;
// the device root shows as "My Device", storage cards with their own icon.
#pragma once

#include <memory>
#include <string>

#include "foundation/finder.h"
#include "skin/grid_selection.h"
#include "skin/tree.h"

namespace skinner {

class ControlTreeFolder;

class ControlTreeFolderNode : public ControlTree::Node {
public:
    ControlTreeFolderNode(ControlTreeFolder* tree, const std::u16string& path);

    // Opening reads the folder's sub-folders; closing forgets them.
    void set_expanded(bool expanded) override;
    // A closed folder may hold folders until it is read: it answers true.
    bool has_children() const override;
    void paint(Canvas& canvas, Point position, Size size, bool selected, bool highlighted) override;

    const std::u16string& get_path() const { return path_; }
    const std::u16string& get_display_name() const { return display_name_; }
    bool is_storage_card() const { return storage_card_; }
    ControlTreeFolderNode* get_folder_parent() const { return static_cast<ControlTreeFolderNode*>(get_parent()); }

private:
    void read_folder();

    ControlTreeFolder* folder_tree_;
    std::u16string path_;
    std::u16string display_name_;
    bool storage_card_ = false;
};

// Appends a node for each folder found to the node being filled.
class FinderForTree : public os::Finder {
public:
    FinderForTree(ControlTreeFolder* tree, ControlTreeFolderNode* node) : tree_(tree), node_(node) {}

    bool on_file(const std::u16string& path) override;
    bool on_folder(const std::u16string& path) override;

private:
    ControlTreeFolder* tree_;
    ControlTreeFolderNode* node_;
};

// A tree whose root is a node of the given type, owned by the tree.
template <class NodeType>
class ControlTreeGeneric : public ControlTree {
public:
    using ControlTree::ControlTree;

    NodeType* get_root() override { return root_.get(); }

protected:
    // The former root is deleted.
    void set_root(std::unique_ptr<NodeType> root) { root_ = std::move(root); }

private:
    std::unique_ptr<NodeType> root_;
};

class ControlTreeFolder : public ControlTreeGeneric<ControlTreeFolderNode> {
public:
    ControlTreeFolder(Container* container, const std::u16string& name, int lookup_mode = LOOKUP_BY_NAME);
    ~ControlTreeFolder() override;

    void load_properties() override;

    // The tree shows the folder as its one top row, open.
    void set_root_folder(const std::u16string& path);
    // The node of the folder, with every folder on the way to it (and it) opened; null for
    // a folder outside the tree.
    ControlTreeFolderNode* find_node_by_path(const std::u16string& path);
    // The node of the row, or null.
    ControlTreeFolderNode* get_folder_at_row(int row);

    const PictureRef& get_icon(const ControlTreeFolderNode& node) const;
    int get_icon_width() const { return icon_width_; }

private:
    void read_keys();
    ControlTreeFolderNode* top_node();
    ControlTreeFolderNode* find_expanded_path(const std::u16string& path);

    PictureRef icon_folder_;
    PictureRef icon_root_;
    PictureRef icon_card_;
    int icon_width_ = 0;
};

// The folder tree with one current row: Left closes the current folder or goes to its
// parent, Right opens it or goes to its first sub-folder.
class ControlTreeFolderSelectionStrategySingleRow : public ControlTreeFolder, public GridSelectionStrategySingleRow {
public:
    using ControlTreeFolder::ControlTreeFolder;
    ~ControlTreeFolderSelectionStrategySingleRow() override;

    bool on_keydown(int key) override;
    // A press on the connectors makes the row current, then opens or closes it.
    void on_indent_click(Cell cell, Point point) override;

    // The folder of the current row, or null.
    ControlTreeFolderNode* get_current_folder();
    // Opens the way to the folder and makes it the current row; false (no current row) for
    // a folder outside the tree.
    bool select_folder(const std::u16string& path);

private:
    void on_left();
    void on_right();
};

}  // namespace skinner
