#include "tests/skin/skin_fixture.h"

#include <fstream>
#include <iterator>

#include "tools/skin_compiler/skin_compiler.h"

namespace skin_test {

FixedWorkArea::FixedWorkArea(skinner::Size area)
    : previous_(skinner::set_work_area_source([area](skinner::Size) { return area; })) {}

FixedWorkArea::~FixedWorkArea() {
    skinner::set_work_area_source(previous_);
}

std::string fixtures_folder() {
    return SONBRIX_SKIN_FIXTURES;
}

std::string sample_folder() {
    return fixtures_folder() + "/sample";
}

std::string source(const std::string& body, const std::string& skin_attributes) {
    return "<skin " + skin_attributes + ">\n" + body + "\n</skin>\n";
}

std::vector<std::uint8_t> compile(const std::string& body, const std::string& skin_attributes) {
    skin_compiler::SkinSource parsed;
    skin_compiler::Diagnostics diagnostics;
    auto image = skin_compiler::compile_skin(source(body, skin_attributes), sample_folder(), parsed, diagnostics);
    for (auto const& error : diagnostics.errors) ADD_FAILURE() << "line " << error.line << ": " << error.message;
    return image;
}

std::unique_ptr<skinner::PropertiesImpl> load(std::vector<std::uint8_t> image, skinner::Size screen) {
    return std::make_unique<skinner::PropertiesImpl>(std::move(image), u"\\skins\\Test\\Test.skin", screen,
                                                     std::make_unique<skinner::SkinResourceNames>());
}

std::string narrow(const std::u16string& text) {
    return {text.begin(), text.end()};
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::uint8_t> compile_sample() {
    skin_compiler::SkinSource parsed;
    skin_compiler::Diagnostics diagnostics;
    auto image = skin_compiler::compile_skin(read_file(sample_folder() + "/sample.xml"), sample_folder(), parsed, diagnostics);
    for (auto const& error : diagnostics.errors) ADD_FAILURE() << "line " << error.line << ": " << error.message;
    return image;
}

}  // namespace skin_test
