#include "skin/skin_file.h"

#include "foundation/file.h"
#include "foundation/log.h"
#include "foundation/paths.h"
#include "foundation/zip_file.h"
#include "skin/skin_header.h"

namespace skinner {
namespace {

bool find_skin_entry(liba::ZipFile& zip) {
    for (std::u16string name = zip.next_entry(); !name.empty(); name = zip.next_entry()) {
        if (os::paths_equal(os::get_extension(name), u"skin")) return true;
    }
    return false;
}

// Reads up to limit bytes (all of them when limit is 0) of the stream into the image.
bool read_stream(liba::StreamReader& stream, std::uint32_t limit, std::vector<std::uint8_t>& image,
                 const std::u16string& path, const char* failure) {
    std::uint32_t size = stream.get_size();
    if (limit != 0 && size > limit) size = limit;
    if (limit == 0 && size > max_skin_image_size) {
        os::get_log() << "Error: skin [" << path << "] is larger than " << max_skin_image_size << " bytes\n";
        image.clear();
        return false;
    }
    image.assign(size, 0);
    if (size == 0) return true;
    if (stream.read(image.data(), size) == size) return true;
    os::get_log() << "Error: skin [" << path << failure;
    image.clear();
    return false;
}

bool read_image(const std::u16string& path, std::uint32_t limit, std::vector<std::uint8_t>& image) {
    {
        liba::ZipFile zip(path);
        if (find_skin_entry(zip)) return read_stream(zip, limit, image, path, "] failed to load from archive\n");
    }
    os::File file(path, 0);
    return read_stream(file, limit, image, path, "] failed to load\n");
}

}  // namespace

bool read_skin_image(const std::u16string& path, std::vector<std::uint8_t>& image) {
    return read_image(path, 0, image);
}

bool is_skin_file_suitable(const std::u16string& path, const std::u16string& compatibility_name, Size screen) {
    std::vector<std::uint8_t> header;
    if (!read_image(path, format::header_size, header) || header.size() < format::header_size) return false;
    SkinImage image(header.data(), format::header_size);
    return is_header_valid(image) && test_suitability(image, compatibility_name, screen).suitable;
}

}  // namespace skinner
