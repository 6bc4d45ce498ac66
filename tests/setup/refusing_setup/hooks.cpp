// A package's setup library that refuses: installing is cancelled, removing is refused.
#include "platform/install_hooks.h"

extern "C" codeINSTALL_INIT Install_Init(HWND, BOOL, BOOL, LPCWSTR) { return codeINSTALL_INIT_CANCEL; }
extern "C" codeINSTALL_EXIT Install_Exit(HWND, LPCWSTR, WORD, WORD, WORD, WORD, WORD) { return codeINSTALL_EXIT_DONE; }
extern "C" codeUNINSTALL_INIT Uninstall_Init(HWND, LPCWSTR) { return codeUNINSTALL_INIT_CANCEL; }
extern "C" codeUNINSTALL_EXIT Uninstall_Exit(HWND) { return codeUNINSTALL_EXIT_DONE; }
