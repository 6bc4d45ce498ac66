// Any bitmap file entry of a skin archive: reading it must stay inside the bytes, and a
// picture read must be whole.
#include <cstdlib>
#include <vector>

#include "skin/bitmap_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    auto image = skinner::read_bitmap_file(bytes);
    if (image && image->pixels.size() != std::size_t(image->width) * std::size_t(image->height)) std::abort();
    return 0;
}
