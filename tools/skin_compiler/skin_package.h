// Writing a compiled skin to its place with its pictures.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/skin_compiler/skin_source.h"

namespace skin_compiler {

enum class PackageKind {
    bare,     // the image as the output file, every picture file beside it
    archive,  // a zip of stored entries: the image first, then the GIF and BMP pictures;
              // PNG and JPEG pictures beside it, where the program looks for them
};

// Writes the output file (replacing it whole) and copies the skin's picture files, with
// their companions, from the picture folder into the output's folder. False with the
// reason when something cannot be read or written.
bool write_skin_package(const std::vector<std::uint8_t>& image, const SkinSource& source,
                        const std::filesystem::path& picture_folder, const std::filesystem::path& output,
                        PackageKind kind, std::string& problem);

// Reads a whole file; false when it cannot be read.
bool read_whole_file(const std::filesystem::path& file, std::vector<std::uint8_t>& bytes);
// Writes a file through a temporary beside it, so that a failure leaves the old one whole.
bool write_whole_file(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes);

}  // namespace skin_compiler
