#include "skin/picture_loader.h"

#include "foundation/file.h"
#include "foundation/log.h"
#include "foundation/paths.h"
#include "foundation/zip_file.h"
#include "skin/bitmap_file.h"
#include "skin/png_decoder.h"

namespace skinner {

namespace {

// The whole stream, or nothing when it could not be read whole.
template <typename Stream>
std::optional<std::vector<std::uint8_t>> read_whole(Stream& stream) {
    std::uint32_t size = stream.get_size();
    std::vector<std::uint8_t> bytes(size);
    if (stream.has_errors() || (size > 0 && stream.read(bytes.data(), size) != size)) return std::nullopt;
    return bytes;
}

std::optional<std::vector<std::uint8_t>> read_file(const std::u16string& path) {
    os::File file(path, 0);
    if (file.has_errors()) return std::nullopt;
    return read_whole(file);
}

std::optional<PixelImage> decode_png(const std::vector<std::uint8_t>& bytes) {
    ZqRawPngDecoder decoder;
    decoder.decode(bytes.data(), bytes.size());
    if (decoder.get_image_width() == 0 || decoder.get_image_height() == 0) return std::nullopt;
    PixelImage image(int(decoder.get_image_width()), int(decoder.get_image_height()));
    decoder.copy_to_bgra(reinterpret_cast<std::uint8_t*>(image.pixels.data()));
    return image;
}

}  // namespace

PixelImage scaled(const PixelImage& image, int factor) {
    PixelImage out(image.width * factor, image.height * factor);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x) out.at(x, y) = image.at(x / factor, y / factor);
    return out;
}

std::optional<PictureImages> PictureLoader::load(const std::u16string& skin_path, const std::u16string& name,
                                                 int scale) const {
    if (scale != 1) {
        std::u16string variant = name + u"_x";
        for (char c : std::to_string(scale)) variant += char16_t(c);
        if (auto pre_scaled = load_pair(skin_path, variant)) return pre_scaled;
    }
    auto images = load_pair(skin_path, name);
    if (!images || scale == 1) return images;
    if (scale < 1) return std::nullopt;
    os::get_log() << u"bmp: Width=" << images->colour.width << u" Height=" << images->colour.height
                  << u" bmBitsPixel=32 bmPlanes=1\n";
    images->colour = scaled(images->colour, scale);
    if (images->companion) {
        os::get_log() << u"bitmap_info_a: bmBitsPixel=32 bmPlanes=1\n";
        images->companion = scaled(*images->companion, scale);
    }
    return images;
}

std::optional<PictureImages> PictureLoader::load_pair(const std::u16string& skin_path, const std::u16string& name) const {
    auto colour = load_single(skin_path, name, screen_depth_);
    if (!colour) return std::nullopt;
    PictureImages images;
    images.colour = std::move(*colour);
    images.companion = load_single(skin_path, name + u"_1", screen_depth_);
    if (!images.companion) {
        images.companion = load_single(skin_path, name + u"_8", 24);
        images.alpha = images.companion.has_value();
    }
    return images;
}

std::optional<PixelImage> PictureLoader::load_single(const std::u16string& skin_path, const std::u16string& name,
                                                     int depth) const {
    std::u16string path = os::expanded_path(skin_path);
    bool ended = false;
    {
        liba::ZipFile archive(path);
        if (auto image = from_archive(archive, name, depth, ended)) return image;
    }
    if (ended) return std::nullopt;
    return from_folder(os::get_folder(path), name, depth, ended);
}

// Archive entries: GIF, then BMP by the platform decoder, then BMP read as a bitmap file. An
// entry that exists and cannot be decoded ends the search.
std::optional<PixelImage> PictureLoader::from_archive(liba::ZipFile& archive, const std::u16string& name, int depth,
                                                      bool& ended) const {
    if (archive.open_entry(name + u".gif")) {
        ended = true;
        auto bytes = read_whole(archive);
        return bytes ? decoder_(*bytes, depth) : std::nullopt;
    }
    if (archive.open_entry(name + u".bmp")) {
        ended = true;
        auto bytes = read_whole(archive);
        if (!bytes) return std::nullopt;
        if (auto image = decoder_(*bytes, depth)) return image;
        return read_bitmap_file(*bytes);
    }
    return std::nullopt;
}

// Files beside the skin: PNG by the skin's own decoder, then BMP, GIF and JPEG by the platform.
std::optional<PixelImage> PictureLoader::from_folder(const std::u16string& folder, const std::u16string& name,
                                                     int depth, bool& ended) const {
    if (auto png = read_file(os::join_path(folder, name + u".png"))) {
        ended = true;
        return decode_png(*png);
    }
    for (const char16_t* extension : {u".bmp", u".gif", u".jpg"}) {
        auto bytes = read_file(os::join_path(folder, name + extension));
        if (!bytes) continue;
        if (auto image = decoder_(*bytes, depth)) return image;
    }
    return std::nullopt;
}

}  // namespace skinner
