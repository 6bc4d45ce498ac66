#include "todayplugin/today_plugin.h"

#include <deque>
#include <memory>

#include "app/comm/comm_channel.h"
#include "app/comm/comm_clipboard.h"
#include "app/comm/comm_identifiers.h"
#include "foundation/paths.h"
#include "foundation/registry.h"
#include "skin/form_impl.h"
#include "todayplugin/main_form.h"
#include "todayplugin/plugin_names.h"

namespace todayplugin {
namespace {

TodayPlugin* the_plugin = nullptr;
std::deque<MainForm*>* waiting_forms = nullptr;

void set_plugin(TodayPlugin* plugin) {
    if (plugin == the_plugin) return;
    TodayPlugin* const old = the_plugin;
    the_plugin = plugin;
    delete old;
}

std::u16string default_today_skin() { return os::join_path(u"%windows%", default_today_skin_name); }

// The channel's hidden window and its class, and the shared stack, go with the library.
void end_command_channel() {
    remove_comm_module(comm_identifiers::main_module_id);
    UnregisterClassW(comm_identifiers::main_module_id, nullptr);
    CCommClipboard::install(new CCommClipboard);
}

}  // namespace

TodayPlugin::TodayPlugin(HINSTANCE instance) : application_(instance, application_name) {
    std::u16string path;
    if (!os::read_registry_string(program_registry_key, today_skin_value, path)) path = default_today_skin();
    if (!load_suitable_skin(path) && !load_suitable_skin(default_today_skin())) return;
    register_item_class();
}

TodayPlugin::~TodayPlugin() {
    if (class_registered_) UnregisterClassW(item_class_name, application_.get_instance_handle());
    run_deferred_deletes();
    end_command_channel();
}

bool TodayPlugin::load_suitable_skin(const std::u16string& path) {
    skinner::Size const screen = skinner::get_screen_size();
    skin_.set_skin(path, screen);
    return skin_.is_suitable(today_skin_compatibility_name, screen);
}

void TodayPlugin::register_item_class() {
    HINSTANCE const instance = application_.get_instance_handle();
    UnregisterClassW(item_class_name, instance);
    WNDCLASSW window_class{};
    window_class.style = CS_VREDRAW | CS_HREDRAW;
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = instance;
    window_class.lpszClassName = item_class_name;
    class_registered_ = RegisterClassW(&window_class) != 0;
}

HWND TodayPlugin::make_item_window(HWND parent) {
    HWND const window =
        CreateWindowExW(0, item_class_name, item_title, WS_CHILD | WS_VISIBLE, 0, 0, GetSystemMetrics(SM_CXSCREEN), 0,
                        parent, nullptr, application_.get_instance_handle(), nullptr);
    if (!window) return nullptr;
    auto* const impl = new skinner::FormImpl(window, false);
    auto* const form = new MainForm(impl, &skin_, item_form_name);
    form->refresh_skin();
    return impl->get_window();
}

HWND initialize_custom_item(TODAYLISTITEM* item, HWND parent) {
    if (!item || !item->fEnabled) return nullptr;
    run_deferred_deletes();
    if (!the_plugin) set_plugin(new TodayPlugin(item->hinstDLL));
    if (!the_plugin->can_make_items()) return nullptr;
    return the_plugin->make_item_window(parent);
}

void detach_plugin() { set_plugin(nullptr); }

void defer_delete(MainForm* form) {
    if (!waiting_forms) waiting_forms = new std::deque<MainForm*>;
    waiting_forms->push_back(form);
}

void run_deferred_deletes() {
    if (!waiting_forms) return;
    while (!waiting_forms->empty()) {
        delete waiting_forms->front();
        waiting_forms->pop_front();
    }
    delete waiting_forms;
    waiting_forms = nullptr;
}

}  // namespace todayplugin
