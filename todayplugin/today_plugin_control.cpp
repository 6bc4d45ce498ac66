#include "todayplugin/today_plugin_control.h"

#include "platform/today.h"
#include "todayplugin/main_form.h"
#include "todayplugin/today_plugin.h"

namespace todayplugin {

TodayPluginControl::TodayPluginControl(MainForm* form) : form_(form) { install(form->get_window()); }

TodayPluginControl::~TodayPluginControl() { uninstall(); }

LRESULT TodayPluginControl::on_message(UINT message, WPARAM wparam, LPARAM, bool& pass_on) {
    switch (message) {
    case WM_DESTROY:
        defer_delete(form_);
        return 0;
    case WM_MOVE:
        form_->invalidate_rect({0, 0}, form_->get_size());
        return 0;
    case WM_TODAYCUSTOM_QUERYREFRESHCACHE: {
        auto* const item = reinterpret_cast<TODAYLISTITEM*>(wparam);
        if (height_reported_ || !item) return 0;
        height_reported_ = true;
        item->cyp = static_cast<DWORD>(form_->get_size().height);
        pass_on = false;
        return 1;
    }
    default:
        return 0;
    }
}

}  // namespace todayplugin
