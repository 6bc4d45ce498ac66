#include "tools/skin_compiler/skin_package.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <system_error>

#include "tools/skin_compiler/picture_file.h"
#include "tools/skin_compiler/stored_zip.h"
#include "tools/skin_compiler/utf.h"

namespace skin_compiler {
namespace {

bool goes_into_archive(const std::filesystem::path& file) {
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(), [](unsigned char c) { return std::tolower(c); });
    return extension == ".gif" || extension == ".bmp";
}

std::vector<std::filesystem::path> picture_files(const SkinSource& source, const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    for (NamedEntry const& picture : source.pictures) {
        for (auto const& file : picture_files_with_companions(folder, utf16_to_utf8(picture.text))) {
            if (std::find(files.begin(), files.end(), file) == files.end()) files.push_back(file);
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

bool same_file(const std::filesystem::path& a, const std::filesystem::path& b) {
    std::error_code error;
    return std::filesystem::equivalent(a, b, error);
}

}  // namespace

bool read_whole_file(const std::filesystem::path& file, std::vector<std::uint8_t>& bytes) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool write_whole_file(const std::filesystem::path& file, const std::vector<std::uint8_t>& bytes) {
    std::filesystem::path temporary = file;
    temporary += ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out.flush()) return false;
    }
    std::error_code error;
    std::filesystem::rename(temporary, file, error);
    return !error;
}

bool write_skin_package(const std::vector<std::uint8_t>& image, const SkinSource& source,
                        const std::filesystem::path& picture_folder, const std::filesystem::path& output,
                        PackageKind kind, std::string& problem) {
    std::filesystem::path folder = output.parent_path().empty() ? "." : output.parent_path();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    std::vector<std::pair<std::string, std::vector<std::uint8_t>>> entries;
    if (kind == PackageKind::archive) entries.push_back({output.stem().string() + ".skin", image});
    for (auto const& file : picture_files(source, picture_folder)) {
        if (kind == PackageKind::archive && goes_into_archive(file)) {
            std::vector<std::uint8_t> bytes;
            if (!read_whole_file(file, bytes)) {
                problem = "cannot read " + file.string();
                return false;
            }
            entries.push_back({file.filename().string(), std::move(bytes)});
            continue;
        }
        std::filesystem::path target = folder / file.filename();
        if (same_file(file, target)) continue;
        std::filesystem::copy_file(file, target, std::filesystem::copy_options::overwrite_existing, error);
        if (error) {
            problem = "cannot copy " + file.string() + " to " + target.string() + ": " + error.message();
            return false;
        }
    }
    std::vector<std::uint8_t> bytes = kind == PackageKind::archive ? make_stored_zip(entries) : image;
    if (!write_whole_file(output, bytes)) {
        problem = "cannot write " + output.string();
        return false;
    }
    return true;
}

}  // namespace skin_compiler
