#include "platform/linux/kernel/back_end_module.h"

#include <dlfcn.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <mutex>

#include "platform/linux/kernel/process_state.h"

namespace platform::detail {

namespace {

struct Lookup {
    void* entry = nullptr;
    std::string error;
};

struct ModuleCache {
    std::mutex lock;
    std::map<std::string, Lookup> lookups;  // by file name and entry point
};

ModuleCache& cache() {
    static auto* const instance = new ModuleCache;  // lives to the process end
    return *instance;
}

std::string executable_folder() {
    std::error_code error;
    std::filesystem::path const executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::string() : executable.parent_path().string();
}

Lookup look_up(const std::string& file_name, const char* entry_point) {
    std::vector<std::string> const folders = back_end_module_folders();
    for (auto const& folder : folders) {
        std::filesystem::path const path = std::filesystem::path(folder) / file_name;
        std::error_code missing;
        if (!std::filesystem::is_regular_file(path, missing)) continue;
        void* const module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!module) return {nullptr, dlerror()};
        void* const entry = dlsym(module, entry_point);
        if (!entry) return {nullptr, path.string() + " has no " + entry_point};
        return {entry, {}};
    }
    std::string searched;
    for (auto const& folder : folders) searched += (searched.empty() ? "" : ", ") + folder;
    return {nullptr, file_name + " is not in " + (searched.empty() ? "any folder" : searched)};
}

}  // namespace

std::vector<std::string> back_end_module_folders() {
    if (char const* chosen = std::getenv("SONBRIX_MODULE_DIR")) return {chosen};
    std::vector<std::string> folders;
    if (std::string const beside = executable_folder(); !beside.empty()) folders.push_back(beside);
#ifdef SONBRIX_MODULE_BUILD_DIR
    folders.push_back(SONBRIX_MODULE_BUILD_DIR);
#endif
#ifdef SONBRIX_MODULE_INSTALL_DIR
    folders.push_back(SONBRIX_MODULE_INSTALL_DIR);
#endif
    return folders;
}

void* find_back_end_entry(const std::string& file_name, const char* entry_point, std::string& error) {
    std::lock_guard guard(cache().lock);
    std::string const key = file_name + ':' + entry_point;
    auto found = cache().lookups.find(key);
    if (found == cache().lookups.end()) found = cache().lookups.emplace(key, look_up(file_name, entry_point)).first;
    error = found->second.error;
    return found->second.entry;
}

void forget_back_end_modules() {
    std::lock_guard guard(cache().lock);
    cache().lookups.clear();
}

}  // namespace platform::detail
