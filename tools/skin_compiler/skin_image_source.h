// Reads a skin image back into a skin source, so that a compiled skin can be inspected and
// compiled again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/skin_compiler/skin_source.h"

namespace skin_compiler {

// False, with the reason, when the image is not one the program would load. Forms, controls
// and kinds come in tree order (sorted by name), records in array order; a form whose name
// begins with another form's name becomes a variant of the longest such form.
bool read_image_source(const std::vector<std::uint8_t>& image, SkinSource& source, std::string& problem);

}  // namespace skin_compiler
