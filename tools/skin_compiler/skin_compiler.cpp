#include "tools/skin_compiler/skin_compiler.h"

#include "tools/skin_compiler/skin_checker.h"
#include "tools/skin_compiler/skin_image_source.h"
#include "tools/skin_compiler/skin_source_xml.h"
#include "tools/skin_compiler/skin_writer.h"

namespace skin_compiler {

std::vector<std::uint8_t> compile_skin(const std::string& xml, const std::filesystem::path& picture_folder,
                                       SkinSource& source, Diagnostics& diagnostics) {
    if (!read_skin_source(xml, source, diagnostics)) return {};
    check_skin_source(source, picture_folder, diagnostics);
    if (!diagnostics.ok()) return {};
    return write_skin_image(source, diagnostics);
}

bool dump_skin(const std::vector<std::uint8_t>& image, std::string& xml, std::string& problem) {
    SkinSource source;
    if (!read_image_source(image, source, problem)) return false;
    xml = write_skin_source(source);
    return true;
}

}  // namespace skin_compiler
