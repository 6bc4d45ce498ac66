// Any file handed to the skin's PNG decoder: decoding must stay inside the input and the
// image, and a decoded image must be whole.
#include <cstdlib>
#include <vector>

#include "skin/png_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    ZqRawPngDecoder decoder;
    int result = decoder.decode(data, size);
    if (result != 1 && result != -1) std::abort();
    std::size_t width = decoder.get_image_width(), height = decoder.get_image_height();
    if ((width == 0) != (height == 0) || (width != 0) != (decoder.get_image() != nullptr)) std::abort();
    std::vector<std::uint8_t> bits(width * height * 4);
    decoder.copy_to_bgra(bits.data());
    return 0;
}
