#include "tools/skin_compiler/skin_writer.h"

#include <algorithm>
#include <map>
#include <string>

#include "skin/skin_format.h"

namespace skin_compiler {
namespace {

namespace format = skinner::format;
using format::RecordType;

std::string narrow(const std::u16string& text) {
    std::string result;
    for (char16_t unit : text) result.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    return result;
}

std::uint32_t text_bytes(const std::u16string& text) {
    return 2 * static_cast<std::uint32_t>(text.size()) + 2;
}

class ImageWriter {
public:
    ImageWriter(const SkinSource& source, Diagnostics& diagnostics) : source_(source), diagnostics_(diagnostics) {}

    std::vector<std::uint8_t> write() {
        collect_nodes();
        if (!place_short_texts()) return {};
        place_long_texts();
        align();
        place_nodes();
        place_records();
        std::uint32_t pool = place_name_pool();
        if (!diagnostics_.ok()) return {};
        bytes_.assign(size_, 0);
        write_header(pool);
        write_texts();
        write_nodes();
        return std::move(bytes_);
    }

private:
    struct PlacedNode {
        PlacedNode(const Node* placed, bool form) : node(placed), is_form(form) {}
        const Node* node;
        bool is_form;
        std::uint32_t offset = 0;
        std::uint32_t left = 0;
        std::uint32_t right = 0;
        std::uint32_t child_tree = 0;
        std::uint32_t arrays[format::record_type_count][2] = {};
        std::vector<const Property*> records[format::record_type_count];
    };

    static std::vector<const Node*> sorted(const std::vector<Node>& nodes) {
        std::vector<const Node*> result;
        for (Node const& node : nodes) result.push_back(&node);
        std::sort(result.begin(), result.end(), [](const Node* a, const Node* b) { return a->name < b->name; });
        return result;
    }

    // Adds the nodes in sorted order; the range of their places.
    std::pair<std::size_t, std::size_t> add_sorted(const std::vector<Node>& nodes, bool are_forms) {
        std::size_t first = placed_.size();
        for (const Node* node : sorted(nodes)) placed_.emplace_back(node, are_forms);
        return {first, placed_.size()};
    }

    void collect_nodes() {
        form_range_ = add_sorted(source_.forms, true);
        for (std::size_t form = form_range_.first; form < form_range_.second; ++form) {
            control_ranges_.push_back(add_sorted(placed_[form].node->controls, false));
        }
        kind_range_ = add_sorted(source_.kinds, false);
        for (PlacedNode& placed : placed_) {
            for (Property const& property : placed.node->properties) {
                placed.records[static_cast<int>(property.type)].push_back(&property);
            }
            for (auto& records : placed.records) {
                std::sort(records.begin(), records.end(),
                          [](const Property* a, const Property* b) { return a->name < b->name; });
            }
        }
    }

    void note_short_text(const std::u16string& text, int line) {
        short_text_lines_.emplace(text, line);
    }

    bool place_short_texts() {
        for (PlacedNode const& placed : placed_) {
            for (Property const& property : placed.node->properties) {
                note_short_text(property.name, property.line);
                if (property.type == RecordType::string) note_short_text(property.text, property.line);
            }
            for (AutoControl const& control : placed.node->auto_controls) {
                note_short_text(control.name, control.line);
                note_short_text(control.kind, control.line);
            }
        }
        size_ = format::header_size;
        for (auto const& [text, line] : short_text_lines_) {
            text_offsets_[text] = size_;
            size_ += text_bytes(text);
            if (size_ > format::short_offset_limit) {
                diagnostics_.error(line, "the text \"" + narrow(text) + "\" would end beyond the first 65536 bytes of "
                                         "the skin, where 16-bit offsets reach; use fewer or shorter texts");
                return false;
            }
        }
        return true;
    }

    void place_long_texts() {
        std::map<std::u16string, bool> names;
        for (PlacedNode const& placed : placed_) {
            if (!text_offsets_.count(placed.node->name)) names[placed.node->name] = true;
        }
        for (auto const& entry : names) {
            text_offsets_[entry.first] = size_;
            size_ += text_bytes(entry.first);
        }
    }

    void align() { size_ = (size_ + 3) & ~3u; }

    std::uint32_t link(std::size_t low, std::size_t high) {
        if (low >= high) return 0;
        std::size_t middle = low + (high - low) / 2;
        placed_[middle].left = link(low, middle);
        placed_[middle].right = link(middle + 1, high);
        return placed_[middle].offset;
    }

    void place_nodes() {
        for (PlacedNode& placed : placed_) {
            placed.offset = size_;
            size_ += placed.is_form ? format::form_node_size +
                                          format::auto_pair_size * static_cast<std::uint32_t>(placed.node->auto_controls.size())
                                    : format::node_size;
        }
        form_root_ = link(form_range_.first, form_range_.second);
        for (std::size_t form = form_range_.first; form < form_range_.second; ++form) {
            auto [low, high] = control_ranges_[form - form_range_.first];
            placed_[form].child_tree = link(low, high);
        }
        kind_root_ = link(kind_range_.first, kind_range_.second);
    }

    void place_records() {
        for (PlacedNode& placed : placed_) {
            for (int type = 0; type < format::record_type_count; ++type) {
                auto const& records = placed.records[type];
                if (records.empty()) continue;
                placed.arrays[type][0] = size_;
                size_ += format::record_size(static_cast<RecordType>(type)) * static_cast<std::uint32_t>(records.size());
                placed.arrays[type][1] = size_;
                if (type == static_cast<int>(RecordType::picture)) check_picture_indexes(records);
            }
            align();
        }
    }

    void check_picture_indexes(const std::vector<const Property*>& records) {
        for (const Property* property : records) {
            if (property->picture.picture >= 256) {
                diagnostics_.error(property->line, "picture \"" + narrow(property->name) + "\" uses picture number " +
                                                       std::to_string(property->picture.picture) +
                                                       "; a skin can use only its first 256 pictures");
            }
        }
    }

    std::uint32_t place_name_pool() {
        std::uint32_t pool = size_;
        for (NamedEntry const& entry : source_.pictures) size_ += text_bytes(entry.text);
        for (NamedEntry const& entry : source_.fonts) size_ += text_bytes(entry.text);
        return source_.pictures.empty() && source_.fonts.empty() ? 0 : pool;
    }

    void put16(std::uint32_t at, std::uint32_t value) {
        bytes_[at] = static_cast<std::uint8_t>(value);
        bytes_[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    void put32(std::uint32_t at, std::uint32_t value) {
        put16(at, value & 0xFFFF);
        put16(at + 2, value >> 16);
    }
    std::uint32_t put_text(std::uint32_t at, const std::u16string& text) {
        for (char16_t unit : text) {
            put16(at, unit);
            at += 2;
        }
        return at + 2;
    }

    void write_header(std::uint32_t pool) {
        for (std::uint32_t unit = 0; unit < 4; ++unit) put16(format::magic_offset + 2 * unit, format::magic[unit]);
        put_text(format::compatibility_name_offset, source_.compatibility_name);
        put32(format::form_tree_offset, form_root_);
        put32(format::kind_tree_offset, kind_root_);
        put32(format::picture_count_offset, static_cast<std::uint32_t>(source_.pictures.size()));
        put32(format::font_count_offset, static_cast<std::uint32_t>(source_.fonts.size()));
        put32(format::name_pool_offset, pool);
        for (std::size_t index = 0; index < source_.screens.size(); ++index) {
            std::uint32_t entry = format::screen_table_offset + static_cast<std::uint32_t>(index) * format::screen_entry_size;
            put32(entry, static_cast<std::uint32_t>(source_.screens[index].width));
            put32(entry + 4, static_cast<std::uint32_t>(source_.screens[index].height));
        }
        put_text(format::device_letters_offset, source_.device_letters);
        std::uint32_t at = pool;
        for (NamedEntry const& entry : source_.pictures) at = put_text(at, entry.text);
        for (NamedEntry const& entry : source_.fonts) at = put_text(at, entry.text);
    }

    void write_texts() {
        for (auto const& [text, offset] : text_offsets_) put_text(offset, text);
    }

    void write_record(std::uint32_t at, const Property& property) {
        put16(at, text_offsets_.at(property.name));
        switch (property.type) {
        case RecordType::integer: put32(at + 4, static_cast<std::uint32_t>(property.integer)); break;
        case RecordType::point:
            put16(at + 2, static_cast<std::uint16_t>(property.point.x));
            put16(at + 4, static_cast<std::uint16_t>(property.point.y));
            break;
        case RecordType::string: put16(at + 2, text_offsets_.at(property.text)); break;
        case RecordType::picture:
            for (int corner = 0; corner < 8; ++corner) put16(at + 2 + 2 * corner, static_cast<std::uint32_t>(property.picture.corners[corner]));
            bytes_[at + 18] = static_cast<std::uint8_t>(property.picture.picture);
            bytes_[at + 19] = property.picture.stretch ? 1 : 0;
            break;
        case RecordType::color: put32(at + 2, property.color); break;
        case RecordType::font: put32(at + 4, static_cast<std::uint32_t>(property.font)); break;
        }
    }

    void write_nodes() {
        for (PlacedNode const& placed : placed_) {
            std::uint32_t node = placed.offset;
            put32(node + format::node_left, placed.left);
            put32(node + format::node_right, placed.right);
            put32(node + format::node_name, text_offsets_.at(placed.node->name));
            for (int type = 0; type < format::record_type_count; ++type) {
                put32(node + format::array_begin(static_cast<RecordType>(type)), placed.arrays[type][0]);
                put32(node + format::array_end(static_cast<RecordType>(type)), placed.arrays[type][1]);
                std::uint32_t at = placed.arrays[type][0];
                for (const Property* property : placed.records[type]) {
                    write_record(at, *property);
                    at += format::record_size(static_cast<RecordType>(type));
                }
            }
            put32(node + format::node_child_tree, placed.child_tree);
            if (!placed.is_form) continue;
            put32(node + format::node_auto_count, static_cast<std::uint32_t>(placed.node->auto_controls.size()));
            std::uint32_t pair = node + format::node_auto_pairs;
            for (AutoControl const& control : placed.node->auto_controls) {
                put16(pair, text_offsets_.at(control.name));
                put16(pair + 2, text_offsets_.at(control.kind));
                pair += format::auto_pair_size;
            }
        }
    }

    const SkinSource& source_;
    Diagnostics& diagnostics_;
    std::vector<PlacedNode> placed_;
    std::pair<std::size_t, std::size_t> form_range_;
    std::pair<std::size_t, std::size_t> kind_range_;
    std::vector<std::pair<std::size_t, std::size_t>> control_ranges_;
    std::map<std::u16string, int> short_text_lines_;
    std::map<std::u16string, std::uint32_t> text_offsets_;
    std::uint32_t size_ = 0;
    std::uint32_t form_root_ = 0;
    std::uint32_t kind_root_ = 0;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace

std::vector<std::uint8_t> write_skin_image(const SkinSource& source, Diagnostics& diagnostics) {
    return ImageWriter(source, diagnostics).write();
}

}  // namespace skin_compiler
