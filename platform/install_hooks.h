// What the device's package installer calls in a package's setup library: four exports, found
// by name, each with the result that tells the installer how to go on.
#pragma once

#include "platform/types.h"

// Install_Init's result: go on installing, or cancel before anything is installed.
enum codeINSTALL_INIT { codeINSTALL_INIT_CONTINUE = 0, codeINSTALL_INIT_CANCEL = 1 };
// Install_Exit's result: the installation stands, or it is to be undone.
enum codeINSTALL_EXIT { codeINSTALL_EXIT_DONE = 0, codeINSTALL_EXIT_UNINSTALL = 1 };
// Uninstall_Init's result: go on removing, or keep the program.
enum codeUNINSTALL_INIT { codeUNINSTALL_INIT_CONTINUE = 0, codeUNINSTALL_INIT_CANCEL = 1 };
// Uninstall_Exit's result.
enum codeUNINSTALL_EXIT { codeUNINSTALL_EXIT_DONE = 0 };

// Before any file is copied: the parent window, whether this is the first call of this
// installation, whether the package is installed already, and the installation folder.
using InstallInitHook = codeINSTALL_INIT (*)(HWND parent, BOOL first_call, BOOL previously_installed,
                                             LPCWSTR install_folder);
// After the files and registry values are in place, with the counts of what failed.
using InstallExitHook = codeINSTALL_EXIT (*)(HWND parent, LPCWSTR install_folder, WORD failed_folders,
                                             WORD failed_files, WORD failed_keys, WORD failed_values,
                                             WORD failed_shortcuts);
// Before anything is removed.
using UninstallInitHook = codeUNINSTALL_INIT (*)(HWND parent, LPCWSTR install_folder);
// After the installed files and registry values are removed.
using UninstallExitHook = codeUNINSTALL_EXIT (*)(HWND parent);
