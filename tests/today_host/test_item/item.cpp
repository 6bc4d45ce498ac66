// A start-screen item library for the start screen's tests. Each item takes its settings from
// its own key (HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Today\Items\<name>), read afresh each time:
//   "TestHeight"    the height it asks for (default 40)
//   "TestColour"    0xRRGGBB of its body (default 0x804020)
//   "TestNoWindow"  1: the entry answers no window
// and counts there the calls of its entry ("Entered") and of the library's detach
// ("Detached"). It paints a border of wallpaper (asked of the start screen) border_width
// wide, then a bar of the start screen's text colour bar_height high, then its body colour.
// Built with TEST_ITEM_WITHOUT_ENTRY it lacks the entry.
#include <algorithm>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/gdi.h"
#include "platform/registry.h"
#include "platform/today.h"
#include "platform/windows.h"

#define ITEM_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

constexpr int border_width = 4;
constexpr int bar_height = 4;
const char16_t* const item_class = u"TestTodayItem";

std::vector<std::u16string> served;

std::u16string key_of(const std::u16string& name) { return u"SOFTWARE\\Microsoft\\Today\\Items\\" + name; }

DWORD read_dword(const std::u16string& name, const char16_t* value_name, DWORD fallback) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key_of(name).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return fallback;
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    LONG const read = RegQueryValueExW(key, value_name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return read == ERROR_SUCCESS && type == REG_DWORD ? value : fallback;
}

void count(const std::u16string& name, const char16_t* value_name) {
    DWORD const value = read_dword(name, value_name, 0) + 1;
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_of(name).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(key, value_name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

const std::u16string& name_of(HWND window) {
    return *reinterpret_cast<const std::u16string*>(GetWindowLongW(window, GWL_USERDATA));
}

void fill(HDC dc, const RECT& rect, COLORREF colour) {
    HBRUSH const brush = CreateSolidBrush(colour);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

void paint(HWND window) {
    PAINTSTRUCT paint{};
    HDC const dc = BeginPaint(window, &paint);
    RECT client{};
    GetClientRect(window, &client);
    HWND const host = GetParent(window);
    TODAYDRAWWATERMARKINFO info{dc, client, window};
    SendMessageW(host, TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LPARAM>(&info));
    auto const text = static_cast<COLORREF>(SendMessageW(host, TODAYM_GETCOLOR, TODAYCOLOR_TEXT, 0));
    DWORD const body = read_dword(name_of(window), u"TestColour", 0x804020);
    RECT inside{border_width, border_width, client.right - border_width, client.bottom - border_width};
    if (inside.bottom > inside.top) {
        RECT bar = inside;
        bar.bottom = std::min(inside.bottom, inside.top + bar_height);
        fill(dc, bar, text);
        inside.top = bar.bottom;
        fill(dc, inside, RGB(static_cast<BYTE>(body >> 16), static_cast<BYTE>(body >> 8), static_cast<BYTE>(body)));
    }
    EndPaint(window, &paint);
}

[[maybe_unused]] LRESULT item_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
    case WM_PAINT:
        paint(window);
        return 0;
    case WM_TODAYCUSTOM_QUERYREFRESHCACHE: {
        auto* const item = reinterpret_cast<TODAYLISTITEM*>(wparam);
        DWORD const height = read_dword(name_of(window), u"TestHeight", 40);
        if (item->cyp == height) return FALSE;
        item->cyp = height;
        return TRUE;
    }
    case WM_NCDESTROY:
        delete reinterpret_cast<std::u16string*>(GetWindowLongW(window, GWL_USERDATA));
        SetWindowLongW(window, GWL_USERDATA, 0);
        return 0;
    default:
        return DefWindowProcW(window, message, wparam, lparam);
    }
}

}  // namespace

#ifndef TEST_ITEM_WITHOUT_ENTRY
ITEM_EXPORT HWND InitializeCustomItem(TODAYLISTITEM* item, HWND parent) {
    if (!item->fEnabled) return nullptr;
    std::u16string const name = item->szName;
    count(name, u"Entered");
    served.push_back(name);
    if (read_dword(name, u"TestNoWindow", 0)) return nullptr;
    WNDCLASSW window_class{};
    window_class.lpfnWndProc = item_procedure;
    window_class.hInstance = item->hinstDLL;
    window_class.lpszClassName = item_class;
    RegisterClassW(&window_class);  // made already by an earlier item: kept
    HWND const window = CreateWindowExW(0, item_class, u"Test item", WS_CHILD | WS_VISIBLE, 0, 0,
                                        GetSystemMetrics(SM_CXSCREEN), 0, parent, nullptr, item->hinstDLL, nullptr);
    if (window) SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(new std::u16string(name)));
    return window;
}
#endif

ITEM_EXPORT void DllDetach() {
    for (auto const& name : served) count(name, u"Detached");
    served.clear();
    UnregisterClassW(item_class, nullptr);
}
