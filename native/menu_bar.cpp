#include "native/menu_bar.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "native/drawing_kit.h"
#include "native/menu_bar_resource.h"
#include "platform/errors.h"
#include "platform/messages.h"
#include "platform/resources.h"
#include "platform/shell_ui.h"

namespace native {
namespace {

constexpr LPCWSTR bar_class = u"sonbrix_menu_bar";
constexpr int font_height_96_dpi = 12;
constexpr std::size_t smallest_info_size = 36;

int bottom_bar_height() {
    int const width = GetSystemMetrics(SM_CXSCREEN);
    return width == 480 || width == 640 ? 52 : 26;
}

HFONT bar_font(int scale) { return control_font(font_height_96_dpi, scale, true); }

// The owners whose procedure is hooked, so that their bars follow them.
struct OwnerHook {
    WNDPROC previous = nullptr;
    std::vector<HWND> bars;
};

struct OwnerHooks {
    std::mutex lock;
    std::unordered_map<HWND, OwnerHook> hooks;
};

OwnerHooks& owner_hooks() {
    static OwnerHooks the_hooks;
    return the_hooks;
}

LRESULT owner_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);

void hook_owner(HWND owner, HWND bar) {
    auto& hooks = owner_hooks();
    std::lock_guard guard(hooks.lock);
    auto found = hooks.hooks.find(owner);
    if (found == hooks.hooks.end()) {
        auto const previous = reinterpret_cast<WNDPROC>(GetWindowLongW(owner, GWL_WNDPROC));
        found = hooks.hooks.emplace(owner, OwnerHook{previous, {}}).first;
        SetWindowLongW(owner, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(&owner_procedure));
    }
    found->second.bars.push_back(bar);
}

// The hook stays (forwarding only) when another procedure was put over ours since.
void unhook_owner(HWND owner, HWND bar, bool owner_ending) {
    auto& hooks = owner_hooks();
    std::lock_guard guard(hooks.lock);
    auto const found = hooks.hooks.find(owner);
    if (found == hooks.hooks.end()) return;
    auto& bars = found->second.bars;
    bars.erase(std::remove(bars.begin(), bars.end(), bar), bars.end());
    bool const ours_on_top = GetWindowLongW(owner, GWL_WNDPROC) == reinterpret_cast<LONG_PTR>(&owner_procedure);
    if (owner_ending || (bars.empty() && ours_on_top)) {
        if (ours_on_top) SetWindowLongW(owner, GWL_WNDPROC, reinterpret_cast<LONG_PTR>(found->second.previous));
        hooks.hooks.erase(found);
    }
}

LRESULT owner_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    WNDPROC previous = nullptr;
    std::vector<HWND> bars;
    {
        auto& hooks = owner_hooks();
        std::lock_guard guard(hooks.lock);
        auto const found = hooks.hooks.find(window);
        if (found != hooks.hooks.end()) {
            previous = found->second.previous;
            bars = found->second.bars;
        }
    }
    LRESULT const result = previous ? CallWindowProcW(previous, window, message, wparam, lparam)
                                     : DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_SHOWWINDOW || message == WM_MOVE || message == WM_SIZE || message == WM_ACTIVATE) {
        for (HWND bar : bars) {
            if (MenuBar* const menu_bar = MenuBar::of(bar)) menu_bar->follow_owner(message, wparam);
        }
    }
    if (message == WM_NCDESTROY) unhook_owner(window, nullptr, true);
    return result;
}

LRESULT bar_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto const* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
        auto* const bar = static_cast<MenuBar*>(create->lpCreateParams);
        bar->attach(window);
        SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(bar));
        return TRUE;
    }
    MenuBar* const bar = MenuBar::of(window);
    if (!bar) return DefWindowProcW(window, message, wparam, lparam);
    if (message == WM_NCDESTROY) {
        SetWindowLongW(window, GWL_USERDATA, 0);
        delete bar;
        return 0;
    }
    return bar->on_message(message, wparam, lparam);
}

void register_bar_class() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = bar_procedure;
    window_class.lpszClassName = bar_class;
    RegisterClassW(&window_class);  // a second call finds it made
}

POINT point_of(LPARAM lparam) {
    return {static_cast<SHORT>(lparam & 0xFFFF), static_cast<SHORT>((lparam >> 16) & 0xFFFF)};
}

bool is_bar(HWND window) {
    WCHAR name[32] = {};
    return GetClassNameW(window, name, 32) > 0 && std::u16string_view(name) == bar_class;
}

}  // namespace

MenuBar::MenuBar(HWND owner, int scale) : owner_(owner), scale_(scale), font_(bar_font(scale)) {}

MenuBar* MenuBar::of(HWND window) {
    if (!window || !is_bar(window)) return nullptr;
    return reinterpret_cast<MenuBar*>(GetWindowLongW(window, GWL_USERDATA));
}

LRESULT MenuBar::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
    if (auto const answer = toolbar_.on_message(message, wparam, lparam)) {
        if (message == TB_DELETEBUTTON || message == TB_INSERTBUTTONW || message == TB_SETBUTTONINFOW || message == TB_ENABLEBUTTON) {
            if (pressed_ >= static_cast<int>(toolbar_.count())) pressed_ = -1;
            relayout();
        }
        return *answer;
    }
    switch (message) {
    case WM_PAINT: on_paint(); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: case WM_LBUTTONDBLCLK: on_stylus_down(point_of(lparam)); return 0;
    case WM_LBUTTONUP: on_stylus_up(point_of(lparam)); return 0;
    case WM_CAPTURECHANGED:
        if (pressed_ >= 0 && !opening_popup_) press(-1);
        return 0;
    case WM_SETTINGCHANGE: place(IsWindowVisible(window_) != FALSE); return 0;
    case WM_INITMENUPOPUP:
        // The popup of a drop-down button was announced with its command id already.
        if (reinterpret_cast<HMENU>(wparam) != opening_popup_ && IsWindow(owner_)) SendMessageW(owner_, message, wparam, lparam);
        return 0;
    case SHCMBM_OVERRIDEKEY:
        overridden_key_ = wparam;
        override_flags_ = lparam;
        return TRUE;
    case WM_DESTROY:
        unhook_owner(owner_, window_, false);
        if (font_) DeleteObject(font_);
        font_ = nullptr;
        return 0;
    default: return DefWindowProcW(window_, message, wparam, lparam);
    }
}

void MenuBar::follow_owner(UINT message, WPARAM wparam) {
    if (!IsWindow(window_)) return;
    if (message == WM_ACTIVATE) owner_active_ = (wparam & 0xFFFF) != WA_INACTIVE;
    bool const owner_shown = message == WM_SHOWWINDOW ? wparam != 0 : IsWindowVisible(owner_) != FALSE;
    place(owner_shown && owner_active_);
}

void MenuBar::place(bool shown) {
    int const scale = screen_scale();
    if (scale != scale_ || !font_) {
        if (font_) DeleteObject(font_);
        scale_ = scale;
        font_ = bar_font(scale);
    }
    int const height = bottom_bar_height();
    SetWindowPos(window_, HWND_TOP, 0, GetSystemMetrics(SM_CYSCREEN) - height, GetSystemMetrics(SM_CXSCREEN), height,
                 SWP_NOACTIVATE | (shown ? SWP_SHOWWINDOW : SWP_HIDEWINDOW));
    relayout();
}

void MenuBar::relayout() {
    HDC const dc = GetDC(nullptr);
    int const room = GetSystemMetrics(SM_CXSCREEN) - shell_input_panel_button_width();
    toolbar_.lay_out(dc, font_, bottom_bar_height(), scale_, room);
    if (dc) ReleaseDC(nullptr, dc);
    InvalidateRect(window_, nullptr, FALSE);
}

void MenuBar::on_paint() {
    PAINTSTRUCT paint;
    HDC const dc = BeginPaint(window_, &paint);
    if (dc) {
        RECT client{};
        GetClientRect(window_, &client);
        toolbar_.paint(dc, font_, client.right, client.bottom, scale_, pressed_);
    }
    EndPaint(window_, &paint);
}

void MenuBar::press(int index) {
    if (index == pressed_) return;
    pressed_ = index;
    InvalidateRect(window_, nullptr, FALSE);
}

void MenuBar::on_stylus_down(POINT point) {
    int const index = toolbar_.button_at(point);
    if (index < 0 || !toolbar_.button(index).is_enabled()) return;
    if (toolbar_.button(index).is_drop_down() && toolbar_.button(index).data) {
        open_popup(index);
        return;
    }
    press(index);
    SetCapture(window_);
}

void MenuBar::on_stylus_up(POINT point) {
    int const index = pressed_;
    if (index < 0) return;
    bool const chosen = toolbar_.button_at(point) == index && toolbar_.button(index).is_enabled();
    int const command = toolbar_.button(index).command;
    HWND const owner = owner_;
    press(-1);
    if (GetCapture() == window_) ReleaseCapture();
    if (chosen && IsWindow(owner)) SendMessageW(owner, WM_COMMAND, static_cast<WPARAM>(command & 0xFFFF), 0);
}

void MenuBar::open_popup(int index) {
    ToolbarButton const button = toolbar_.button(index);
    HMENU const popup = reinterpret_cast<HMENU>(button.data);
    HWND const window = window_;
    HWND const owner = owner_;
    press(index);
    UpdateWindow(window);
    opening_popup_ = popup;
    SendMessageW(owner, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), button.command);
    UINT_PTR chosen = 0;
    if (IsWindow(window)) {
        POINT corner{button.place.left, 0};
        ClientToScreen(window, &corner);
        chosen = static_cast<UINT_PTR>(TrackPopupMenuEx(popup, TPM_LEFTALIGN | TPM_BOTTOMALIGN | TPM_RETURNCMD, corner.x, corner.y, window, nullptr));
    }
    // The owner (and the bar with it) may have gone while the popup was open.
    if (IsWindow(window)) {
        opening_popup_ = nullptr;
        press(-1);
    }
    if (chosen && IsWindow(owner)) SendMessageW(owner, WM_COMMAND, static_cast<WPARAM>(chosen & 0xFFFF), 0);
}

}  // namespace native

using native::MenuBar;

namespace {

bool add_resource_buttons(MenuBar& bar, const SHMENUBARINFO& info) {
    HRSRC const resource = FindResourceW(info.hInstRes, MAKEINTRESOURCEW(static_cast<WORD>(info.nToolBarId)), RT_RCDATA);
    if (!resource || info.nToolBarId > 0xFFFF) {
        if (info.nToolBarId > 0xFFFF) SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return false;
    }
    auto const* bytes = static_cast<const char*>(LockResource(LoadResource(info.hInstRes, resource)));
    std::string problem;
    auto const layout = native::parse_menu_bar_resource(std::string_view(bytes ? bytes : "", bytes ? SizeofResource(info.hInstRes, resource) : 0), problem);
    if (!layout) {
        std::fprintf(stderr, "sonbrix: menu bar resource %u is damaged: %s\n", info.nToolBarId, problem.c_str());
        SetLastError(ERROR_INVALID_DATA);
        return false;
    }
    for (auto const& entry : layout->buttons) {
        native::ToolbarButton button;
        button.command = entry.command;
        button.image = entry.image;
        button.text = entry.text;
        button.style = entry.style;
        if (entry.style == TBSTYLE_DROPDOWN) {
            button.style = static_cast<BYTE>(TBSTYLE_DROPDOWN | BTNS_SHOWTEXT | (button.text.empty() ? 0 : TBSTYLE_AUTOSIZE));
            button.data = reinterpret_cast<DWORD_PTR>(CreatePopupMenu());
        }
        bar.toolbar().insert(bar.toolbar().count(), std::move(button));
    }
    return true;
}

}  // namespace

BOOL SHCreateMenuBar(SHMENUBARINFO* info) {
    if (!info || info->cbSize < native::smallest_info_size || !IsWindow(info->hwndParent)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->hwndMB = nullptr;
    native::register_bar_class();
    auto* const bar = new MenuBar(info->hwndParent, native::screen_scale());
    if (!(info->dwFlags & SHCMBF_EMPTYBAR) && !add_resource_buttons(*bar, *info)) {
        DWORD const error = GetLastError();
        delete bar;
        SetLastError(error);
        return FALSE;
    }
    HWND const window = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, native::bar_class, u"", WS_POPUP, 0, 0, 0, 0,
                                        info->hwndParent, nullptr, info->hInstRes, bar);
    if (!window) {
        delete bar;  // WM_NCCREATE did not take it
        return FALSE;
    }
    native::hook_owner(info->hwndParent, window);
    if (info->nBmpId && info->cBmpImages > 0) {
        HBITMAP const strip = LoadBitmapW(info->hInstRes, MAKEINTRESOURCEW(static_cast<WORD>(info->nBmpId)));
        BITMAP size{};
        if (strip && GetObjectW(strip, sizeof size, &size)) bar->toolbar().add_images(strip, info->cBmpImages, size.bmHeight, size.bmHeight);
        if (strip) DeleteObject(strip);
    }
    bar->follow_owner(WM_NULL, 0);
    info->hwndMB = window;
    return TRUE;
}

int SHGetMenuBarHeight() { return native::bottom_bar_height(); }

int CommandBar_AddBitmap(HWND window, HINSTANCE instance, int bitmap_id, int count, int width, int height) {
    MenuBar* const bar = MenuBar::of(window);
    if (!bar || bitmap_id <= 0 || bitmap_id > 0xFFFF) {
        SetLastError(bar ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    HBITMAP const strip = LoadBitmapW(instance, MAKEINTRESOURCEW(static_cast<WORD>(bitmap_id)));
    if (!strip) return -1;
    int const first = bar->toolbar().add_images(strip, count, width, height);
    DeleteObject(strip);
    if (first < 0) SetLastError(ERROR_INVALID_DATA);
    bar->relayout();
    return first;
}
