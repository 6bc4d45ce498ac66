// Checks a whole skin image once, so that every later lookup stays inside it and ends.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>
#include <vector>

#include "skin/skin_image.h"

namespace skinner {

// Accepts an image whose header is valid and in which every offset, range, count and index
// stays inside the image: trees are trees (no node reached twice within one tree, so no
// cycle) no deeper than max_tree_depth, record arrays run forwards over whole records, every
// text is terminated, picture and font indices are below their counts, and the name pool
// holds as many texts as those counts say. Record arrays of one type are shared whole or
// not at all.
class SkinValidator {
public:
    static constexpr int max_tree_depth = 1024;

    explicit SkinValidator(const SkinImage& image) : image_(image) {}

    bool validate();
    // What was wrong, for the log; empty when the image was accepted.
    const std::string& get_problem() const { return problem_; }

private:
    enum class NodeKind { form, control, kind };

    bool fail(const std::string& problem);
    bool check_name_pool();
    bool check_tree(std::uint32_t root, NodeKind kind);
    bool check_node(std::uint32_t node, NodeKind kind);
    bool check_automatic_controls(std::uint32_t node);
    bool check_automatic_control_pairs(std::uint32_t begin, std::uint32_t end);
    bool check_records(std::uint32_t node);
    bool check_arrays();
    bool check_array(RecordArray array, format::RecordType type);
    bool check_record(std::uint32_t record, format::RecordType type);
    bool check_text(std::uint32_t offset, const char* what);
    // Units before the terminator of the text at the offset; -1 when it has none.
    std::int64_t text_length(std::uint32_t offset) const;
    void index_terminators();

    SkinImage image_;
    std::unordered_set<std::uint64_t> checked_nodes_;  // offset and kind of each checked node
    std::unordered_set<std::uint32_t> checked_child_trees_;
    // The record arrays and automatic-control lists of every node, checked after the trees:
    // those of one type may be shared whole but may not overlap otherwise, so each record is
    // checked once.
    struct ArrayRange {
        int type;
        std::uint32_t begin;
        std::uint32_t end;
        auto operator<=>(const ArrayRange&) const = default;
    };
    std::vector<ArrayRange> arrays_;
    // The type of ArrayRange that stands for a form's list of automatic controls.
    static constexpr int automatic_controls = format::record_type_count;
    std::string problem_;
    // Positions of zero units that begin at even and at odd offsets, ascending: every text
    // check is one search, however many records share a long text.
    std::vector<std::uint32_t> zero_units_[2];
};

}  // namespace skinner
