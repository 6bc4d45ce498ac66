#include "tests/skin/form_fixture.h"

#include <cstdint>
#include <filesystem>
#include <thread>

#include "platform/linux/user/screen_windows.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "skin/form_impl.h"
#include "skin/properties_impl.h"
#include "skin/skin_resources.h"
#include "tests/skin/picture_fixture.h"
#include "tests/skin/skin_fixture.h"
#include "tests/support/eventually.h"
#include "tools/skin_compiler/skin_compiler.h"

namespace form_test {

namespace {

std::string point_text(skinner::Point point) { return std::to_string(point.x) + "," + std::to_string(point.y); }

std::string narrow(const std::u16string& text) { return {text.begin(), text.end()}; }

}  // namespace

ProbeControl::ProbeControl(skinner::Container* container, const std::string& name, Log& log, std::uint32_t colour,
                           int lookup_mode)
    : skinner::Control(container, std::u16string(name.begin(), name.end()), lookup_mode),
      colour(colour),
      log_(log),
      label_(name) {}

ProbeControl::~ProbeControl() = default;

void ProbeControl::note(const std::string& what) { log_.push_back(label_ + " " + what); }

void ProbeControl::note_point(const std::string& what, skinner::Point point, unsigned flags) {
    note(what + " " + point_text(point) + " " + std::to_string(flags));
}

void ProbeControl::paint(skinner::Canvas& canvas, skinner::Point clip_position, skinner::Size clip_size) {
    note("paint");
    skinner::Point const p = get_position();
    skinner::Size const s = get_rect_size();
    COLORREF const fill = RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
    canvas.fill_rect(POINT{p.x, p.y}, POINT{s.width, s.height}, fill);
    skinner::Control::paint(canvas, clip_position, clip_size);
}

void ProbeControl::on_stylus_down(skinner::Point point, unsigned flags) { note_point("down", point, flags); }
void ProbeControl::on_stylus_up(skinner::Point point, unsigned flags) { note_point("up", point, flags); }
void ProbeControl::on_stylus_move(skinner::Point point, unsigned flags) { note_point("move", point, flags); }
void ProbeControl::on_button2_down(skinner::Point point, unsigned flags) { note_point("context-down", point, flags); }
void ProbeControl::on_button2_up(skinner::Point point, unsigned flags) { note_point("context-up", point, flags); }
void ProbeControl::on_button3_up(skinner::Point point, unsigned flags) { note_point("middle-up", point, flags); }

bool ProbeControl::on_char(const std::u16string& text, unsigned) {
    note("char " + narrow(text));
    return takes_chars;
}

bool ProbeControl::on_keydown(int key) {
    note("keydown " + std::to_string(key));
    return takes_keys;
}

bool ProbeControl::on_keyup(int key) {
    note("keyup " + std::to_string(key));
    return takes_keys;
}

void ProbeControl::on_timer(UINT_PTR id, WPARAM) { note("timer " + std::to_string(id)); }
void ProbeControl::on_focus_gained() { note("focus"); }
void ProbeControl::on_focus_lost(skinner::Control*) { note("blur"); }

TestForm::TestForm(skinner::Form* owner, skinner::Properties* properties, const std::u16string& name, Log& log)
    : skinner::Form(owner, properties, name, nullptr), log_(log) {}

TestForm::~TestForm() = default;

void TestForm::on_click(skinner::Control* sender) { log_.push_back("click " + narrow(sender->get_name())); }

bool TestForm::on_command(const std::u16string& command) {
    log_.push_back("command " + narrow(command));
    return skinner::Form::on_command(command);
}

void TestForm::bring_to_front(const std::u16string& text) { log_.push_back("front " + narrow(text)); }

std::string form_xml(const std::string& name, int width, int height, const std::string& inside, int x, int y) {
    return "<form name=\"" + name + "\"><point name=\"Size\" x=\"" + std::to_string(width) + "\" y=\"" +
           std::to_string(height) + "\"/><point name=\"Position\" x=\"" + std::to_string(x) + "\" y=\"" +
           std::to_string(y) + "\"/>" + inside + "</form>";
}

std::string control_xml(const std::string& name, int x, int y, int width, int height, const std::string& more) {
    return "<control name=\"" + name + "\"><point name=\"Position\" x=\"" + std::to_string(x) + "\" y=\"" +
           std::to_string(y) + "\"/><point name=\"Size\" x=\"" + std::to_string(width) + "\" y=\"" +
           std::to_string(height) + "\"/>" + more + "</control>";
}

FormTest::FormTest() : FormTest("240x320") {}

FormTest::FormTest(const char* screen_size, bool shell) : screen(screen_size, shell) {
    picture_fixture::use_stb_loader();
}

FormTest::~FormTest() = default;

void FormTest::use_skin(const std::string& forms) {
    using picture_fixture::image_of;
    // A masked picture is white where its mask is black (see-through).
    auto const half = image_of(20, 20, [](int x, int) { return x < 10 ? 0xFFFFFF : 0xFF0000; });
    auto const mask = image_of(20, 20, [](int x, int) { return x < 10 ? 0 : 0xFFFFFF; });
    auto const back = image_of(16, 16, [](int, int) { return 0x0000FF; });
    // The archive holds the masked picture; the compiler reads the files beside it.
    picture_fixture::write_skin(device,
                                {testing_support::ZipEntry("half.bmp", picture_fixture::bmp_of(half)),
                                 testing_support::ZipEntry("half_1.bmp", picture_fixture::bmp_of(mask))},
                                {{"half.bmp", picture_fixture::bmp_of(half)},
                                 {"half_1.bmp", picture_fixture::bmp_of(mask)},
                                 {"back.png", picture_fixture::png_of(back)}});
    std::string const body = "<screens><screen width=\"240\" height=\"320\"/></screens>"
                             "<pictures><picture name=\"half\"/><picture name=\"back\"/></pictures>"
                             "<fonts><font description=\"14 1 0 0 Tahoma\"/></fonts>" +
                             forms;
    skin_compiler::SkinSource parsed;
    skin_compiler::Diagnostics diagnostics;
    auto image = skin_compiler::compile_skin(skin_test::source(body), device.host_path("skins/Test"), parsed, diagnostics);
    for (auto const& error : diagnostics.errors) ADD_FAILURE() << "line " << error.line << ": " << error.message;
    properties = std::make_unique<skinner::Properties>(std::make_unique<skinner::PropertiesImpl>(
        std::move(image), u"\\skins\\Test\\Test.skin", skinner::Size{240, 320}));
    ASSERT_TRUE(properties->is_loaded());
}

bool FormTest::pump_until(const std::function<bool()>& done) { return pump_forms_until(done); }

bool FormTest::pump_until_in_front(HWND window, HWND focus) {
    return pump_forms_until_in_front(screen, window, focus);
}

platform::screen::ScreenPicture FormTest::painted() {
    auto const nothing_to_paint = [] {
        for (skinner::Form* form : skinner::Form::get_forms()) {
            RECT rect;
            if (GetUpdateRect(form->get_window(), &rect, FALSE)) return false;
        }
        return true;
    };
    // The queue is drained whole each time, so the platform hears that this thread is idle.
    // Input can still be on its way (the up of a tap whose down was all a test waited for):
    // it keeps this thread busy for the screen until it is pumped too.
    auto const drained_and_idle = [&] {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) skinner::dispatch_message(message);
        return nothing_to_paint() && platform::detail::sync_screen() && screen.control().wait_idle(5);
    };
    EXPECT_TRUE(testing_support::eventually(drained_and_idle));
    EXPECT_TRUE(nothing_to_paint());
    return screen.screenshot();
}

void FormTest::post_action(std::function<void()> action) { actions_.post(std::move(action)); }

}  // namespace form_test
