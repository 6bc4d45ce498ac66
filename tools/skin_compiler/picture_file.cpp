#include "tools/skin_compiler/picture_file.h"

#include <cstdint>
#include <fstream>
#include <iterator>

namespace skin_compiler {
namespace {

std::vector<std::uint8_t> read_start(const std::filesystem::path& file, std::size_t count) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> bytes(count);
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(count));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

std::uint32_t big16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] << 8 | b[at + 1]);
}
std::uint32_t big32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return big16(b, at) << 16 | big16(b, at + 2);
}
std::uint32_t little16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8);
}
std::int32_t little32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::int32_t>(little16(b, at) | little16(b, at + 2) << 16);
}

std::optional<skinner::Size> jpeg_size(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::uint8_t> b((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (std::size_t at = 2; at + 9 < b.size();) {
        if (b[at] != 0xFF) return std::nullopt;
        std::uint8_t marker = b[at + 1];
        bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) return skinner::Size{static_cast<int>(big16(b, at + 7)), static_cast<int>(big16(b, at + 5))};
        at += 2 + big16(b, at + 2);
    }
    return std::nullopt;
}

}  // namespace

const std::vector<std::string>& picture_extensions() {
    static const std::vector<std::string> extensions{".gif", ".bmp", ".png", ".jpg"};
    return extensions;
}

std::optional<std::filesystem::path> find_picture_file(const std::filesystem::path& folder, const std::string& name) {
    for (std::string const& extension : picture_extensions()) {
        std::filesystem::path file = folder / (name + extension);
        if (std::filesystem::is_regular_file(file)) return file;
    }
    return std::nullopt;
}

std::optional<skinner::Size> read_picture_size(const std::filesystem::path& file) {
    std::vector<std::uint8_t> b = read_start(file, 32);
    if (b.size() >= 24 && b[0] == 0x89 && b[1] == 'P' && b[2] == 'N' && b[3] == 'G') {
        return skinner::Size{static_cast<int>(big32(b, 16)), static_cast<int>(big32(b, 20))};
    }
    if (b.size() >= 10 && b[0] == 'G' && b[1] == 'I' && b[2] == 'F') {
        return skinner::Size{static_cast<int>(little16(b, 6)), static_cast<int>(little16(b, 8))};
    }
    if (b.size() >= 26 && b[0] == 'B' && b[1] == 'M') {
        std::int32_t height = little32(b, 22);
        return skinner::Size{little32(b, 18), height < 0 ? -height : height};
    }
    if (b.size() >= 4 && b[0] == 0xFF && b[1] == 0xD8) return jpeg_size(file);
    return std::nullopt;
}

std::vector<std::filesystem::path> picture_files_with_companions(const std::filesystem::path& folder,
                                                                 const std::string& name) {
    std::vector<std::string> stems{name, name + "_1", name + "_8"};
    for (int scale = 2; scale <= 4; ++scale) {
        std::string scaled = name + "_x" + std::to_string(scale);
        stems.insert(stems.end(), {scaled, scaled + "_1", scaled + "_8"});
    }
    std::vector<std::filesystem::path> files;
    for (std::string const& stem : stems) {
        for (std::string const& extension : picture_extensions()) {
            std::filesystem::path file = folder / (stem + extension);
            if (std::filesystem::is_regular_file(file)) files.push_back(file);
        }
    }
    return files;
}

}  // namespace skin_compiler
