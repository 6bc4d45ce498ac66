// Device libraries: host shared libraries at device paths.
#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/module.h"
#include "platform/unicode.h"

namespace {

bool has_separator(std::u16string_view path) { return path.find_first_of(u"\\/") != std::u16string_view::npos; }

std::u16string device_path_of(std::u16string_view path) {
    if (has_separator(path)) return std::u16string(path);
    return u"\\Windows\\" + std::u16string(path);
}

}  // namespace

HMODULE LoadLibraryW(LPCWSTR path) {
    if (!path || !*path) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto const host = platform::host_path(device_path_of(path));
    if (!host || access(host->c_str(), R_OK) != 0) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    // RTLD_LOCAL keeps the library's symbols out of every later lookup; RTLD_NODELETE keeps
    // its code in place after the last FreeLibrary.
    void* const library = dlopen(host->c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!library) {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }
    return static_cast<HMODULE>(library);
}

FARPROC GetProcAddressW(HMODULE module, LPCWSTR name) {
    if (!module || !name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    void* const symbol = dlsym(module, platform::utf16_to_utf8(name).c_str());
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) {
    if (!module || dlclose(module) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
