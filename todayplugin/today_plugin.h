// The start-screen item library's state: one plug-in object per loaded library, which holds
// the item skin and the application object, and the forms waiting to be deleted after the
// start screen destroyed their windows.
#pragma once

#include <string>

#include "foundation/application.h"
#include "platform/today.h"
#include "skin/properties.h"

namespace todayplugin {

class MainForm;

class TodayPlugin {
public:
    // Loads the skin named by the program's "TodaySkin" setting, else the default item skin;
    // registers the item window class only when one of them suits the screen.
    explicit TodayPlugin(HINSTANCE instance);
    // Unregisters the class, deletes the waiting forms, ends the plug-in's command channel.
    ~TodayPlugin();
    TodayPlugin(const TodayPlugin&) = delete;
    TodayPlugin& operator=(const TodayPlugin&) = delete;

    // Whether a suitable skin was found (and the item window class registered).
    bool can_make_items() const { return class_registered_; }
    // A new item window with its form; null when the window cannot be made.
    HWND make_item_window(HWND parent);

private:
    bool load_suitable_skin(const std::u16string& path);
    void register_item_class();

    skinner::Properties skin_;
    os::Application application_;
    bool class_registered_ = false;
};

// The library's item entry: null for a disabled item and when no suitable skin was found.
HWND initialize_custom_item(TODAYLISTITEM* item, HWND parent);
// The library is being unloaded: the plug-in object goes.
void detach_plugin();

// Deletes the form at the next item entry or when the plug-in object goes.
void defer_delete(MainForm* form);
void run_deferred_deletes();

}  // namespace todayplugin
