// The window of a form: it turns the platform's messages into container events, paints
// double-buffered, and holds the stylus capture from the first button down to the last up.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/nocopy.h"
#include "platform/gdi.h"
#include "platform/messages.h"
#include "platform/windows.h"
#include "skin/geometry.h"

namespace skinner {

class Form;

// The private message that carries a key and its character from the message pump.
constexpr UINT WM_KEY_AND_CHAR = 0x402;
// Makes a form check the screen again, as WM_SETTINGCHANGE does.
constexpr UINT WM_CHECK_SCREEN = 0x404;

class MenuManagerImpl;

class FormImpl : private liba::Nocopy {
public:
    // A new window of the program's form class, a popup of the owner's window when there is one.
    FormImpl(Form* owner, bool popup, bool visible);
    // Adopts a window made elsewhere.
    FormImpl(HWND window, bool popup);
    ~FormImpl();

    static void register_class();

    // The form this window shows; the form sets it when it is built and clears it when it goes.
    // It also makes (and with null ends) the form's menu bar manager.
    void set_form(Form* form);
    Form* get_form() const { return form_; }
    MenuManagerImpl* get_menu_manager() const { return menu_manager_.get(); }
    HWND get_window() const { return window_; }
    bool is_popup() const { return popup_; }
    bool get_flicker() const { return flicker_; }
    void bring_to_front();

    // The pending dirty rectangle, grown by invalidate_rect.
    void invalidate(Point position, Size size);
    void reset_paint();
    Point get_dirty_position() const { return dirty_position_; }
    Size get_dirty_size() const { return dirty_size_; }

    // The window-state words that the placement reads (0: nothing held).
    void set_size_held(bool held) { size_held_ = held; }
    void set_position_held(bool held) { position_held_ = held; }
    bool is_size_held() const { return size_held_; }
    bool is_position_held() const { return position_held_; }
    void set_maximize_box(bool on) { maximize_box_ = on; }
    void set_minimize_box(bool on) { minimize_box_ = on; }
    bool has_maximize_box() const { return maximize_box_; }
    bool has_minimize_box() const { return minimize_box_; }

    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam, bool& handled);

private:
    void adopt();
    void on_paint();
    void paint_buffered(HDC dc, const RECT& client);
    void paint_direct(HDC dc, const RECT& client);
    void on_close();
    void on_stylus_down(int index, Point point, bool double_click);
    void on_stylus_up(int index, Point point);
    void on_capture_changed(LPARAM new_owner);
    void on_left_button_down(Point point);
    void on_copy_data(LPARAM lparam);
    void on_ime_composition(LPARAM lparam);
    void on_setting_change(WPARAM wparam);

    Form* form_ = nullptr;
    std::unique_ptr<MenuManagerImpl> menu_manager_;
    HWND window_ = nullptr;
    bool popup_ = false;
    bool flicker_ = false;
    HBITMAP back_buffer_ = nullptr;
    Point dirty_position_;
    Size dirty_size_;
    bool button_down_[3] = {false, false, false};
    bool double_click_[3] = {false, false, false};
    Point last_up_ = {-1, -1};
    bool size_held_ = false;
    bool position_held_ = false;
    bool maximize_box_ = false;
    bool minimize_box_ = false;
};

// Translates and dispatches one message; false exactly for the private message 0x421. After
// a key down it sends the key with its character as 0x402.
bool dispatch_message(const MSG& message);
// Until WM_QUIT or 0x421.
void message_loop();
// Until the queue is empty or 0x421.
void process_pending_messages();

// The skinner key code of a virtual key; 0 for keys without one.
int map_virtual_key(WPARAM virtual_key);
// Codes 1, 2, 3: whether Shift, Control, Alt is held; false for every other code.
bool is_key_down(int key);
bool read_flicker();
Size get_screen_size();
// The part of the screen forms may use, with or without the input panel taken into account.
void get_work_area(bool with_input_panel, Point& origin, Size& size);
constexpr bool is_smartphone() { return false; }
// The window class name of the forms: "SkinnerClass_" + the application's name.
std::u16string form_class_name();

}  // namespace skinner
