// Lays a checked skin source out as a skin image.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/skin_compiler/skin_source.h"

namespace skin_compiler {

// The image: header, the texts that records name by 16-bit offsets (sorted, each once),
// the other node names, the nodes (forms, then each form's controls, then kinds, each set
// sorted by name and linked as a balanced search tree), their record arrays sorted by name,
// and the name pool. The same source gives the same bytes. Refuses (in the diagnostics)
// picture indices of 256 and above and 16-bit texts that would end beyond the first 65,536
// bytes; the image is then empty.
std::vector<std::uint8_t> write_skin_image(const SkinSource& source, Diagnostics& diagnostics);

}  // namespace skin_compiler
