#include "tools/skin_compiler/skin_image_source.h"

#include <functional>

#include "skin/skin_file.h"
#include "skin/skin_image.h"
#include "skin/skin_validator.h"

namespace skin_compiler {
namespace {

using skinner::format::RecordType;
using skinner::SkinImage;

// Visits the tree's nodes in order (lower names first).
void walk_in_order(const SkinImage& image, std::uint32_t root, const std::function<void(std::uint32_t)>& visit) {
    std::vector<std::uint32_t> pending;
    std::uint32_t node = root;
    while (node != 0 || !pending.empty()) {
        while (node != 0) {
            pending.push_back(node);
            node = image.left(node);
        }
        node = pending.back();
        pending.pop_back();
        visit(node);
        node = image.right(node);
    }
}

Property read_property(const SkinImage& image, std::uint32_t record, RecordType type) {
    Property property;
    property.type = type;
    property.name = image.text(image.u16(record));
    switch (type) {
    case RecordType::integer: property.integer = image.i32(record + 4); break;
    case RecordType::point: property.point = {image.i16(record + 2), image.i16(record + 4)}; break;
    case RecordType::string: property.text = image.text(image.u16(record + 2)); break;
    case RecordType::color: property.color = image.u32(record + 2); break;
    case RecordType::picture:
        for (int corner = 0; corner < 8; ++corner) property.picture.corners[corner] = image.u16(record + 2 + 2 * corner);
        property.picture.picture = image.u8(record + 18);
        property.picture.stretch = image.u8(record + 19) != 0;
        break;
    case RecordType::font: property.font = static_cast<int>(image.u32(record + 4)); break;
    }
    return property;
}

Node read_node(const SkinImage& image, std::uint32_t offset, bool is_form) {
    Node node;
    node.name = image.name(offset);
    for (int index = 0; index < skinner::format::record_type_count; ++index) {
        auto type = static_cast<RecordType>(index);
        skinner::RecordArray array = image.records(offset, type);
        for (std::uint32_t record = 0; record < array.count; ++record) {
            node.properties.push_back(read_property(image, image.record(array, type, record), type));
        }
    }
    if (!is_form) return node;
    for (std::uint32_t index = 0; index < image.auto_count(offset); ++index) {
        node.auto_controls.push_back({image.text(image.auto_name(offset, index)), image.text(image.auto_kind(offset, index))});
    }
    walk_in_order(image, image.child_tree(offset),
                  [&](std::uint32_t control) { node.controls.push_back(read_node(image, control, false)); });
    return node;
}

void read_name_pool(const SkinImage& image, SkinSource& source) {
    std::uint32_t offset = image.name_pool();
    auto next = [&]() {
        std::u16string text = image.text(offset);
        offset += 2 * static_cast<std::uint32_t>(text.size()) + 2;
        return NamedEntry{text};
    };
    for (std::uint32_t index = 0; index < image.picture_count(); ++index) source.pictures.push_back(next());
    for (std::uint32_t index = 0; index < image.font_count(); ++index) source.fonts.push_back(next());
}

void mark_variants(std::vector<Node>& forms) {
    for (Node& form : forms) {
        for (Node const& other : forms) {
            bool prefix = other.name.size() < form.name.size() && form.name.starts_with(other.name);
            if (prefix && other.name.size() > form.variant_of.size()) form.variant_of = other.name;
        }
    }
}

}  // namespace

bool read_image_source(const std::vector<std::uint8_t>& bytes, SkinSource& source, std::string& problem) {
    if (bytes.size() > skinner::max_skin_image_size) {
        problem = "larger than a skin may be";
        return false;
    }
    SkinImage image(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
    skinner::SkinValidator validator(image);
    if (!validator.validate()) {
        problem = validator.get_problem();
        return false;
    }
    source = SkinSource{};
    source.compatibility_name = image.compatibility_name();
    source.device_letters = image.device_letters();
    std::uint32_t used = 0;
    for (std::uint32_t index = 0; index < skinner::format::screen_entry_count; ++index) {
        if (image.screen_entry(index) != skinner::Size{}) used = index + 1;
    }
    for (std::uint32_t index = 0; index < used; ++index) source.screens.push_back(image.screen_entry(index));
    read_name_pool(image, source);
    walk_in_order(image, image.form_root(), [&](std::uint32_t form) { source.forms.push_back(read_node(image, form, true)); });
    walk_in_order(image, image.kind_root(), [&](std::uint32_t kind) { source.kinds.push_back(read_node(image, kind, false)); });
    mark_variants(source.forms);
    return true;
}

}  // namespace skin_compiler
