#include "skin/properties_impl.h"

#include <utility>

#include "foundation/log.h"
#include "skin/skin_file.h"
#include "skin/skin_validator.h"
#include "skin/skin_work_area.h"

namespace skinner {
namespace {

using format::RecordType;

void log_record_sizes() {
    auto log = os::get_log();
    auto line = [&log](const char* name, std::uint32_t size) { log << name << size << "\n"; };
    line("sizeof(IntegerNode)=", format::IntegerNode::Size);
    line("IntegerNode::Size=", format::IntegerNode::Size);
    line("sizeof(PointNode)=", format::PointNode::Size);
    line("PointNode::Size=", format::PointNode::Size);
    line("sizeof(ColorNode)=", format::ColorNode::Size);
    line("ColorNode::Size=", format::ColorNode::Size);
    line("sizeof(StringNode)=", format::StringNode::Size);
    line("StringNode::Size=", format::StringNode::Size);
    line("sizeof(PictureNode)=", format::PictureNode::Size);
    line("PictureNode::Size=", format::PictureNode::Size);
}

bool fits_device(const std::u16string& devices) {
    return devices.empty() || devices.find(device_letter()) != std::u16string::npos;
}

std::u16string decimal(std::int64_t value) {
    std::string text = std::to_string(value);
    return {text.begin(), text.end()};
}

}  // namespace

PropertiesImpl::PropertiesImpl() : resources_(std::make_unique<SkinResourceNames>()) {
    log_record_sizes();
}

PropertiesImpl::PropertiesImpl(const std::u16string& skin_path, Size screen, std::unique_ptr<SkinResources> resources)
    : resources_(std::move(resources)), path_(skin_path) {
    start(screen);
    std::vector<std::uint8_t> image;
    if (read_skin_image(skin_path, image)) load(std::move(image));
}

PropertiesImpl::PropertiesImpl(std::vector<std::uint8_t> image, const std::u16string& skin_path, Size screen,
                               std::unique_ptr<SkinResources> resources)
    : resources_(std::move(resources)), path_(skin_path) {
    start(screen);
    load(std::move(image));
}

void PropertiesImpl::start(Size screen) {
    screen_ = screen;
    scale_ = 1;
    log_record_sizes();
    work_area_ = get_skin_work_area(screen);
}

void PropertiesImpl::load(std::vector<std::uint8_t> image) {
    image_ = std::move(image);
    if (image_.size() > max_skin_image_size) {
        os::get_log() << "Error: skin [" << path_ << "] is larger than " << max_skin_image_size << " bytes\n";
        return;
    }
    SkinImage view(image_.data(), static_cast<std::uint32_t>(image_.size()));
    if (!is_header_valid(view)) return;
    SkinValidator validator(view);
    if (!validator.validate()) {
        os::get_log() << "PropertiesImpl::PropertiesImpl skin {" << path_ << "} is damaged: " << validator.get_problem().c_str()
                      << "\n";
        return;
    }
    image_view_ = view;
    valid_ = true;
    scale_ = choose_scale(image_view_, screen_);
    if (!load_pictures_and_fonts()) {
        valid_ = false;
        image_view_ = SkinImage();
    }
}

bool PropertiesImpl::load_pictures_and_fonts() {
    std::uint32_t offset = image_view_.name_pool();
    for (std::uint32_t index = 0; index < image_view_.picture_count(); ++index) {
        std::u16string name = image_view_.text(offset);
        offset += 2 * static_cast<std::uint32_t>(name.size()) + 2;
        if (!resources_->add_picture(path_, name, scale_)) {
            os::get_log() << "PropertiesImpl::PropertiesImpl picture failed to load {" << name << "}\n";
            return false;
        }
    }
    for (std::uint32_t index = 0; index < image_view_.font_count(); ++index) {
        std::u16string description = image_view_.text(offset);
        offset += 2 * static_cast<std::uint32_t>(description.size()) + 2;
        resources_->add_font(description, scale_);
    }
    return true;
}

Suitability PropertiesImpl::is_suitable(const std::u16string& compatibility_name, Size screen) const {
    if (!valid_) return {};
    return test_suitability(image_view_, compatibility_name, screen);
}

int PropertiesImpl::compare(const std::u16string& name, std::uint32_t text_offset) {
    ++compare_counter;
    return image_view_.compare_text(name, text_offset);
}

std::uint32_t PropertiesImpl::find_named_node(std::uint32_t node, const std::u16string& name) {
    while (node != 0) {
        int order = compare(name, image_view_.name_offset(node));
        if (order == 0) return node;
        node = order < 0 ? image_view_.left(node) : image_view_.right(node);
    }
    return 0;
}

std::uint32_t PropertiesImpl::find_record(std::uint32_t node, RecordType type, const std::u16string& name) {
    RecordArray array = image_view_.records(node, type);
    std::uint32_t low = 0;
    std::uint32_t high = array.count;
    while (low < high) {
        std::uint32_t middle = low + (high - low) / 2;
        int order = compare(name, image_view_.record_name(array, type, middle));
        if (order == 0) return image_view_.record(array, type, middle);
        if (order < 0) {
            high = middle;
        } else {
            low = middle + 1;
        }
    }
    return 0;
}

std::uint32_t PropertiesImpl::select_form(const std::u16string& name) {
    if (name == form_name_) return form_node_;
    form_node_ = 0;
    form_name_.clear();
    control_node_ = 0;
    control_name_.clear();
    if (name.empty()) return 0;
    list_text_.clear();
    Size best;
    std::uint32_t chosen = 0;
    std::vector<std::uint32_t> pending;
    if (std::uint32_t root = image_view_.form_root()) pending.push_back(root);
    while (!pending.empty()) {
        std::uint32_t node = pending.back();
        pending.pop_back();
        visit_form_candidate(node, name, best, chosen);
        if (std::uint32_t right = image_view_.right(node)) pending.push_back(right);
        if (std::uint32_t left = image_view_.left(node)) pending.push_back(left);
    }
    if (chosen != 0) {
        form_node_ = chosen;
        form_name_ = name;
    }
    return chosen;
}

void PropertiesImpl::visit_form_candidate(std::uint32_t node, const std::u16string& name, Size& best,
                                          std::uint32_t& chosen) {
    std::u16string node_name = image_view_.name(node);
    if (!node_name.starts_with(name)) {
        list_text_ += u"-" + node_name + u"\n";
        return;
    }
    Point size = read_point(node, u"Size").value_or(Point{});
    size = {size.x * scale_, size.y * scale_};
    std::u16string devices = read_string(node, u"Devices").value_or(u"");
    std::int32_t fullscreen = read_integer(node, u"Fullscreen").value_or(0);
    list_text_ += u"+" + node_name + u" Size=" + decimal(size.x) + u" " + decimal(size.y) + u" Devices=" + devices;
    if (fits_device(devices)) {
        list_text_ += u" good_for_device";
        Size area = fullscreen != 0 ? screen_ : work_area_;
        bool fits = size.x <= area.width && size.y <= area.height;
        bool wider = size.x > best.width || (size.x == best.width && size.y >= best.height);
        if (fits && wider) {
            best = {size.x, size.y};
            chosen = node;
        }
    }
    list_text_ += u"\n";
}

std::uint32_t PropertiesImpl::find_control(std::uint32_t form, const std::u16string& name) {
    if (name == control_name_ && control_node_ != 0) return control_node_;
    control_node_ = find_named_node(image_view_.child_tree(form), name);
    control_name_ = control_node_ != 0 ? name : std::u16string();
    return control_node_;
}

std::uint32_t PropertiesImpl::find_kind(const std::u16string& name) {
    if (name == kind_name_) return kind_node_;
    kind_node_ = find_named_node(image_view_.kind_root(), name);
    kind_name_ = name;
    return kind_node_;
}

std::optional<std::int32_t> PropertiesImpl::read_integer(std::uint32_t node, const std::u16string& name) {
    std::uint32_t record = find_record(node, RecordType::integer, name);
    if (record == 0) return std::nullopt;
    return image_view_.i32(record + 4);
}

std::optional<Point> PropertiesImpl::read_point(std::uint32_t node, const std::u16string& name) {
    std::uint32_t record = find_record(node, RecordType::point, name);
    if (record == 0) return std::nullopt;
    return Point{image_view_.i16(record + 2), image_view_.i16(record + 4)};
}

std::optional<std::u16string> PropertiesImpl::read_string(std::uint32_t node, const std::u16string& name) {
    std::uint32_t record = find_record(node, RecordType::string, name);
    if (record == 0) return std::nullopt;
    return image_view_.text(image_view_.u16(record + 2));
}

std::optional<std::uint32_t> PropertiesImpl::read_color(std::uint32_t node, const std::u16string& name) {
    std::uint32_t record = find_record(node, RecordType::color, name);
    if (record == 0) return std::nullopt;
    return image_view_.u32(record + 2);
}

std::optional<PicturePart> PropertiesImpl::read_picture(std::uint32_t node, const std::u16string& name) {
    std::uint32_t record = find_record(node, RecordType::picture, name);
    if (record == 0) return std::nullopt;
    auto corner = [this, record](std::uint32_t at) {
        return Point{image_view_.u16(record + at), image_view_.u16(record + at + 2)};
    };
    PicturePart part;
    part.outer_top_left = corner(2);
    part.inner_top_left = corner(6);
    part.inner_bottom_right = corner(10);
    part.outer_bottom_right = corner(14);
    part.picture = image_view_.u8(record + 18);
    part.stretch = image_view_.u8(record + 19) != 0;
    return part;
}

std::optional<int> PropertiesImpl::read_font(std::uint32_t node, const std::u16string& name) {
    std::uint32_t record = find_record(node, RecordType::font, name);
    if (record == 0) return std::nullopt;
    return static_cast<int>(image_view_.u32(record + 4));
}

}  // namespace skinner
