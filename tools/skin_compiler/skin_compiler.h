// The skin compiler: skin sources to skin images and back.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "tools/skin_compiler/skin_source.h"

namespace skin_compiler {

// Reads, checks (pictures in the folder) and lays out the XML source; an empty image when
// the diagnostics hold errors.
std::vector<std::uint8_t> compile_skin(const std::string& xml, const std::filesystem::path& picture_folder,
                                       SkinSource& source, Diagnostics& diagnostics);

// The XML source of a skin image; false with the reason when the image is not valid.
bool dump_skin(const std::vector<std::uint8_t>& image, std::string& xml, std::string& problem);

}  // namespace skin_compiler
