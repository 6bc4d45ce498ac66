// The device's start screen: a window over the work area that shows the registered items,
// each a child window made by its item library, stacked top to bottom on the wallpaper, and
// the start menu's programs in a band at its bottom.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/today.h"
#include "tools/today_host/host_log.h"
#include "tools/today_host/item_libraries.h"
#include "tools/today_host/program_list.h"
#include "tools/today_host/registered_items.h"
#include "tools/today_host/wallpaper.h"

namespace today_host {

// The start screen's window class and title, by which a second start finds the first.
inline constexpr char16_t host_class_name[] = u"TodayScreen";
inline constexpr char16_t host_title[] = u"Today";

struct HostOptions {
    std::optional<COLORREF> text_colour;  // else the registry's, else the house colour
    UINT refresh_ms = 1000;               // how often the items' heights are asked again
};

class TodayHost {
public:
    TodayHost(const HostOptions& options, HostLog& log);
    ~TodayHost();
    TodayHost(const TodayHost&) = delete;
    TodayHost& operator=(const TodayHost&) = delete;

    // Makes the window and loads the items; false when the window cannot be made.
    bool start();
    HWND window() const { return window_; }

private:
    struct Item {
        TODAYLISTITEM record;
        HMODULE module;
    };

    static LRESULT procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT on_message(UINT message, WPARAM wparam, LPARAM lparam);
    LRESULT on_get_colour(WPARAM which) const;
    LRESULT on_draw_watermark(LPARAM info);
    void on_paint();
    void on_screen_changed();
    void on_close();
    void on_tap(POINT point);
    void refresh_programs();

    LRESULT send(HWND item, UINT message, WPARAM wparam, LPARAM lparam);
    void load_items();
    void load_item(const RegisteredItem& registered);
    bool ask_height(Item& item);
    void unload_items();
    void drop_item(std::size_t index, bool destroy_window);
    void refresh_heights();
    void stack_items();
    void place_on_work_area();
    COLORREF text_colour() const;
    int client_height() const;
    RECT client_rect() const;

    HostOptions options_;
    HostLog& log_;
    ItemLibraries libraries_;
    Wallpaper wallpaper_;
    ProgramList programs_;
    int scale_ = 1;  // 2 on a 192-dpi screen
    HWND window_ = nullptr;
    std::vector<std::unique_ptr<Item>> items_;  // an item's record stays where it is
    std::optional<COLORREF> registered_text_colour_;
};

}  // namespace today_host
