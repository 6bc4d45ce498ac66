#include "tests/data/shipped_data.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/skin_compiler/skin_source_xml.h"

namespace data_test {

skinner::Size work_area_of(skinner::Size screen) {
    int const bar = screen.width == 480 || screen.width == 640 ? 52 : 26;
    return {screen.width, screen.height - 2 * bar};
}

DeviceWorkArea::DeviceWorkArea() : previous_(skinner::set_work_area_source(work_area_of)) {}

DeviceWorkArea::~DeviceWorkArea() {
    skinner::set_work_area_source(previous_);
}

const std::vector<ShippedSkin>& shipped_skins() {
    static const std::vector<ShippedSkin> skins{
        {"Default/Default.xml", u"\\Program Files\\Sonbrix\\skins\\Default\\Default.skin", u"Sonbrix_500"},
        {"settings/settings.xml", u"\\Program Files\\Sonbrix\\skins\\settings\\settings.skin", u"Sonbrix_500"},
        {"settings/dialogs.xml", u"\\Program Files\\Sonbrix\\skins\\settings\\dialogs.skin", u"Sonbrix_500"},
        {"today/Today Default.xml", u"\\Windows\\Today Default.skin", u"SonbrixToday_500"},
    };
    return skins;
}

const std::vector<skinner::Size>& screens() {
    static const std::vector<skinner::Size> sizes{{240, 320}, {480, 640}, {480, 800}};
    return sizes;
}

std::string source_folder() {
    return SONBRIX_DATA_SOURCE;
}

std::string stage_folder() {
    return SONBRIX_DATA_STAGE;
}

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

skin_compiler::SkinSource read_source(const std::string& source) {
    skin_compiler::SkinSource skin;
    skin_compiler::Diagnostics diagnostics;
    std::string const path = source_folder() + "/skins/" + source;
    bool const read = skin_compiler::read_skin_source(read_file(path), skin, diagnostics);
    EXPECT_TRUE(read && diagnostics.ok()) << path;
    return skin;
}

void StagedDeviceTest::SetUp() {
    std::filesystem::copy(stage_folder(), device.fs(), std::filesystem::copy_options::recursive);
}

std::u16string widen(const std::string& text) {
    return {text.begin(), text.end()};
}

std::string narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out += c < 128 ? static_cast<char>(c) : '?';
    return out;
}

}  // namespace data_test
