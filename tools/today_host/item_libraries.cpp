#include "tools/today_host/item_libraries.h"

#include <algorithm>

#include "platform/errors.h"
#include "platform/module.h"

namespace today_host {

ItemLibraries::~ItemLibraries() {
    while (!loaded_.empty()) release(loaded_.back().module);
}

InitializeCustomItemEntry ItemLibraries::load(const std::u16string& path, HMODULE& module, std::string& why) {
    module = LoadLibraryW(path.c_str());
    if (!module) {
        why = GetLastError() == ERROR_MOD_NOT_FOUND ? "the library is missing" : "the library does not load";
        return nullptr;
    }
    auto const entry = reinterpret_cast<InitializeCustomItemEntry>(GetProcAddressW(module, INITIALIZE_CUSTOM_ITEM_EXPORT));
    if (!entry) {
        why = "the library has no entry " + utf8(INITIALIZE_CUSTOM_ITEM_EXPORT);
        FreeLibrary(module);
        module = nullptr;
        return nullptr;
    }
    auto const known = std::find_if(loaded_.begin(), loaded_.end(), [&](const Loaded& l) { return l.module == module; });
    if (known != loaded_.end()) {
        ++known->items;
    } else {
        auto const detach = reinterpret_cast<CustomItemDetachEntry>(GetProcAddressW(module, CUSTOM_ITEM_DETACH_EXPORT));
        loaded_.push_back(Loaded{module, path, 1, detach});
    }
    log_.trace("load " + utf8(path));
    return entry;
}

void ItemLibraries::release(HMODULE module) {
    auto const known = std::find_if(loaded_.begin(), loaded_.end(), [&](const Loaded& l) { return l.module == module; });
    if (known == loaded_.end()) return;
    std::string const path = utf8(known->path);
    if (--known->items == 0) {
        if (known->detach) {
            log_.trace("detach " + path);
            known->detach();
        }
        loaded_.erase(known);
    }
    FreeLibrary(module);
    log_.trace("unload " + path);
}

}  // namespace today_host
