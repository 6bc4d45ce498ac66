#include "setup/today_item.h"

#include <string>

#include "foundation/file_info.h"
#include "foundation/registry.h"
#include "platform/messages.h"
#include "platform/registry.h"

namespace setup {
namespace {

const char16_t* const today_item_key = u"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Today\\Items\\Sonbrix";
// The wParam of WM_WININICHANGE that makes the start screen reload its items.
constexpr WPARAM reload_today_items = 0xF2;

const char16_t* const installed_files[] = {
    u"\\windows\\SonbrixTodayPlugin.dll", u"\\windows\\Today Classic.skin", u"\\windows\\XeloSonbrix_help.htm",
    u"\\windows\\xelosbx1.jpg",           u"\\windows\\xelosbx2.jpg",       u"\\windows\\xelosbx3.jpg",
    u"\\windows\\xelosbx4.jpg",
};

}  // namespace

void update_today_item(bool enable) {
    if (enable) {
        os::write_registry_dword(today_item_key, u"Enabled", 1);
    } else {
        HKEY root = nullptr;
        std::u16string const subkey = os::split_registry_path(today_item_key, root);
        RegDeleteKeyW(root, subkey.c_str());
    }
    PostMessageW(HWND_BROADCAST, WM_WININICHANGE, reload_today_items, 0);
}

void remove_installed_files() {
    for (const char16_t* path : installed_files) {
        os::FileInfo file(path);
        if (file.exists()) file.remove();
    }
}

}  // namespace setup
