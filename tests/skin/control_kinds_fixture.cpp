#include "tests/skin/control_kinds_fixture.h"

#include <algorithm>
#include <sstream>

#include "skin/canvas.h"
#include "skin/properties_impl.h"
#include "tests/skin/picture_fixture.h"
#include "tests/skin/skin_fixture.h"
#include "tools/skin_compiler/skin_compiler.h"

namespace form_test {

namespace {

std::string narrow(const std::u16string& text) { return {text.begin(), text.end()}; }

std::string solid_png(int width, int height, std::uint32_t colour) {
    return picture_fixture::png_of(picture_fixture::image_of(width, height, [colour](int, int) { return colour; }));
}

}  // namespace

std::string picture_xml(const std::string& key, const std::string& image) {
    return "<picture name=\"" + key + "\" image=\"" + image + "\" stretch=\"1\"/>";
}

std::string integer_xml(const std::string& key, int value) {
    return "<integer name=\"" + key + "\" value=\"" + std::to_string(value) + "\"/>";
}

std::string string_xml(const std::string& key, const std::string& value) {
    return "<string name=\"" + key + "\" value=\"" + value + "\"/>";
}

EventForm::EventForm(skinner::Properties* properties, const std::u16string& name, Log& log)
    : TestForm(nullptr, properties, name, log), log_(log) {}

void EventForm::on_value_changed(skinner::Control* sender, double value) {
    std::ostringstream text;
    text << "value " << narrow(sender->get_name()) << " " << value;
    log_.push_back(text.str());
}

void EventForm::on_progress_changed(skinner::Control* sender) {
    log_.push_back("progress " + narrow(sender->get_name()));
}

Surface::Surface(int width, int height) : width_(width), height_(height) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
    dc_ = CreateCompatibleDC(nullptr);
    previous_ = SelectObject(dc_, bitmap_);
    std::fill(bits_, bits_ + width * height, 0u);
}

Surface::~Surface() {
    SelectObject(dc_, previous_);
    DeleteDC(dc_);
    DeleteObject(bitmap_);
}

void Surface::paint(skinner::Control& control) {
    skinner::CanvasImpl impl(dc_, {0, 0}, {width_, height_});
    skinner::Canvas canvas(&impl);
    control.paint(canvas, {0, 0}, {width_, height_});
}

int Surface::count_not(std::uint32_t value, RECT r) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += at(x, y) != value;
    return n;
}

void ControlKindsTest::use_kinds_skin(const std::string& forms, skinner::Size screen) {
    using picture_fixture::image_of;
    auto const half = image_of(20, 20, [](int x, int) { return x < 10 ? 0xFFFFFF : 0xFF0000; });
    auto const mask = image_of(20, 20, [](int x, int) { return x < 10 ? 0 : 0xFFFFFF; });
    picture_fixture::write_skin(device,
                                {testing_support::ZipEntry("half.bmp", picture_fixture::bmp_of(half)),
                                 testing_support::ZipEntry("half_1.bmp", picture_fixture::bmp_of(mask))},
                                {{"half.bmp", picture_fixture::bmp_of(half)},
                                 {"half_1.bmp", picture_fixture::bmp_of(mask)},
                                 {"red.png", solid_png(8, 8, red)},
                                 {"green.png", solid_png(8, 8, green)},
                                 {"yellow.png", solid_png(8, 8, yellow)},
                                 {"blue.png", solid_png(8, 8, blue)},
                                 {"digit.png", solid_png(10, 16, white)},
                                 {"colon.png", solid_png(4, 16, white)},
                                 {"tall.png", solid_png(10, 20, white)},
                                 {"wide.png", solid_png(200, 100, green)},
                                 {"square.png", solid_png(40, 40, green)}});
    std::string const body =
        "<screens><screen width=\"240\" height=\"320\"/></screens><pictures>"
        "<picture name=\"half\"/><picture name=\"red\"/><picture name=\"green\"/><picture name=\"yellow\"/>"
        "<picture name=\"blue\"/><picture name=\"digit\"/><picture name=\"colon\"/><picture name=\"tall\"/>"
        "<picture name=\"wide\"/><picture name=\"square\"/></pictures>"
        "<fonts><font description=\"14 1 0 0 Tahoma\"/></fonts>" +
        forms;
    skin_compiler::SkinSource parsed;
    skin_compiler::Diagnostics diagnostics;
    auto image =
        skin_compiler::compile_skin(skin_test::source(body), device.host_path("skins/Test"), parsed, diagnostics);
    for (auto const& error : diagnostics.errors) ADD_FAILURE() << "line " << error.line << ": " << error.message;
    properties = std::make_unique<skinner::Properties>(std::make_unique<skinner::PropertiesImpl>(
        std::move(image), u"\\skins\\Test\\Test.skin", screen));
    ASSERT_TRUE(properties->is_loaded());
}

}  // namespace form_test
