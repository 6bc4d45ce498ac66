// Edit fields on a small compiled skin: a framed field picture per state, a selection
// picture and one font; a form that logs text changes and counts key-ups, and keys pressed
// on the device's screen as a user presses them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/clipboard.h"
#include "platform/windows.h"
#include "skin/edit.h"
#include "tests/skin/form_fixture.h"

namespace edit_test {

using form_test::Log;

// Field pictures are 24 x 24 with a 3-pixel frame; the selection is solid.
constexpr std::uint32_t field_white = 0xFFFFFF, selection_blue = 0x3366CC, readonly_grey = 0xD0D0D0;

// Logs "text NAME" for a text change and "click NAME" for a click; counts the key-ups.
class EditForm : public form_test::TestForm {
public:
    EditForm(skinner::Properties* properties, const std::u16string& name, Log& log);
    void on_text_changed(skinner::Control* sender) override;
    bool on_keyup(int key) override;

    int keyups = 0;

private:
    Log& log_;
};

class EditTest : public form_test::FormTest {
protected:
    explicit EditTest(const char* screen_size = "240x320", bool shell = false) : FormTest(screen_size, shell) {}
    void TearDown() override;

    // The form "Edits" (240 x 120) with the field "ed" at (10, 10), 120 x 24 (BorderMin 4, 3),
    // the records added to its own; then the form and the field are made.
    void make_edit(const std::string& records = "", int width = 120);
    // The form in front with the field focused.
    void focus();
    // Holds the modifiers, presses the key and lets them go on the device's screen, then
    // waits until the form heard every key go up.
    void keys(const std::vector<UINT>& held, UINT vk, char16_t character = 0);
    // The text with the caret as "|" and, when apart from it, the anchor as "^": "a^bc|d".
    std::string state() const;
    // Sets the text, anchor and caret from the same notation.
    void set(const std::string& marked);

    std::unique_ptr<EditForm> form;
    std::unique_ptr<skinner::ControlEdit> edit;
    int scale = 1;
};

// The clipboard's Unicode text bytes as they are (empty when it holds none).
std::string clipboard_bytes();
// Puts the bytes on the clipboard as Unicode text (or as another format).
void put_clipboard(const std::string& bytes, UINT format = CF_UNICODETEXT);
// The bytes of a text with its terminator, as the clipboard keeps it.
std::string unicode_bytes(const std::u16string& text, bool terminated = true);

}  // namespace edit_test
