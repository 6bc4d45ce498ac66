// Device libraries: host shared libraries at device paths.
#include <dlfcn.h>
#include <unistd.h>

#include <string>

#include "platform/device.h"
#include "platform/errors.h"
#include "platform/module.h"
#include "platform/unicode.h"
#include "platform/windows.h"

namespace {

// The system's own library, whose functions programs find by name (as the ones a device's
// header leaves out): no file, a fixed handle and a table of exports.
struct SystemExport {
    const char* name;
    FARPROC address;
};

int system_library_tag;
HMODULE const system_library = reinterpret_cast<HMODULE>(&system_library_tag);

bool is_system_library(std::u16string_view path) {
    auto const slash = path.find_last_of(u"\\/");
    auto const name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
    return platform::equal_ignore_case(name, u"coredll.dll") || platform::equal_ignore_case(name, u"coredll");
}

FARPROC system_export(const std::string& name) {
    static SystemExport const exports[] = {
        {"UnregisterFunc1", reinterpret_cast<FARPROC>(&UnregisterFunc1)},
    };
    for (auto const& entry : exports) {
        if (name == entry.name) return entry.address;
    }
    return nullptr;
}

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
    if (is_system_library(path)) return system_library;
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
    auto const symbol_name = platform::utf16_to_utf8(name);
    void* const symbol = module == system_library ? reinterpret_cast<void*>(system_export(symbol_name))
                                                  : dlsym(module, symbol_name.c_str());
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL FreeLibrary(HMODULE module) {
    if (module == system_library) return TRUE;
    if (!module || dlclose(module) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
