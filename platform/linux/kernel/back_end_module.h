// The shared modules that hold back ends built on large host libraries (SDL, FFmpeg), opened
// the first time a process uses one of them so that other processes never load those
// libraries (inside the Linux back end only).
#pragma once

#include <string>
#include <vector>

namespace platform::detail {

// Where a module is looked for, in order: the folder SONBRIX_MODULE_DIR names, when it is
// set (then only there); else beside the executable, the build's module folder and the
// installed module folder.
std::vector<std::string> back_end_module_folders();

// The address of entry_point in the module file_name (e.g. "libsonbrix_sound_sdl.so"),
// opened once a process and never closed; null with why it failed in error. A failure is
// remembered too, so a missing module costs one search.
void* find_back_end_entry(const std::string& file_name, const char* entry_point, std::string& error);

// The entry point as a function of type Entry.
template <class Entry>
Entry* find_back_end_function(const std::string& file_name, const char* entry_point, std::string& error) {
    return reinterpret_cast<Entry*>(find_back_end_entry(file_name, entry_point, error));
}

// Forgets which modules were found or missing (opened modules stay loaded).
void forget_back_end_modules();

}  // namespace platform::detail
