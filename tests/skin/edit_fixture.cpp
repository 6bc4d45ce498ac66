#include "tests/skin/edit_fixture.h"

#include <cstring>

#include "platform/clipboard.h"
#include "platform/memory.h"
#include "skin/properties_impl.h"
#include "tests/skin/picture_fixture.h"
#include "tests/skin/skin_fixture.h"
#include "tools/skin_compiler/skin_compiler.h"

namespace edit_test {

namespace {

std::string narrow(const std::u16string& text) { return {text.begin(), text.end()}; }

// A 24 x 24 field: the fill inside a frame of `frame` pixels.
std::string field_png(std::uint32_t fill, std::uint32_t border, int frame) {
    return picture_fixture::png_of(picture_fixture::image_of(24, 24, [=](int x, int y) {
        bool const edge = x < frame || y < frame || x >= 24 - frame || y >= 24 - frame;
        return edge ? border : fill;
    }));
}

std::string field_picture(const std::string& key, const std::string& image) {
    return "<picture name=\"" + key + "\" image=\"" + image + "\" outer=\"0 0 24 24\" inner=\"3 3 21 21\" stretch=\"1\"/>";
}

}  // namespace

EditForm::EditForm(skinner::Properties* properties, const std::u16string& name, Log& log)
    : TestForm(nullptr, properties, name, log), log_(log) {}

void EditForm::on_text_changed(skinner::Control* sender) { log_.push_back("text " + narrow(sender->get_name())); }

bool EditForm::on_keyup(int key) {
    ++keyups;
    return TestForm::on_keyup(key);
}

void EditTest::TearDown() {
    edit.reset();
    form.reset();
}

void EditTest::make_edit(const std::string& records, int width) {
    edit.reset();
    form.reset();
    scale = screen.control().metrics().dpi >= 192 ? 2 : 1;
    picture_fixture::write_skin(device, {},
                                {{"field.png", field_png(field_white, 0x808080, 1)},
                                 {"field_on.png", field_png(field_white, 0x3366CC, 2)},
                                 {"field_off.png", field_png(0xF0F0F0, 0xA0A0A0, 1)},
                                 {"field_ro.png", field_png(readonly_grey, 0x808080, 1)},
                                 {"mark.png", picture_fixture::png_of(picture_fixture::image_of(
                                                  8, 8, [](int, int) { return selection_blue; }))},
                                 {"back.png", picture_fixture::png_of(picture_fixture::image_of(
                                                  8, 8, [](int, int) { return 0xE8ECF1; }))}});
    std::string const field = field_picture("Normal", "field") + field_picture("Highlighted", "field_on") +
                              field_picture("Disabled", "field_off") + field_picture("Readonly", "field_ro") +
                              "<picture name=\"Selection\" image=\"mark\" stretch=\"1\"/>"
                              "<font name=\"Normal\" description=\"12 0 0 0 Tahoma\"/>"
                              "<color name=\"Normal\" value=\"#000000\"/><color name=\"Disabled\" value=\"#808080\"/>"
                              "<color name=\"Selection\" value=\"#FFFFFF\"/>"
                              "<point name=\"BorderMin\" x=\"4\" y=\"3\"/>";
    std::string const body =
        "<screens><screen width=\"240\" height=\"320\"/></screens>"
        "<pictures><picture name=\"field\"/><picture name=\"field_on\"/><picture name=\"field_off\"/>"
        "<picture name=\"field_ro\"/><picture name=\"mark\"/><picture name=\"back\"/></pictures>"
        "<fonts><font description=\"12 0 0 0 Tahoma\"/></fonts>" +
        form_test::form_xml("Edits", 240, 120,
                            "<picture name=\"Background\" image=\"back\" stretch=\"1\"/>" +
                                form_test::control_xml("ed", 10, 10, width, 24, field + records) +
                                form_test::control_xml("other", 10, 50, 120, 24, field +
                                                       "<string name=\"Text\" value=\"Second field\"/>")) +
        "<kind name=\"Field\">" + field + "</kind>";
    skin_compiler::SkinSource parsed;
    skin_compiler::Diagnostics diagnostics;
    auto image =
        skin_compiler::compile_skin(skin_test::source(body), device.host_path("skins/Test"), parsed, diagnostics);
    for (auto const& error : diagnostics.errors) ADD_FAILURE() << "line " << error.line << ": " << error.message;
    properties = std::make_unique<skinner::Properties>(std::make_unique<skinner::PropertiesImpl>(
        std::move(image), picture_fixture::skin_path, skinner::Size{240 * scale, 320 * scale}));
    ASSERT_TRUE(properties->is_loaded());
    form = std::make_unique<EditForm>(properties.get(), u"Edits", log);
    edit = std::make_unique<skinner::ControlEdit>(form.get(), u"ed");
}

void EditTest::focus() {
    SetForegroundWindow(form->get_window());
    form->set_has_focus(true);
    edit->set_focus();
    ASSERT_TRUE(edit->has_focus());
    painted();  // the screen knows the form is in front before a key is pressed
}

void EditTest::keys(const std::vector<UINT>& held, UINT vk, char16_t character) {
    auto& control = screen.control();
    int const expected = form->keyups + 1 + static_cast<int>(held.size());
    for (UINT key : held) EXPECT_TRUE(control.key(key, true));
    EXPECT_TRUE(control.press(vk, character));
    for (auto key = held.rbegin(); key != held.rend(); ++key) EXPECT_TRUE(control.key(*key, false));
    EXPECT_TRUE(pump_until([&] { return form->keyups >= expected; }));
}

std::string EditTest::state() const {
    std::string text = narrow(edit->get_text());
    auto const anchor = static_cast<std::size_t>(edit->get_anchor());
    auto const caret = static_cast<std::size_t>(edit->get_caret());
    if (anchor > caret) text.insert(anchor, "^");
    text.insert(caret, "|");
    if (anchor < caret) text.insert(anchor, "^");
    return text;
}

void EditTest::set(const std::string& marked) {
    std::u16string text;
    int anchor = -1, caret = 0;
    for (char c : marked) {
        if (c == '|') {
            caret = static_cast<int>(text.size());
        } else if (c == '^') {
            anchor = static_cast<int>(text.size());
        } else {
            text.push_back(static_cast<char16_t>(c));
        }
    }
    edit->set_text(text);
    edit->set_selection(anchor < 0 ? caret : anchor, caret);
}

std::string clipboard_bytes() {
    std::string bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    if (HANDLE const data = GetClipboardData(CF_UNICODETEXT)) {
        bytes.assign(static_cast<const char*>(data), LocalSize(data));
    }
    CloseClipboard();
    return bytes;
}

void put_clipboard(const std::string& bytes, UINT format) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HLOCAL const block = LocalAlloc(LMEM_MOVEABLE, bytes.size());
    ASSERT_NE(block, nullptr);
    std::memcpy(block, bytes.data(), bytes.size());
    EXPECT_NE(SetClipboardData(format, block), nullptr);
    CloseClipboard();
}

std::string unicode_bytes(const std::u16string& text, bool terminated) {
    std::u16string const units = terminated ? text + u'\0' : text;
    return {reinterpret_cast<const char*>(units.data()), units.size() * sizeof(char16_t)};
}

}  // namespace edit_test
