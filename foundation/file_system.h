#pragma once

#include <string>
#include <vector>

namespace os {

// Bytes free to the caller on the volume of the path; 0 when the platform cannot tell.
double get_disk_free_space(const std::u16string& path);

// Makes every missing folder of the path's chain, outermost first. Failures, folders that
// exist already among them, are ignored.
void make_folders(const std::u16string& path);

// The device paths of the storage cards present ("\Storage Card"), in the platform's order.
std::vector<std::u16string> get_storage_cards();
// Whether the path names a storage card (a folder that the platform marks as one).
bool is_storage_card(const std::u16string& path);

}  // namespace os

// Opens the file as the shell does (a program is started with the parameters; another file
// by the program associated with its type); both may begin with a path macro. True when
// the platform started it.
bool execute_file(const std::u16string& file, const std::u16string& parameters);
