// The picture files of a skin in its source folder: which file a picture name stands for
// and how large that picture is.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "skin/geometry.h"

namespace skin_compiler {

// The extensions a picture may have, in the order the program looks for them.
const std::vector<std::string>& picture_extensions();

// The file of the picture name in the folder (the first extension that exists).
std::optional<std::filesystem::path> find_picture_file(const std::filesystem::path& folder, const std::string& name);

// Width and height from the header of a GIF, BMP, PNG or JPEG file; nothing when the file
// is none of them or is cut short.
std::optional<skinner::Size> read_picture_size(const std::filesystem::path& file);

// The picture's file and every companion the program may load with it (mask "_1", alpha
// "_8", pre-scaled "_x2" to "_x4" and their masks and alphas), as they exist in the folder.
std::vector<std::filesystem::path> picture_files_with_companions(const std::filesystem::path& folder,
                                                                 const std::string& name);

}  // namespace skin_compiler
