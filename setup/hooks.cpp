// The four exports that the package installer calls. Each ignores its arguments and lets
// the installer go on.
#include <type_traits>

#include "platform/install_hooks.h"
#include "setup/today_item.h"

#define SETUP_EXPORT extern "C" __attribute__((visibility("default")))

SETUP_EXPORT codeINSTALL_INIT Install_Init(HWND, BOOL, BOOL, LPCWSTR) {
    // An item left by an earlier installation goes before the files are replaced.
    setup::update_today_item(false);
    return codeINSTALL_INIT_CONTINUE;
}

SETUP_EXPORT codeINSTALL_EXIT Install_Exit(HWND, LPCWSTR, WORD, WORD, WORD, WORD, WORD) {
    setup::update_today_item(true);
    return codeINSTALL_EXIT_DONE;
}

SETUP_EXPORT codeUNINSTALL_INIT Uninstall_Init(HWND, LPCWSTR) {
    setup::update_today_item(false);
    return codeUNINSTALL_INIT_CONTINUE;
}

SETUP_EXPORT codeUNINSTALL_EXIT Uninstall_Exit(HWND) {
    setup::remove_installed_files();
    return codeUNINSTALL_EXIT_DONE;
}

// The hooks keep the shapes that the installer calls them with.
static_assert(std::is_same_v<decltype(&Install_Init), InstallInitHook>);
static_assert(std::is_same_v<decltype(&Install_Exit), InstallExitHook>);
static_assert(std::is_same_v<decltype(&Uninstall_Init), UninstallInitHook>);
static_assert(std::is_same_v<decltype(&Uninstall_Exit), UninstallExitHook>);
