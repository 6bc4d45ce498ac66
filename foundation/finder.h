#pragma once

#include <string>

namespace os {

// The callbacks of a directory walk (find_files), given full paths. A false result ends
// the walk of the folder in which it was given, together with that folder's remaining
// subfolders; the walk of an enclosing folder goes on.
class Finder {
public:
    virtual bool on_file(const std::u16string& path);
    virtual bool on_folder(const std::u16string& path);
    virtual ~Finder();
};

// Reports the files of the folder that match file_mask, then the subfolders that match
// folder_mask ("." and ".." never), each path being the folder joined with the entry's
// name (the folder's macros kept). When recursive, the walk goes into each subfolder right
// after reporting it, with the same masks. An empty folder stands for the masks alone.
// Always returns true.
bool find_files(Finder& finder, const std::u16string& folder, const std::u16string& file_mask,
                const std::u16string& folder_mask, bool recursive);

}  // namespace os
