// Checks a skin source against its picture folder before it is laid out.
#pragma once

#include <filesystem>

#include "tools/skin_compiler/skin_source.h"

namespace skin_compiler {

// Refuses header texts longer than 31 units, more than 32 screen sizes, duplicate names
// (forms, kinds, the controls of one form, the properties of one type in one node, the
// picture list, the font list), automatic controls without a kind, a variant-of that names
// no form the name begins with, pictures missing from the folder or of an unknown format,
// and picture parts whose corners are out of order or outside their picture. Warns about
// forms whose names begin with another form's name without being marked as its variant.
// Picture parts given without corners become the whole picture.
void check_skin_source(SkinSource& source, const std::filesystem::path& picture_folder, Diagnostics& diagnostics);

}  // namespace skin_compiler
