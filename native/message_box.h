// The message box: a modal window in the middle of the screen with a caption, the text
// broken into lines, an optional icon and the buttons its type asks for. While it is up its
// owner's top-level window is disabled, and its own loop keeps every other window's
// messages (timers, paints, sends from other processes) flowing.
//
// Keys: Left and Right move between the buttons, Enter answers the focused one (at first
// the default button), Escape answers as its cancel button would: IDCANCEL where there is
// one, IDNO for Yes/No (the answer that changes nothing), IDOK for a box with only OK, and
// IDABORT for Abort/Retry/Ignore.
#pragma once

#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/gdi.h"

namespace native {

constexpr LPCWSTR message_box_class_name = u"sonbrix_message_box";

class MessageBoxWindow {
public:
    MessageBoxWindow(HWND owner, std::u16string text, std::u16string caption, UINT type);
    ~MessageBoxWindow();
    MessageBoxWindow(const MessageBoxWindow&) = delete;
    MessageBoxWindow& operator=(const MessageBoxWindow&) = delete;

    // Shows the box and waits for the answer; 0 when the box could not be made.
    int run();

    LRESULT on_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

private:
    struct Button {
        int answer = 0;
        std::u16string text;
        RECT rect{};  // client coordinates
    };

    void lay_out();
    void paint(HWND window);
    void paint_icon(HDC dc) const;
    void paint_button(HDC dc, std::size_t index) const;
    void on_key(WPARAM key);
    void on_stylus(UINT message, POINT point);
    int button_at(POINT point) const;
    int escape_answer() const;
    void finish(int answer);
    void invalidate();

    HWND owner_;
    std::u16string text_;
    std::u16string caption_;
    UINT type_;
    int scale_;
    HFONT font_;
    HFONT caption_font_;
    HWND window_ = nullptr;
    std::vector<Button> buttons_;
    std::vector<std::u16string> lines_;
    RECT place_{};      // screen coordinates
    RECT icon_{};       // client coordinates; empty without an icon
    RECT text_area_{};  // client coordinates
    int line_height_ = 0;
    std::size_t focused_ = 0;
    int pressed_ = -1;
    bool pressed_inside_ = false;
    bool done_ = false;
    int answer_ = 0;
};

LRESULT message_box_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
void register_message_box_class();
// MessageBoxW's box on the screen; 0 when it could not be shown.
int show_message_box(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);

}  // namespace native
