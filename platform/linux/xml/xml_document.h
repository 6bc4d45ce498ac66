// The XML document model inside the Linux back end: a parsed tree shared by counted node
// references.
#pragma once

#include <pugixml.hpp>

#include <atomic>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "platform/xml_dom.h"

namespace platform::detail {

struct XmlDocument {
    pugi::xml_document tree;

    // Where the last walk of a child list stood, so that reading children by rising index
    // does not start again from the first child each time. Any change to the tree forgets it.
    pugi::xml_node walked_parent;
    std::size_t walked_index = 0;
    pugi::xml_node walked_child;
    pugi::xml_node counted_parent;
    std::size_t counted_children = 0;

    // Nodes taken out of the tree stay in memory here, hidden from every operation, while
    // references to them may still be held: an element under the document, made on first use.
    pugi::xml_node removed;

    void forget_walks() {
        walked_parent = pugi::xml_node();
        counted_parent = pugi::xml_node();
    }
    // The first child, and the next sibling, that is not the hidden holder of removed nodes.
    pugi::xml_node first_child(pugi::xml_node parent) const { return visible(parent.first_child()); }
    pugi::xml_node next_sibling(pugi::xml_node node) const { return visible(node.next_sibling()); }
    // Moves the node (and its subtree) out of the tree.
    void remove(pugi::xml_node node);

private:
    pugi::xml_node visible(pugi::xml_node node) const { return node && node == removed ? node.next_sibling() : node; }
};

// A new reference to a node of a document; null for the empty node.
XmlNodeRef* new_node_ref(std::shared_ptr<XmlDocument> document, pugi::xml_node node);

// Whether the parsed tree is what a well-formed file gives (pugixml itself is lenient).
bool is_well_formed(const pugi::xml_document& tree);

}  // namespace platform::detail

struct platform::XmlNodeRef {
    std::atomic<long> count{1};
    std::shared_ptr<detail::XmlDocument> document;
    pugi::xml_node node;
};
