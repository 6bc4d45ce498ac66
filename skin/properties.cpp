#include "skin/properties.h"

#include <algorithm>
#include <cstdint>

#include "foundation/log.h"
#include "foundation/stopwatch.h"
#include "skin/skin_report.h"

namespace skinner {
namespace {

Properties::FormRefresher& the_refresher() {
    static Properties::FormRefresher refresher;
    return refresher;
}

std::u16string decimal(std::int64_t value) {
    std::string text = std::to_string(value);
    return {text.begin(), text.end()};
}

// The record of that name in the node converted, else the default; a found record counts
// in FoundPropertyCounter.
template <class Value, class Read, class Convert>
Value read_or_default(PropertiesImpl& skin, std::uint32_t node, const std::u16string& name, Read read,
                      const Value& default_value, Convert convert) {
    if (node == 0) return default_value;
    auto value = (skin.*read)(node, name);
    if (!value) return default_value;
    ++skin.found_property_counter;
    return convert(*value);
}

// Skin integers are 32-bit; times the scale they stop at the ends of that range.
std::int32_t scale_integer(std::int32_t value, int scale) {
    std::int64_t scaled = std::int64_t{value} * scale;
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(scaled, INT32_MIN, INT32_MAX));
}

}  // namespace

Properties::Properties()
    : skin_(std::make_unique<PropertiesImpl>()), language_(std::make_unique<liba::StringTranslator>()) {}

Properties::Properties(const std::u16string& skin_path, Size screen)
    : skin_(std::make_unique<PropertiesImpl>(skin_path, screen)),
      language_(std::make_unique<liba::StringTranslator>()) {}

Properties::Properties(std::unique_ptr<PropertiesImpl> skin)
    : skin_(std::move(skin)), language_(std::make_unique<liba::StringTranslator>()) {}

Properties::~Properties() {
    language_.reset();
    skin_.reset();
}

bool Properties::is_suitable(const std::u16string& compatibility_name, Size screen) const {
    return skin_->is_suitable(compatibility_name, screen).suitable;
}

void Properties::set_skin(const std::u16string& skin_path, Size screen) {
    set_skin(std::make_unique<PropertiesImpl>(skin_path, screen));
}

void Properties::set_skin(std::unique_ptr<PropertiesImpl> skin) {
    if (skin.get() != skin_.get()) skin_ = std::move(skin);
    refresh_skin();
}

bool Properties::set_language(const std::u16string& language_path) {
    auto language = std::make_unique<liba::StringTranslator>();
    if (!language->load(language_path)) return false;
    language_ = std::move(language);
    refresh_skin();
    return true;
}

void Properties::set_skin_and_language(const std::u16string& skin_path, const std::u16string& language_path,
                                       Size screen) {
    language_ = std::make_unique<liba::StringTranslator>(language_path);
    set_skin(skin_path, screen);
}

std::u16string Properties::translate(const std::u16string& key) const {
    return language_->translate(key, key);
}

std::u16string Properties::translate(const std::u16string& key, const std::u16string& default_text) const {
    return language_->translate(key, default_text);
}

void Properties::check_skin() {
    if (skin_->is_valid()) return;
    raise_report(report_no_skin,
                 u"Skin file {" + skin_->get_path() + u"} was invalid, but no check_version performed");
}

std::uint32_t Properties::find_node(const std::u16string& form, const std::u16string& control) {
    ++skin_->property_counter;
    check_skin();
    if (!form.empty()) {
        std::uint32_t form_node = skin_->select_form(form);
        std::uint32_t node = form_node != 0 ? skin_->find_control(form_node, control) : 0;
        if (node == 0) {
            raise_report(report_no_control, u"Skin file {" + skin_->get_path() + u"} form {" + form +
                                                u"} has no control {" + control + u"}");
        }
        return node;
    }
    std::uint32_t node = skin_->find_kind(control);
    if (node == 0 && !control.empty()) {
        raise_report(report_no_form, u"Skin file {" + skin_->get_path() + u"} has no kind {" + control + u"}");
    }
    return node;
}

std::uint32_t Properties::choose_form(const std::u16string& form) {
    check_skin();
    std::uint32_t node = skin_->select_form(form);
    if (node != 0) return node;
    Size area = skin_->get_work_area();
    raise_report(report_no_form, u"Skin file {" + skin_->get_path() + u"} has no form {" + form +
                                     u"} for workarea_size=" + decimal(area.width) + u" " + decimal(area.height) +
                                     u". list of all forms:\n" + skin_->get_list_text());
}

std::uint32_t Properties::find_form(const std::u16string& form) {
    ++skin_->property_counter;
    return choose_form(form);
}

PicturePart Properties::scaled(PicturePart part) const {
    int scale = skin_->get_scale();
    for (Point* corner : {&part.outer_top_left, &part.inner_top_left, &part.inner_bottom_right, &part.outer_bottom_right}) {
        *corner = {corner->x * scale, corner->y * scale};
    }
    return part;
}

std::int32_t Properties::get_integer(const std::u16string& form, const std::u16string& control,
                                     const std::u16string& name, std::int32_t default_value) {
    return read_or_default(*skin_, find_node(form, control), name, &PropertiesImpl::read_integer, default_value,
                           [](std::int32_t v) { return v; });
}

std::int32_t Properties::get_scaled_integer(const std::u16string& form, const std::u16string& control,
                                            const std::u16string& name, std::int32_t default_value) {
    int scale = skin_->get_scale();
    return read_or_default(*skin_, find_node(form, control), name, &PropertiesImpl::read_integer, default_value,
                           [scale](std::int32_t v) { return scale_integer(v, scale); });
}

Point Properties::get_point(const std::u16string& form, const std::u16string& control, const std::u16string& name,
                            Point default_value) {
    int scale = skin_->get_scale();
    return read_or_default(*skin_, find_node(form, control), name, &PropertiesImpl::read_point, default_value,
                           [scale](Point p) { return Point{p.x * scale, p.y * scale}; });
}

std::u16string Properties::get_string(const std::u16string& form, const std::u16string& control,
                                      const std::u16string& name, const std::u16string& default_value) {
    return read_or_default(*skin_, find_node(form, control), name, &PropertiesImpl::read_string, default_value,
                           [this](const std::u16string& text) { return translate(text, text); });
}

std::uint32_t Properties::get_color(const std::u16string& form, const std::u16string& control,
                                    const std::u16string& name, std::uint32_t default_value) {
    return read_or_default(*skin_, find_node(form, control), name, &PropertiesImpl::read_color, default_value,
                           [](std::uint32_t v) { return v; });
}

std::u16string Properties::get_cursor_name(const std::u16string& form, const std::u16string& control,
                                           const std::u16string& name, const std::u16string& default_value) {
    return read_or_default(*skin_, find_node(form, control), name, &PropertiesImpl::read_string, default_value,
                           [](const std::u16string& text) { return text; });
}

PictureRef Properties::get_picture(const std::u16string& form, const std::u16string& control,
                                   const std::u16string& name, const PictureRef& default_value) {
    const SkinResources& resources = skin_->get_resources();
    return read_or_default(*skin_, find_node(form, control), name, &PropertiesImpl::read_picture, default_value,
                           [&](PicturePart p) { return resources.make_picture(scaled(p)); });
}

FontRef Properties::get_font(const std::u16string& form, const std::u16string& control, const std::u16string& name,
                             const FontRef& default_value) {
    const SkinResources& resources = skin_->get_resources();
    return read_or_default(*skin_, find_node(form, control), name, &PropertiesImpl::read_font, default_value,
                           [&](int index) { return resources.make_font(index); });
}

PicturePart Properties::get_picture_part(const std::u16string& form, const std::u16string& control,
                                         const std::u16string& name, const PicturePart& default_value) {
    return read_or_default(*skin_, find_node(form, control), name, &PropertiesImpl::read_picture, default_value,
                           [this](PicturePart p) { return scaled(p); });
}

int Properties::get_font_index(const std::u16string& form, const std::u16string& control,
                               const std::u16string& name, int default_value) {
    return read_or_default(*skin_, find_node(form, control), name, &PropertiesImpl::read_font, default_value,
                           [](int v) { return v; });
}

std::int32_t Properties::get_form_integer(const std::u16string& form, const std::u16string& name,
                                          std::int32_t default_value) {
    return read_or_default(*skin_, find_form(form), name, &PropertiesImpl::read_integer, default_value,
                           [](std::int32_t v) { return v; });
}

Point Properties::get_form_point(const std::u16string& form, const std::u16string& name, Point default_value) {
    int scale = skin_->get_scale();
    return read_or_default(*skin_, find_form(form), name, &PropertiesImpl::read_point, default_value,
                           [scale](Point p) { return Point{p.x * scale, p.y * scale}; });
}

PictureRef Properties::get_form_picture(const std::u16string& form, const std::u16string& name,
                                        const PictureRef& default_value) {
    const SkinResources& resources = skin_->get_resources();
    return read_or_default(*skin_, find_form(form), name, &PropertiesImpl::read_picture, default_value,
                           [&](PicturePart p) { return resources.make_picture(scaled(p)); });
}

PicturePart Properties::get_form_picture_part(const std::u16string& form, const std::u16string& name,
                                              const PicturePart& default_value) {
    return read_or_default(*skin_, find_form(form), name, &PropertiesImpl::read_picture, default_value,
                           [this](PicturePart p) { return scaled(p); });
}


std::uint32_t Properties::get_auto_control_count(const std::u16string& form) {
    return skin_->get_image().auto_count(choose_form(form));
}

std::pair<std::u16string, std::u16string> Properties::get_auto_control(const std::u16string& form,
                                                                        std::uint32_t index) {
    std::uint32_t node = choose_form(form);
    SkinImage const& image = skin_->get_image();
    if (index >= image.auto_count(node)) return {};
    return {image.text(image.auto_name(node, index)), image.text(image.auto_kind(node, index))};
}

Properties::FormRefresher Properties::set_form_refresher(FormRefresher refresher) {
    FormRefresher previous = std::move(the_refresher());
    the_refresher() = std::move(refresher);
    return previous;
}

void Properties::refresh_skin() {
    os::Stopwatch stopwatch;
    os::get_log() << "Properties::refresh_skin() " << skin_->get_path() << "\n";
    skin_->compare_counter = 0;
    skin_->property_counter = 0;
    skin_->found_property_counter = 0;
    if (the_refresher()) the_refresher()(*this);
    auto log = os::get_log();
    log << "elapsed=" << stopwatch.elapsed() << "\n";
    log << "CompareCounter=" << skin_->compare_counter << "\n";
    log << "PropertyCounter=" << skin_->property_counter << "\n";
    log << "FoundPropertyCounter=" << skin_->found_property_counter << "\n";
}

}  // namespace skinner
