#include "skin/form_impl.h"

#include <algorithm>
#include <map>
#include <vector>

#include "foundation/application.h"
#include "foundation/log.h"
#include "foundation/registry.h"
#include "platform/gdi.h"
#include "platform/datetime.h"
#include "platform/kernel.h"
#include "skin/canvas.h"
#include "skin/control.h"
#include "skin/form.h"
#include "skin/button_impl_soft_keys.h"
#include "skin/menu_manager_impl.h"
#include "skin/shell_calls.h"

namespace skinner {

namespace {

constexpr UINT cyan = RGB(0, 255, 255);
constexpr COLORREF magenta = RGB(255, 0, 255);
constexpr WPARAM spi_setworkarea = 47;
constexpr WPARAM settings_changed_full_screen = 224;
constexpr WPARAM settings_changed_work_area = 0x3002;
constexpr LPARAM gcs_resultstr = 0x800;
constexpr WPARAM size_minimized = 1;

HINSTANCE program_instance() {
    os::Application* const application = os::Application::instance();
    return application ? application->get_instance_handle() : nullptr;
}

// The form windows and the procedures they had before the form took them over.
struct Subclassed {
    FormImpl* impl;
    WNDPROC previous;
};
std::map<HWND, Subclassed>& subclassed() {
    static std::map<HWND, Subclassed> windows;
    return windows;
}

LRESULT form_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto const found = subclassed().find(window);
    if (found == subclassed().end()) return DefWindowProcW(window, message, wparam, lparam);
    Subclassed const entry = found->second;
    if (message == WM_NCDESTROY) subclassed().erase(found);
    bool handled = false;
    LRESULT result = 0;
    if (entry.impl) result = entry.impl->on_message(message, wparam, lparam, handled);
    if (handled) return result;
    return CallWindowProcW(entry.previous, window, message, wparam, lparam);
}

Point point_of(LPARAM lparam) {
    return {static_cast<std::int16_t>(lparam & 0xFFFF), static_cast<std::int16_t>((lparam >> 16) & 0xFFFF)};
}

// The key and its character for the form window, sent after a key down or a character.
void send_key_and_char(const MSG& message) {
    if (message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN) {
        MSG next{};
        WPARAM character = 0;
        if (PeekMessageW(&next, nullptr, WM_CHAR, WM_CHAR, PM_REMOVE)) character = next.wParam;
        if (character < 32) character = 0;
        SendMessageW(message.hwnd, WM_KEY_AND_CHAR, message.wParam, static_cast<LPARAM>(character));
    } else if (message.message == WM_CHAR) {
        WPARAM const character = message.wParam < 32 ? 0 : message.wParam;
        SendMessageW(message.hwnd, WM_KEY_AND_CHAR, message.wParam, static_cast<LPARAM>(character));
    }
}

std::u16string window_title(HWND window) {
    char16_t text[256] = {};
    int const length = GetWindowTextW(window, text, 256);
    return std::u16string(text, static_cast<std::size_t>(std::max(length, 0)));
}

}  // namespace

std::u16string form_class_name() {
    if (os::Application* const application = os::Application::instance()) {
        return application->get_window_class_name();
    }
    return u"SkinnerClass_";
}

void FormImpl::register_class() {
    static std::u16string name;
    name = form_class_name();
    WNDCLASSW window_class{};
    window_class.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = program_instance();
    window_class.lpszClassName = name.c_str();
    RegisterClassW(&window_class);
}

FormImpl::FormImpl(Form* owner, bool popup, bool visible) : popup_(popup), flicker_(read_flicker()) {
    register_class();
    DWORD style = WS_CLIPCHILDREN | (owner ? WS_POPUP : WS_SYSMENU);
    if (visible) style |= WS_VISIBLE;
    std::u16string const class_name = form_class_name();
    // The task bar names the window in front: a drop-down or dialog goes by its owner's name.
    std::u16string const title = owner ? window_title(owner->get_window()) : u"Loading...";
    window_ = CreateWindowExW(0, class_name.c_str(), title.c_str(), style, CW_USEDEFAULT, 0, CW_USEDEFAULT, 0,
                              owner ? owner->get_window() : nullptr, nullptr, program_instance(), nullptr);
    UpdateWindow(window_);
    adopt();
}

FormImpl::FormImpl(HWND window, bool popup) : window_(window), popup_(popup), flicker_(read_flicker()) { adopt(); }

void FormImpl::adopt() {
    if (!window_) return;
    auto const previous = reinterpret_cast<WNDPROC>(GetWindowLongW(window_, GWL_WNDPROC));
    subclassed()[window_] = {this, previous};
    SetWindowLongW(window_, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&form_procedure));
}

FormImpl::~FormImpl() {
    auto const found = subclassed().find(window_);
    if (found != subclassed().end()) found->second.impl = nullptr;
    if (window_) DestroyWindow(window_);
    if (back_buffer_) DeleteObject(back_buffer_);
}

void FormImpl::bring_to_front() {
    if (IsWindowEnabled(window_)) {
        SetForegroundWindow(window_);
        return;
    }
    struct Search {
        HWND parent;
        HWND found = nullptr;
    } search{window_};
    EnumWindows(
        [](HWND candidate, LPARAM parameter) -> BOOL {
            auto* const wanted = reinterpret_cast<Search*>(parameter);
            if (GetParent(candidate) != wanted->parent || !IsWindowEnabled(candidate)) return TRUE;
            wanted->found = candidate;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    if (search.found) SetForegroundWindow(search.found);
}

void FormImpl::invalidate(Point position, Size size) {
    if (dirty_size_.width == 0 && dirty_size_.height == 0) {
        dirty_position_ = position;
        dirty_size_ = size;
        return;
    }
    int const left = std::min(dirty_position_.x, position.x);
    int const top = std::min(dirty_position_.y, position.y);
    int const right = std::max(dirty_position_.x + dirty_size_.width, position.x + size.width);
    int const bottom = std::max(dirty_position_.y + dirty_size_.height, position.y + size.height);
    dirty_position_ = {left, top};
    dirty_size_ = {right - left, bottom - top};
}

void FormImpl::reset_paint() {
    if (form_) {
        dirty_position_ = {0, 0};
        dirty_size_ = form_->get_size();
    }
    if (back_buffer_) {
        DeleteObject(back_buffer_);
        back_buffer_ = nullptr;
    }
    if (window_) InvalidateRect(window_, nullptr, FALSE);
}

LRESULT FormImpl::on_message(UINT message, WPARAM wparam, LPARAM lparam, bool& handled) {
    if (!form_) return 0;
    switch (message) {
    case WM_SIZE:
        if (wparam != size_minimized) {
            form_->Container::set_rect({0, 0}, {static_cast<std::int16_t>(lparam & 0xFFFF),
                                                static_cast<std::int16_t>((lparam >> 16) & 0xFFFF)});
            form_->reset_paint();
        }
        break;
    case WM_ACTIVATE:
        if ((wparam & 0xFFFF) == WA_INACTIVE) {
            form_->set_has_focus(false);
        } else {
            form_->set_has_focus(true);
            form_->layout();
        }
        break;
    case WM_SETFOCUS: handled = true; return 0;
    case WM_ERASEBKGND: handled = true; return 1;
    case WM_PAINT: handled = true; on_paint(); return 0;
    case WM_CLOSE: handled = true; on_close(); return 0;
    case WM_SETTINGCHANGE:
    case WM_CHECK_SCREEN: on_setting_change(wparam); break;
    case WM_COPYDATA: on_copy_data(lparam); break;
    case WM_KEYUP:
    case WM_SYSKEYUP: form_->on_keyup(map_virtual_key(wparam)); break;
    case WM_KEY_AND_CHAR: {
        bool taken = false;
        if (lparam != 0) taken = form_->on_char(std::u16string(1, static_cast<char16_t>(lparam)), 0);
        if (!taken) form_->on_keydown(map_virtual_key(wparam));
        break;
    }
    case WM_IME_COMPOSITION: on_ime_composition(lparam); return 0;
    case WM_LBUTTONDOWN: on_left_button_down(point_of(lparam)); break;
    case WM_LBUTTONDBLCLK: on_stylus_down(0, point_of(lparam), true); break;
    case WM_LBUTTONUP: on_stylus_up(0, point_of(lparam)); break;
    case WM_MOUSEMOVE: form_->on_stylus_move(point_of(lparam), 0); break;
    case WM_CAPTURECHANGED: on_capture_changed(lparam); break;
    case WM_TIMER: form_->on_timer_broadcast(wparam); break;
    default: break;
    }
    return 0;
}

void FormImpl::on_setting_change(WPARAM wparam) {
    if (wparam == settings_changed_work_area || wparam == spi_setworkarea) {
        form_->on_command(u"#ScreenResolution#");
        form_->layout();
    } else if (wparam == settings_changed_full_screen) {
        form_->layout();
    }
}

void FormImpl::on_copy_data(LPARAM lparam) {
    auto const* const data = reinterpret_cast<const COPYDATASTRUCT*>(lparam);
    if (!data || data->dwData != 0) return;
    std::size_t const units = data->cbData / 2;
    std::u16string text(units, u'\0');
    if (units != 0 && data->lpData) std::copy_n(static_cast<const char16_t*>(data->lpData), units, text.begin());
    form_->bring_to_front(text);
}

void FormImpl::on_ime_composition(LPARAM lparam) {
    if ((lparam & gcs_resultstr) == 0) return;
    shell::Composition const result = shell::composition_result(window_);
    // A failed or empty read passes nothing on: an empty text would clear an edit field.
    if (result.byte_length <= 0) return;
    std::size_t const units = std::min<std::size_t>(static_cast<std::size_t>(result.byte_length) / 2, result.text.size());
    if (units == 0) return;
    form_->on_char(result.text.substr(0, units), 0);
}

void FormImpl::on_left_button_down(Point point) {
    if (form_->get_gestures_at(point) && shell::recognize_gesture(window_, point) == shell::GN_CONTEXTMENU) {
        form_->on_button2_down(point, 0);
        form_->on_button2_up(point, 0);
        return;
    }
    on_stylus_down(0, point, false);
}

void FormImpl::on_stylus_down(int index, Point point, bool double_click) {
    if (!button_down_[0] && !button_down_[1] && !button_down_[2] && !popup_) SetCapture(window_);
    button_down_[index] = true;
    double_click_[index] = double_click;
    last_up_ = {-1, -1};
    if (popup_) {
        POINT screen{point.x, point.y};
        ClientToScreen(window_, &screen);
        RECT rect{};
        GetWindowRect(window_, &rect);
        bool const inside = screen.x >= rect.left && screen.x < rect.right && screen.y >= rect.top && screen.y < rect.bottom;
        if (!inside) {
            form_->close();
            return;
        }
    }
    form_->on_button_down(index, point, double_click ? 1 : 0);
}

void FormImpl::on_stylus_up(int index, Point point) {
    if (!popup_) {
        last_up_ = point;
        bool other_down = false;
        for (int other = 0; other < 3; ++other) other_down |= other != index && button_down_[other];
        if (!other_down) ReleaseCapture();
    }
    if (!form_ || !button_down_[index]) return;
    button_down_[index] = false;
    form_->on_button_up(index, point, double_click_[index] ? 1 : 0);
}

void FormImpl::on_capture_changed(LPARAM new_owner) {
    os::get_log() << "WM_CAPTURECHANGED\n";
    for (int index = 0; index < 3; ++index) {
        if (!button_down_[index]) continue;
        button_down_[index] = false;
        form_->on_button_up(index, last_up_, double_click_[index] ? 1 : 0);
    }
    if (popup_ && reinterpret_cast<HWND>(new_owner) != window_) {
        os::get_log() << "ComboForm WM_CLOSE sent\n";
        SendMessageW(window_, WM_CLOSE, 0, 0);
    }
}

void FormImpl::on_close() {
    os::get_log() << GetTickCount() << " WM_CLOSE received\n";
    if (popup_) {
        Form* const owner = form_->get_owner();
        SetFocus(owner ? owner->get_window() : nullptr);
        PostMessageW(window_, WM_END_MODAL, 0, 0);
        return;
    }
    if (!form_->can_close()) return;
    HWND const parent = GetParent(window_);
    PostMessageW(window_, WM_END_MODAL, 0, 0);
    if (parent) SetForegroundWindow(parent);
    ShowWindow(window_, SW_HIDE);
}

void FormImpl::set_form(Form* form) {
    menu_manager_.reset();
    form_ = form;
    if (form_ && window_) menu_manager_ = std::make_unique<MenuManagerImplPocket>(form_, has_soft_keys());
}

void FormImpl::on_paint() {
    if (menu_manager_) menu_manager_->update();
    PAINTSTRUCT paint{};
    HDC const dc = BeginPaint(window_, &paint);
    RECT client{};
    GetClientRect(window_, &client);
    if (dc) {
        if (flicker_) {
            paint_direct(dc, client);
        } else {
            paint_buffered(dc, client);
        }
    }
    EndPaint(window_, &paint);
}

void FormImpl::paint_buffered(HDC dc, const RECT& client) {
    int const width = client.right - client.left;
    int const height = client.bottom - client.top;
    HDC const memory = CreateCompatibleDC(dc);
    if (!back_buffer_) {
        back_buffer_ = CreateCompatibleBitmap(dc, std::max(width, 1), std::max(height, 1));
        dirty_position_ = {0, 0};
        dirty_size_ = form_->get_size();
        HGDIOBJ const old = SelectObject(memory, back_buffer_);
        HBRUSH const brush = CreateSolidBrush(cyan);
        RECT const whole{0, 0, width, height};
        FillRect(memory, &whole, brush);
        DeleteObject(brush);
        SelectObject(memory, old);
    }
    HGDIOBJ const old = SelectObject(memory, back_buffer_);
    if (dirty_size_.width != 0 || dirty_size_.height != 0) {
        CanvasImpl impl(memory, POINT{dirty_position_.x, dirty_position_.y}, POINT{dirty_size_.width, dirty_size_.height});
        Canvas canvas(&impl);
        Size const size = form_->get_size();
        form_->get_background().draw(canvas, POINT{0, 0}, POINT{size.width, size.height});
        form_->paint_controls(canvas, dirty_position_, dirty_size_);
        dirty_size_ = {0, 0};
    }
    BitBlt(dc, client.left, client.top, width, height, memory, client.left, client.top, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

void FormImpl::paint_direct(HDC dc, const RECT& client) {
    int left = client.left, top = client.top, right = client.right, bottom = client.bottom;
    if (dirty_size_.width != 0 || dirty_size_.height != 0) {
        left = std::min(left, dirty_position_.x);
        top = std::min(top, dirty_position_.y);
        right = std::max<int>(right, dirty_position_.x + dirty_size_.width);
        bottom = std::max<int>(bottom, dirty_position_.y + dirty_size_.height);
    }
    Point const position{left, top};
    Size const area{right - left, bottom - top};
    CanvasImpl impl(dc, POINT{position.x, position.y}, POINT{area.width, area.height});
    Canvas canvas(&impl);
    canvas.fill_rect(POINT{position.x, position.y}, POINT{area.width, area.height}, magenta);
    Size const size = form_->get_size();
    form_->get_background().draw(canvas, POINT{0, 0}, POINT{size.width, size.height});
    form_->paint_controls(canvas, position, area);
    dirty_size_ = {0, 0};
}

bool dispatch_message(const MSG& message) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
    if (message.message == WM_END_MODAL) return false;
    send_key_and_char(message);
    return true;
}

void message_loop() {
    MSG message{};
    for (;;) {
        BOOL const got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            // Inside a modal loop: hand the quit on so that the loop outside ends too.
            if (Form::get_current_modal()) PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (got < 0 || !dispatch_message(message)) return;
    }
}

void process_pending_messages() {
    MSG message{};
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        if (!dispatch_message(message)) return;
    }
}

int map_virtual_key(WPARAM key) {
    switch (key) {
    case VK_SHIFT: return KEY_SHIFT;
    case VK_CONTROL: return KEY_CONTROL;
    case VK_MENU: return KEY_ALT;
    case VK_LEFT: return KEY_LEFT;
    case VK_RIGHT: return KEY_RIGHT;
    case VK_UP: return KEY_UP;
    case VK_DOWN: return KEY_DOWN;
    case VK_ESCAPE: return KEY_ESCAPE;
    case VK_RETURN: return KEY_RETURN;
    case 32: return KEY_SPACE;
    case 8: return KEY_BACK;
    case 46: return KEY_DELETE;
    case 45: return KEY_INSERT;
    case 36: return KEY_HOME;
    case 35: return KEY_END;
    case 34: return KEY_NEXT;
    case 33: return KEY_PRIOR;
    case 9: return KEY_TAB;
    case 93: return KEY_APPS;
    default: break;
    }
    if (key >= 'A' && key <= 'Z') return KEY_A + static_cast<int>(key - 'A');
    if (key >= '0' && key <= '9') return KEY_0 + static_cast<int>(key - '0');
    return KEY_NONE;
}

bool is_key_down(int key) {
    switch (key) {
    case KEY_SHIFT: return GetKeyState(VK_SHIFT) < 0;
    case KEY_CONTROL: return GetKeyState(VK_CONTROL) < 0;
    case KEY_ALT: return GetKeyState(VK_MENU) < 0;
    default: return false;
    }
}

bool read_flicker() {
    DWORD value = 0;
    os::read_registry_dword(u"HKEY_CURRENT_USER\\Software\\XELO", u"Flicker", value);
    return value != 0;
}

Size get_screen_size() {
    HDC const dc = GetDC(nullptr);
    Size const size{GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES)};
    ReleaseDC(nullptr, dc);
    return size;
}

void get_work_area(bool with_input_panel, Point& origin, Size& size) {
    Size const screen = get_screen_size();
    bool const full = is_full_screen();
    int const top = full ? 0 : (screen.width == 480 || screen.width == 640) ? 52 : 26;
    origin = {0, top};
    RECT visible{};
    if (with_input_panel && !full && shell::input_panel_visible_desktop(visible)) {
        size = {visible.right, visible.bottom - top};
        return;
    }
    size = {screen.width, screen.height - 2 * top};
}

}  // namespace skinner
