#include "tools/screen_control/png_file.h"

#include <png.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace screen_control {
namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

bool write_rows(std::FILE* file, const platform::screen::ScreenPicture& picture) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    std::vector<png_byte> row(static_cast<std::size_t>(picture.width) * 3);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(picture.width), static_cast<png_uint_32>(picture.height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            std::uint32_t const pixel = picture.at(x, y);
            row[static_cast<std::size_t>(x) * 3] = static_cast<png_byte>(pixel >> 16);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<png_byte>(pixel >> 8);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<png_byte>(pixel);
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool write_png(const std::string& path, const platform::screen::ScreenPicture& picture, std::string& error) {
    std::string const partial = path + ".partial";
    bool written = false;
    {
        std::unique_ptr<std::FILE, FileCloser> file(std::fopen(partial.c_str(), "wb"));
        if (!file) {
            error = "cannot write " + partial;
            return false;
        }
        written = write_rows(file.get(), picture) && std::fflush(file.get()) == 0;
    }
    if (!written || std::rename(partial.c_str(), path.c_str()) != 0) {
        std::remove(partial.c_str());
        error = "cannot write " + path;
        return false;
    }
    return true;
}

}  // namespace screen_control
