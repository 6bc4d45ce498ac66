// Copying and removing whole host files and folder trees (inside the Linux back end only).
// Every function returns 0 or the host error number.
#pragma once

#include <sys/stat.h>

#include <string>

namespace platform::detail {

// Copies the bytes of one open file to another, from their current positions.
int copy_file_data(int from_descriptor, int to_descriptor);
// Copies permissions and access and modification times of an open file's source.
int copy_file_status(int to_descriptor, const struct stat& from_status);

// Copies a file, a symbolic link or a whole folder tree to a new entry, keeping
// permissions and times. made tells whether the new entry was created (and so may be
// removed again after a failure); an existing entry is never touched.
int copy_tree(const std::string& from, const std::string& to, bool& made);
// Removes a file, a link or a whole folder tree.
int remove_tree(const std::string& path);

// rename without replacing an existing target (EEXIST then).
int rename_without_replacing(const std::string& from, const std::string& to);

}  // namespace platform::detail
