// The item libraries that the start screen has loaded. A library that serves several items is
// loaded once per item and detached only when its last item goes.
#pragma once

#include <string>
#include <vector>

#include "platform/today.h"
#include "tools/today_host/host_log.h"

namespace today_host {

class ItemLibraries {
public:
    explicit ItemLibraries(HostLog& log) : log_(log) {}
    ~ItemLibraries();
    ItemLibraries(const ItemLibraries&) = delete;
    ItemLibraries& operator=(const ItemLibraries&) = delete;

    // The library's item entry; null with why when the library does not load or has no entry.
    InitializeCustomItemEntry load(const std::u16string& path, HMODULE& module, std::string& why);
    // One item fewer: the library's last item calls its detach export; then it is freed.
    void release(HMODULE module);

private:
    struct Loaded {
        HMODULE module;
        std::u16string path;
        int items;
        CustomItemDetachEntry detach;
    };
    HostLog& log_;
    std::vector<Loaded> loaded_;
};

}  // namespace today_host
