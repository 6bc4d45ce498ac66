// Any bytes handed to the skin reader as a skin image (the seeds are compiled skins): the
// load ends valid or invalid, and on a valid image every lookup of every form, control,
// kind and property ends, inside the image.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "skin/properties.h"
#include "skin/skin_report.h"
#include "tests/fuzz/fuzz_input.h"
#include "tools/skin_compiler/skin_image_source.h"

namespace {

struct Report {};

void throw_report(const std::u16string&, const std::u16string&) {
    throw Report{};
}

// Every getter on one node, for the record names it holds and for names it lacks.
void read_everything(skinner::Properties& properties, const std::u16string& form, const std::u16string& control,
                     const std::vector<std::u16string>& names) {
    for (std::u16string const& name : names) {
        try {
            properties.get_integer(form, control, name, 0);
            properties.get_scaled_integer(form, control, name, 0);
            properties.get_point(form, control, name, {});
            properties.get_string(form, control, name, u"");
            properties.get_color(form, control, name, 0);
            properties.get_cursor_name(form, control, name, u"");
            skinner::PicturePart part = properties.get_picture_part(form, control, name, {});
            if (part.picture >= 256) std::abort();
            properties.get_font_index(form, control, name, -1);
        } catch (const Report&) {
        }
    }
}

std::vector<std::u16string> record_names(const skin_compiler::Node& node) {
    std::vector<std::u16string> names{u"", u"Size", u"Zzz"};
    for (auto const& property : node.properties) names.push_back(property.name);
    return names;
}

void look_up_everything(skinner::Properties& properties, const skin_compiler::SkinSource& source) {
    for (auto const& form : source.forms) {
        try {
            std::uint32_t count = properties.get_auto_control_count(form.name);
            for (std::uint32_t index = 0; index < count; ++index) properties.get_auto_control(form.name, index);
            properties.get_form_point(form.name, u"Size", {});
        } catch (const Report&) {
        }
        for (auto const& control : form.controls) read_everything(properties, form.name, control.name, record_names(control));
        read_everything(properties, form.name, u"missing", {u"X"});
    }
    for (auto const& kind : source.kinds) read_everything(properties, u"", kind.name, record_names(kind));
    read_everything(properties, u"", u"missing", {u"X"});
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    fuzzing::use_private_device();
    skinner::set_report_stop(throw_report);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> image(data, data + size);
    for (skinner::Size screen : {skinner::Size{240, 320}, skinner::Size{480, 800}}) {
        skinner::Properties properties(std::make_unique<skinner::PropertiesImpl>(
            image, u"\\fuzz\\a.skin", screen, std::make_unique<skinner::SkinResourceNames>()));
        skin_compiler::SkinSource source;
        std::string problem;
        bool readable = skin_compiler::read_image_source(image, source, problem);
        if (readable != properties.is_loaded()) std::abort();
        if (!readable) {
            try {
                properties.get_integer(u"Main", u"btn", u"X", 0);
                std::abort();  // an invalid skin must report
            } catch (const Report&) {
            }
            continue;
        }
        look_up_everything(properties, source);
    }
    return 0;
}
