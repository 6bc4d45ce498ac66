#include "skin/skin_validator.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "skin/skin_header.h"

namespace skinner {
namespace {

std::string at(std::uint32_t offset) {
    return " at " + std::to_string(offset);
}

}  // namespace

bool SkinValidator::fail(const std::string& problem) {
    problem_ = problem;
    return false;
}

bool SkinValidator::validate() {
    problem_.clear();
    if (!is_header_valid(image_)) return fail("header is not valid");
    index_terminators();
    if (!check_name_pool()) return false;
    checked_nodes_.clear();
    checked_child_trees_.clear();
    arrays_.clear();
    if (!check_tree(image_.form_root(), NodeKind::form)) return false;
    if (!check_tree(image_.kind_root(), NodeKind::kind)) return false;
    return check_arrays();
}

bool SkinValidator::check_name_pool() {
    std::uint64_t count = std::uint64_t{image_.picture_count()} + image_.font_count();
    if (count == 0) return true;
    if (count > image_.size() / 2) return fail("more pictures and fonts than the image can name");
    std::uint64_t offset = image_.name_pool();
    if (offset == 0) return fail("pictures or fonts without a name pool");
    for (std::uint64_t index = 0; index < count; ++index) {
        if (offset >= image_.size()) return fail("name pool runs past the image");
        std::int64_t length = text_length(static_cast<std::uint32_t>(offset));
        if (length < 0) return fail("unterminated name in the name pool" + at(static_cast<std::uint32_t>(offset)));
        offset += 2 * static_cast<std::uint64_t>(length) + 2;
    }
    return true;
}

bool SkinValidator::check_tree(std::uint32_t root, NodeKind kind) {
    if (root == 0) return true;
    std::unordered_set<std::uint32_t> in_this_tree;
    std::vector<std::pair<std::uint32_t, int>> pending{{root, 1}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        if (depth > max_tree_depth) return fail("tree deeper than " + std::to_string(max_tree_depth) + at(node));
        if (!in_this_tree.insert(node).second) return fail("node reached twice in one tree" + at(node));
        if (!check_node(node, kind)) return false;
        if (std::uint32_t left = image_.left(node)) pending.emplace_back(left, depth + 1);
        if (std::uint32_t right = image_.right(node)) pending.emplace_back(right, depth + 1);
    }
    return true;
}

bool SkinValidator::check_node(std::uint32_t node, NodeKind kind) {
    std::uint32_t size = kind == NodeKind::form ? format::form_node_size : format::node_size;
    if (!image_.fits(node, size)) return fail("node outside the image" + at(node));
    if (!checked_nodes_.insert(std::uint64_t{node} << 2 | static_cast<unsigned>(kind)).second) return true;
    if (!check_text(image_.name_offset(node), "node name")) return false;
    if (!check_records(node)) return false;
    if (kind != NodeKind::form) return true;
    if (!check_automatic_controls(node)) return false;
    std::uint32_t controls = image_.child_tree(node);
    if (controls == 0 || !checked_child_trees_.insert(controls).second) return true;
    return check_tree(controls, NodeKind::control);
}

bool SkinValidator::check_automatic_controls(std::uint32_t node) {
    std::uint64_t count = image_.auto_count(node);
    std::uint64_t begin = std::uint64_t{node} + format::node_auto_pairs;
    if (!image_.fits(begin, count * format::auto_pair_size)) {
        return fail("automatic controls run past the image" + at(node));
    }
    if (count != 0) {
        auto end = static_cast<std::uint32_t>(begin + count * format::auto_pair_size);
        arrays_.push_back({automatic_controls, static_cast<std::uint32_t>(begin), end});
    }
    return true;
}

bool SkinValidator::check_automatic_control_pairs(std::uint32_t begin, std::uint32_t end) {
    for (std::uint32_t pair = begin; pair < end; pair += format::auto_pair_size) {
        if (!check_text(image_.u16(pair), "automatic control name")) return false;
        if (!check_text(image_.u16(pair + 2), "automatic control kind")) return false;
    }
    return true;
}

bool SkinValidator::check_records(std::uint32_t node) {
    for (int index = 0; index < format::record_type_count; ++index) {
        auto type = static_cast<format::RecordType>(index);
        std::uint32_t begin = image_.u32(node + format::array_begin(type));
        std::uint32_t end = image_.u32(node + format::array_end(type));
        if (end < begin) return fail("record array ends before it begins" + at(node));
        if (end == begin) continue;
        if (!image_.fits(begin, end - begin)) return fail("record array outside the image" + at(node));
        if ((end - begin) % format::record_size(type) != 0) return fail("record array of part records" + at(node));
        arrays_.push_back({index, begin, end});
    }
    return true;
}

bool SkinValidator::check_arrays() {
    std::sort(arrays_.begin(), arrays_.end());
    arrays_.erase(std::unique(arrays_.begin(), arrays_.end()), arrays_.end());
    for (std::size_t index = 0; index < arrays_.size(); ++index) {
        ArrayRange const& array = arrays_[index];
        if (index > 0 && arrays_[index - 1].type == array.type && arrays_[index - 1].end > array.begin) {
            return fail("record arrays overlap" + at(array.begin));
        }
        if (array.type == automatic_controls) {
            if (!check_automatic_control_pairs(array.begin, array.end)) return false;
            continue;
        }
        auto type = static_cast<format::RecordType>(array.type);
        RecordArray records{array.begin, (array.end - array.begin) / format::record_size(type)};
        if (!check_array(records, type)) return false;
    }
    return true;
}

bool SkinValidator::check_array(RecordArray array, format::RecordType type) {
    for (std::uint32_t index = 0; index < array.count; ++index) {
        if (!check_record(image_.record(array, type, index), type)) return false;
    }
    return true;
}

bool SkinValidator::check_record(std::uint32_t record, format::RecordType type) {
    if (!check_text(image_.u16(record), "property name")) return false;
    switch (type) {
    case format::RecordType::string: return check_text(image_.u16(record + 2), "string value");
    case format::RecordType::picture:
        if (image_.u8(record + 18) >= image_.picture_count()) return fail("picture index beyond the list" + at(record));
        return true;
    case format::RecordType::font:
        if (image_.u32(record + 4) >= image_.font_count()) return fail("font index beyond the list" + at(record));
        return true;
    default: return true;
    }
}

bool SkinValidator::check_text(std::uint32_t offset, const char* what) {
    if (offset == 0 || offset >= image_.size()) return fail(std::string(what) + " outside the image" + at(offset));
    if (text_length(offset) < 0) return fail(std::string("unterminated ") + what + at(offset));
    return true;
}

}  // namespace skinner

namespace skinner {

void SkinValidator::index_terminators() {
    for (auto& zeros : zero_units_) zeros.clear();
    const std::uint8_t* data = image_.data();
    for (std::uint32_t at = 0; at + 1 < image_.size(); ++at) {
        if (data[at] == 0 && data[at + 1] == 0) zero_units_[at % 2].push_back(at);
    }
}

std::int64_t SkinValidator::text_length(std::uint32_t offset) const {
    auto const& zeros = zero_units_[offset % 2];
    auto end = std::lower_bound(zeros.begin(), zeros.end(), offset);
    if (end == zeros.end()) return -1;
    return (*end - offset) / 2;
}

}  // namespace skinner
