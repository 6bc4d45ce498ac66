// Reading a skin image from a skin file: the first entry of a zip archive whose name has
// the extension "skin", else the whole file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/geometry.h"

namespace skinner {

// Larger images are refused unread: a skin is a few hundred kilobytes at most.
constexpr std::uint32_t max_skin_image_size = 4 * 1024 * 1024;

// The image bytes; false (with a line in the log) when they cannot all be read or the
// image is larger than max_skin_image_size. An empty file gives true and no bytes.
bool read_skin_image(const std::u16string& path, std::vector<std::uint8_t>& image);

// Reads only the header and applies the suitability test; false when the header cannot be
// read or is not valid.
bool is_skin_file_suitable(const std::u16string& path, const std::u16string& compatibility_name, Size screen);

}  // namespace skinner
