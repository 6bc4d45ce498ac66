// The start-screen item library's two exports (platform/today.h).
#include "platform/today.h"
#include "todayplugin/today_plugin.h"

#define ITEM_EXPORT extern "C" __attribute__((visibility("default")))

ITEM_EXPORT HWND InitializeCustomItem(TODAYLISTITEM* item, HWND parent) {
    return todayplugin::initialize_custom_item(item, parent);
}

ITEM_EXPORT void DllDetach() { todayplugin::detach_plugin(); }
