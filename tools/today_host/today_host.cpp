#include "tools/today_host/today_host.h"

#include <algorithm>
#include <cstdint>

#include "platform/timers.h"

namespace today_host {
namespace {

constexpr UINT_PTR refresh_timer = 1;
// The house text colour (#E8ECF1), and the accent behind highlighted text.
constexpr COLORREF house_text_colour = RGB(0xE8, 0xEC, 0xF1);
constexpr COLORREF house_highlight_colour = RGB(0x3C, 0xB4, 0xA9);
constexpr COLORREF house_highlighted_text_colour = RGB(0xFF, 0xFF, 0xFF);

TodayHost* running_host = nullptr;

const char16_t* const probe_class_name = u"TodayScreenProbe";

// Where a top-level window made with CW_USEDEFAULT goes: the work area, which the shell's bars
// leave free. A hidden window of a plain class is made to learn it.
RECT work_area() {
    static bool const registered = [] {
        WNDCLASSW probe{};
        probe.lpfnWndProc = DefWindowProcW;
        probe.lpszClassName = probe_class_name;
        return RegisterClassW(&probe) != 0;
    }();
    RECT area{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (!registered) return area;
    HWND const probe = CreateWindowExW(0, probe_class_name, u"", 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                       CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    if (!probe) return area;
    GetWindowRect(probe, &area);
    DestroyWindow(probe);
    return area;
}

int screen_scale() {
    HDC const dc = GetDC(nullptr);
    int const dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
    if (dc) ReleaseDC(nullptr, dc);
    return dpi >= 192 ? 2 : 1;
}

bool same_rect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

// The child's rectangle in its parent's client coordinates.
RECT child_rect(HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    POINT top_left{rect.left, rect.top};
    ScreenToClient(parent, &top_left);
    return RECT{top_left.x, top_left.y, top_left.x + (rect.right - rect.left), top_left.y + (rect.bottom - rect.top)};
}

void copy_text(WCHAR* target, std::size_t room, const std::u16string& text) {
    std::size_t const length = std::min(text.size(), room - 1);
    std::copy_n(text.begin(), length, target);
    target[length] = u'\0';
}

}  // namespace

TodayHost::TodayHost(const HostOptions& options, HostLog& log) : options_(options), log_(log), libraries_(log) {}

TodayHost::~TodayHost() {
    if (window_ && IsWindow(window_)) {
        unload_items();
        DestroyWindow(window_);
    }
    if (running_host == this) running_host = nullptr;
}

bool TodayHost::start() {
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = &TodayHost::procedure;
    window_class.lpszClassName = host_class_name;
    if (!RegisterClassW(&window_class)) return false;
    running_host = this;
    scale_ = screen_scale();
    programs_.refresh();
    window_ = CreateWindowExW(0, host_class_name, host_title, WS_VISIBLE | WS_CLIPCHILDREN, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    if (!window_) return false;
    SetForegroundWindow(window_);
    load_items();
    SetTimer(window_, refresh_timer, options_.refresh_ms, nullptr);
    return true;
}

LRESULT TodayHost::procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    TodayHost* const host = running_host;
    if (!host || (host->window_ && window != host->window_)) return DefWindowProcW(window, message, wparam, lparam);
    if (!host->window_) host->window_ = window;  // the messages of its creation
    if (host->log_.tracing())
        host->log_.trace("recv " + message_name(message) + " wParam=" + hex(wparam) + " lParam=" + hex(lparam));
    return host->on_message(message, wparam, lparam);
}

LRESULT TodayHost::on_message(UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_ERASEBKGND:
        return 1;  // the paint draws the wallpaper
    case WM_PAINT:
        on_paint();
        return 0;
    case WM_SIZE:
        on_screen_changed();
        return 0;
    case WM_TIMER:
        if (wparam == refresh_timer) {
            refresh_heights();
            refresh_programs();
        }
        return 0;
    case WM_LBUTTONUP:
        on_tap(POINT{static_cast<std::int16_t>(lparam & 0xFFFF), static_cast<std::int16_t>((lparam >> 16) & 0xFFFF)});
        return 0;
    case TODAYM_GETCOLOR:
        return on_get_colour(wparam);
    case TODAYM_DRAWWATERMARK:
        return on_draw_watermark(lparam);
    case WM_WININICHANGE:
        if (wparam == INI_TODAY_ITEMS_CHANGED) {
            unload_items();
            load_items();
            refresh_programs();
        } else {
            place_on_work_area();
        }
        return 0;
    case WM_CLOSE:
        on_close();
        return 0;
    case WM_DESTROY:
        KillTimer(window_, refresh_timer);
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcW(window_, message, wparam, lparam);
    }
}

LRESULT TodayHost::on_get_colour(WPARAM which) const {
    COLORREF colour = 0;
    switch (which) {
    case TODAYCOLOR_TEXT:
        colour = text_colour();
        break;
    case TODAYCOLOR_HIGHLIGHT:
        colour = house_highlight_colour;
        break;
    case TODAYCOLOR_HIGHLIGHTEDTEXT:
        colour = house_highlighted_text_colour;
        break;
    default:
        break;
    }
    log_.trace("answer " + message_name(TODAYM_GETCOLOR) + " -> " + hex(colour));
    return static_cast<LRESULT>(colour);
}

LRESULT TodayHost::on_draw_watermark(LPARAM lparam) {
    auto const* const info = reinterpret_cast<const TODAYDRAWWATERMARKINFO*>(lparam);
    if (!info || !info->hdc) {
        log_.trace("answer " + message_name(TODAYM_DRAWWATERMARK) + " -> 0");
        return FALSE;
    }
    // The wallpaper behind the item's window; a window that is not one of the items gets the
    // wallpaper's top left corner.
    POINT origin{0, 0};
    if (info->hwnd && IsChild(window_, info->hwnd)) {
        ClientToScreen(info->hwnd, &origin);
        ScreenToClient(window_, &origin);
    }
    wallpaper_.draw(info->hdc, info->rc, origin);
    log_.trace("answer " + message_name(TODAYM_DRAWWATERMARK) + " -> 1");
    return TRUE;
}

void TodayHost::on_paint() {
    PAINTSTRUCT paint{};
    HDC const dc = BeginPaint(window_, &paint);
    if (dc) {
        wallpaper_.draw(dc, paint.rcPaint, POINT{0, 0});
        programs_.draw(dc, client_rect(), scale_, text_colour());
    }
    EndPaint(window_, &paint);
}

void TodayHost::on_tap(POINT point) {
    auto const program = programs_.program_at(point, client_rect(), scale_);
    if (!program) return;
    if (start_program(*program)) {
        log_.trace("start " + utf8(program->name) + " " + utf8(program->target));
    } else {
        log_.problem("cannot start " + utf8(program->name) + " (" + utf8(program->target) + ")");
    }
}

void TodayHost::refresh_programs() {
    if (!programs_.refresh()) return;
    scale_ = screen_scale();
    InvalidateRect(window_, nullptr, FALSE);
}

void TodayHost::on_screen_changed() {
    scale_ = screen_scale();
    RECT client{};
    GetClientRect(window_, &client);
    wallpaper_.make(client.right, client.bottom);
    stack_items();
    InvalidateRect(window_, nullptr, FALSE);
}

void TodayHost::place_on_work_area() {
    RECT const area = work_area();
    RECT now{};
    GetWindowRect(window_, &now);
    if (!same_rect(area, now)) MoveWindow(window_, area.left, area.top, area.right - area.left, area.bottom - area.top, TRUE);
}

void TodayHost::on_close() {
    unload_items();
    DestroyWindow(window_);
}

LRESULT TodayHost::send(HWND item, UINT message, WPARAM wparam, LPARAM lparam) {
    LRESULT const result = SendMessageW(item, message, wparam, lparam);
    if (log_.tracing())
        log_.trace("send " + message_name(message) + " to " + hex(reinterpret_cast<std::uintptr_t>(item)) + " wParam=" +
               hex(wparam) + " -> " + hex(static_cast<unsigned long long>(result)));
    return result;
}

void TodayHost::load_items() {
    DWORD registered_colour = 0;
    registered_text_colour_.reset();
    if (read_registered_text_colour(registered_colour)) registered_text_colour_ = registered_colour;
    for (auto const& registered : read_registered_items()) {
        if (registered.library.empty()) {
            log_.trace("skip " + utf8(registered.name) + ": no library path");
            continue;
        }
        load_item(registered);
    }
    stack_items();
    InvalidateRect(window_, nullptr, FALSE);
}

void TodayHost::load_item(const RegisteredItem& registered) {
    std::string const name = utf8(registered.name);
    if (registered.library.size() >= MAX_PATH) {
        log_.problem("skip " + name + ": the library path is too long");
        return;
    }
    auto item = std::make_unique<Item>();
    TODAYLISTITEM& record = item->record;
    copy_text(record.szName, MAX_ITEMNAME, registered.name);
    copy_text(record.szDLLPath, MAX_PATH, registered.library);
    record.tlit = tlitCustom;
    record.dwOrder = registered.order;
    record.fEnabled = registered.enabled != 0;
    record.fOptions = registered.options != 0;
    record.grfFlags = registered.flags;
    std::string why;
    auto const entry = libraries_.load(registered.library, item->module, why);
    if (!entry) {
        log_.problem("skip " + name + ": " + why + " (" + utf8(registered.library) + ")");
        return;
    }
    record.hinstDLL = item->module;
    HWND const made = entry(&record, window_);
    log_.trace("entry " + name + " enabled=" + std::to_string(record.fEnabled) + " -> " +
               hex(reinterpret_cast<std::uintptr_t>(made)));
    bool const child = made && IsWindow(made) && made != window_ && GetParent(made) == window_ &&
                       (static_cast<DWORD>(GetWindowLongW(made, GWL_STYLE)) & WS_CHILD);
    if (!child) {
        if (!made && !record.fEnabled) {
            log_.trace("skip " + name + ": disabled");
        } else {
            log_.problem("skip " + name + (made ? ": its window is not a child of the start screen" : ": no window"));
        }
        if (made && made != window_ && IsWindow(made)) DestroyWindow(made);
        libraries_.release(item->module);
        return;
    }
    record.hwndCustom = made;
    items_.push_back(std::move(item));
    if (!ask_height(*items_.back())) drop_item(items_.size() - 1, true);
}

bool TodayHost::ask_height(Item& item) {
    send(item.record.hwndCustom, WM_TODAYCUSTOM_QUERYREFRESHCACHE, reinterpret_cast<WPARAM>(&item.record), 0);
    if (item.record.cyp <= static_cast<DWORD>(client_height())) return true;
    log_.problem("skip " + utf8(item.record.szName) + ": it asks for a height of " + std::to_string(item.record.cyp) +
                 " pixels");
    return false;
}

void TodayHost::drop_item(std::size_t index, bool destroy_window) {
    Item& item = *items_[index];
    HWND const made = item.record.hwndCustom;
    if (destroy_window && IsWindow(made)) {
        send(made, WM_TODAYCUSTOM_CLEARCACHE, reinterpret_cast<WPARAM>(&item.record), 0);
        DestroyWindow(made);
    }
    libraries_.release(item.module);
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
}

void TodayHost::unload_items() {
    for (auto& item : items_) {
        if (IsWindow(item->record.hwndCustom))
            send(item->record.hwndCustom, WM_TODAYCUSTOM_CLEARCACHE, reinterpret_cast<WPARAM>(&item->record), 0);
    }
    for (auto& item : items_) {
        if (IsWindow(item->record.hwndCustom)) DestroyWindow(item->record.hwndCustom);
    }
    for (auto& item : items_) libraries_.release(item->module);
    items_.clear();
    InvalidateRect(window_, nullptr, FALSE);
}

void TodayHost::refresh_heights() {
    for (std::size_t index = items_.size(); index-- > 0;) {
        Item& item = *items_[index];
        if (!IsWindow(item.record.hwndCustom)) {
            log_.problem("skip " + utf8(item.record.szName) + ": its window is gone");
            drop_item(index, false);
        } else if (!ask_height(item)) {
            drop_item(index, true);
        }
    }
    stack_items();
}

void TodayHost::stack_items() {
    RECT client{};
    GetClientRect(window_, &client);
    int top = 0;
    bool moved = false;
    for (auto& item : items_) {
        HWND const made = item->record.hwndCustom;
        int const height = static_cast<int>(item->record.cyp);
        RECT const wanted{0, top, client.right, top + height};
        if (!same_rect(child_rect(window_, made), wanted)) {
            MoveWindow(made, wanted.left, wanted.top, wanted.right - wanted.left, height, TRUE);
            InvalidateRect(made, nullptr, TRUE);
            moved = true;
        }
        top += height;
    }
    if (moved) InvalidateRect(window_, nullptr, FALSE);
}

COLORREF TodayHost::text_colour() const {
    if (options_.text_colour) return *options_.text_colour;
    return registered_text_colour_.value_or(house_text_colour);
}

RECT TodayHost::client_rect() const {
    RECT client{};
    GetClientRect(window_, &client);
    return client;
}

int TodayHost::client_height() const {
    RECT client{};
    GetClientRect(window_, &client);
    return client.bottom;
}

}  // namespace today_host
