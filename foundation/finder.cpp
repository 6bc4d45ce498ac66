#include "foundation/finder.h"

#include "foundation/find_handle.h"
#include "foundation/paths.h"

namespace os {
namespace {

bool is_folder(const WIN32_FIND_DATAW& data) { return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

bool is_dot_name(const std::u16string& name) { return name == u"." || name == u".."; }

std::u16string pattern_of(const std::u16string& folder, const std::u16string& mask) {
    return expanded_path(join_path(folder, mask));
}

// False when the finder ended the walk.
bool report_files(Finder& finder, const std::u16string& folder, const std::u16string& mask) {
    WIN32_FIND_DATAW data;
    FindHandle search(pattern_of(folder, mask), data);
    for (bool more = search.found(); more; more = search.next(data)) {
        if (is_folder(data)) continue;
        if (!finder.on_file(join_path(folder, data.cFileName))) return false;
    }
    return true;
}

void report_folders(Finder& finder, const std::u16string& folder, const std::u16string& file_mask,
                    const std::u16string& folder_mask, bool recursive) {
    WIN32_FIND_DATAW data;
    FindHandle search(pattern_of(folder, folder_mask), data);
    for (bool more = search.found(); more; more = search.next(data)) {
        std::u16string const name = data.cFileName;
        if (!is_folder(data) || is_dot_name(name)) continue;
        std::u16string const path = join_path(folder, name);
        if (!finder.on_folder(path)) return;
        if (recursive) find_files(finder, path, file_mask, folder_mask, recursive);
    }
}

}  // namespace

bool Finder::on_file(const std::u16string&) { return true; }

bool Finder::on_folder(const std::u16string&) { return true; }

Finder::~Finder() = default;

bool find_files(Finder& finder, const std::u16string& folder, const std::u16string& file_mask,
                const std::u16string& folder_mask, bool recursive) {
    if (report_files(finder, folder, file_mask)) report_folders(finder, folder, file_mask, folder_mask, recursive);
    return true;
}

}  // namespace os
