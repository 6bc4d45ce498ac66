// A zip archive whose entries are stored uncompressed, as skin files are.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace skin_compiler {

// The archive bytes: local headers and data in the given order, the central directory and
// its end record. Times are fixed, so the same entries give the same bytes.
std::vector<std::uint8_t> make_stored_zip(const std::vector<std::pair<std::string, std::vector<std::uint8_t>>>& entries);

}  // namespace skin_compiler

namespace skin_compiler {

// The skin image inside a skin file: the data of the first stored entry whose name ends in
// ".skin" (any case) when the bytes are a zip archive, else the bytes themselves.
std::vector<std::uint8_t> skin_image_of_file(const std::vector<std::uint8_t>& bytes);

}  // namespace skin_compiler
