// Loading one skin picture from its skin: the colour image, its "_1" mask or "_8" alpha
// companion, a pre-scaled "_x" variant, from the skin archive or beside the skin file.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "skin/pixel_image.h"

namespace liba {
class ZipFile;
}

namespace skinner {

struct PictureImages {
    PixelImage colour;
    std::optional<PixelImage> companion;  // a mask, or an alpha image when alpha is set
    bool alpha = false;
};

// The platform's decoder for GIF, BMP and JPEG pictures at a bit depth; nothing when it
// rejects the bytes.
using PlatformDecoder = std::function<std::optional<PixelImage>(const std::vector<std::uint8_t>& bytes, int depth)>;

class PictureLoader {
public:
    PictureLoader(PlatformDecoder decoder, int screen_depth) : decoder_(std::move(decoder)), screen_depth_(screen_depth) {}

    // The picture at the scale (pre-scaled variant first, else the plain one stretched);
    // nothing when its colour image is found nowhere or does not decode.
    std::optional<PictureImages> load(const std::u16string& skin_path, const std::u16string& name, int scale) const;

private:
    std::optional<PictureImages> load_pair(const std::u16string& skin_path, const std::u16string& name) const;
    std::optional<PixelImage> load_single(const std::u16string& skin_path, const std::u16string& name, int depth) const;
    std::optional<PixelImage> from_archive(liba::ZipFile& archive, const std::u16string& name, int depth,
                                           bool& ended) const;
    std::optional<PixelImage> from_folder(const std::u16string& folder, const std::u16string& name, int depth,
                                          bool& ended) const;

    PlatformDecoder decoder_;
    int screen_depth_;
};

// Each side times the factor (truncated), nearest pixel.
PixelImage scaled(const PixelImage& image, int factor);

}  // namespace skinner
