// picture-split <rendered.png> <colour.png> <alpha.png>
//
// Splits a rendered RGBA picture into the two files a skin ships: the colour picture without
// alpha, and its "_8" alpha companion, a grey picture whose value is the alpha. The skin's
// pictures reach the screen with transparency only through such a companion.
#include <png.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

struct Image {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    std::vector<png_byte> rgba;
};

bool read_rgba(const char* path, Image& image) {
    png_image reader{};
    reader.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&reader, path)) {
        std::fprintf(stderr, "picture-split: %s: %s\n", path, reader.message);
        return false;
    }
    reader.format = PNG_FORMAT_RGBA;
    image.width = reader.width;
    image.height = reader.height;
    image.rgba.resize(PNG_IMAGE_SIZE(reader));
    if (!png_image_finish_read(&reader, nullptr, image.rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "picture-split: %s: %s\n", path, reader.message);
        return false;
    }
    return true;
}

bool write(const char* path, const Image& image, png_uint_32 format, const std::vector<png_byte>& pixels) {
    png_image writer{};
    writer.version = PNG_IMAGE_VERSION;
    writer.width = image.width;
    writer.height = image.height;
    writer.format = format;
    if (!png_image_write_to_file(&writer, path, 0, pixels.data(), 0, nullptr)) {
        std::fprintf(stderr, "picture-split: %s: %s\n", path, writer.message);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: picture-split <rendered.png> <colour.png> <alpha.png>\n");
        return 2;
    }
    Image image;
    if (!read_rgba(argv[1], image)) return 1;
    std::size_t const pixels = std::size_t{image.width} * image.height;
    std::vector<png_byte> colour(pixels * 3);
    std::vector<png_byte> alpha(pixels);
    for (std::size_t i = 0; i < pixels; ++i) {
        for (int channel = 0; channel < 3; ++channel) colour[i * 3 + channel] = image.rgba[i * 4 + channel];
        alpha[i] = image.rgba[i * 4 + 3];
    }
    bool const written = write(argv[2], image, PNG_FORMAT_RGB, colour) && write(argv[3], image, PNG_FORMAT_GRAY, alpha);
    return written ? 0 : 1;
}
