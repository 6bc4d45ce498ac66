// A loaded skin: the image in memory, its pictures and fonts, and the searches over it.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "foundation/string_translator.h"
#include "skin/geometry.h"
#include "skin/skin_header.h"
#include "skin/skin_image.h"
#include "skin/skin_resources.h"

namespace skinner {

// Nodes are offsets into the image; 0 is no node. A skin is valid or invalid from its
// construction on: an invalid one has no image to search.
class PropertiesImpl : public liba::StringTranslator {
public:
    // An empty, invalid skin.
    PropertiesImpl();
    // Loads the skin file: its image (checked whole), the picture scale for the screen, the
    // pictures and the fonts. Never fails by exception; an unusable skin is invalid.
    PropertiesImpl(const std::u16string& skin_path, Size screen,
                   std::unique_ptr<SkinResources> resources = make_skin_resources());
    // The same from an image already in memory; pictures are still looked up beside the path.
    PropertiesImpl(std::vector<std::uint8_t> image, const std::u16string& skin_path, Size screen,
                   std::unique_ptr<SkinResources> resources = make_skin_resources());

    bool is_valid() const { return valid_; }
    Suitability is_suitable(const std::u16string& compatibility_name, Size screen) const;

    // Searches the tree below the node for the name; 0 when it is not there.
    std::uint32_t find_named_node(std::uint32_t node, const std::u16string& name);
    // Searches a sorted record array for the name: the record's offset, 0 when not there.
    std::uint32_t find_record(std::uint32_t node, format::RecordType type, const std::u16string& name);
    // Chooses among the forms whose names begin with the name the widest, then tallest, that
    // fits the device and its area; 0 when none does. Rebuilds the list text.
    std::uint32_t select_form(const std::u16string& name);
    // The control of that name in the form, through the control cache.
    std::uint32_t find_control(std::uint32_t form, const std::u16string& name);
    // The kind of that name, through the kind cache.
    std::uint32_t find_kind(const std::u16string& name);

    // Typed reads of one record of the node; nothing when it has no record of that name.
    // Points and picture corners come unscaled.
    std::optional<std::int32_t> read_integer(std::uint32_t node, const std::u16string& name);
    std::optional<Point> read_point(std::uint32_t node, const std::u16string& name);
    std::optional<std::u16string> read_string(std::uint32_t node, const std::u16string& name);
    std::optional<std::uint32_t> read_color(std::uint32_t node, const std::u16string& name);
    std::optional<PicturePart> read_picture(std::uint32_t node, const std::u16string& name);
    std::optional<int> read_font(std::uint32_t node, const std::u16string& name);

    const SkinImage& get_image() const { return image_view_; }
    const std::u16string& get_path() const { return path_; }
    int get_scale() const { return scale_; }
    Size get_screen_size() const { return screen_; }
    Size get_work_area() const { return work_area_; }
    const std::u16string& get_list_text() const { return list_text_; }
    SkinResources& get_resources() { return *resources_; }
    const SkinResources& get_resources() const { return *resources_; }

    std::uint32_t compare_counter = 0;
    std::uint32_t property_counter = 0;
    std::uint32_t found_property_counter = 0;

private:
    void start(Size screen);
    void load(std::vector<std::uint8_t> image);
    bool load_pictures_and_fonts();
    int compare(const std::u16string& name, std::uint32_t text_offset);
    void visit_form_candidate(std::uint32_t node, const std::u16string& name, Size& best, std::uint32_t& chosen);

    Size work_area_;
    Size screen_;
    std::vector<std::uint8_t> image_;
    SkinImage image_view_;
    bool valid_ = false;
    std::unique_ptr<SkinResources> resources_;

    std::uint32_t form_node_ = 0;
    std::u16string form_name_;
    std::uint32_t control_node_ = 0;
    std::u16string control_name_;
    std::uint32_t kind_node_ = 0;
    std::u16string kind_name_;

    std::u16string path_;
    int scale_ = 1;
    std::u16string list_text_;
};

}  // namespace skinner
