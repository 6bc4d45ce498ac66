#include "tests/fuzz/fuzz_input.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdlib.h>

#include "platform/device.h"

namespace fuzzing {

namespace {

std::string& private_folder() {
    static std::string folder;
    return folder;
}

void remove_private_folder() {
    std::error_code ignored;
    if (!private_folder().empty()) std::filesystem::remove_all(private_folder(), ignored);
}

}  // namespace

// Parallel fuzzing runs several processes that inherit one environment: each one makes its
// own device, inside the one SONBRIX_DEVICE names when it names one, so that no process
// overwrites another's input.
void use_private_device() {
    char const* const given = std::getenv("SONBRIX_DEVICE");
    std::filesystem::path const parent = given && *given ? std::filesystem::path(given) : std::filesystem::temp_directory_path();
    std::error_code ignored;
    std::filesystem::create_directories(parent, ignored);
    std::string folder = (parent / "sonbrix-fuzz-XXXXXX").string();
    if (!mkdtemp(folder.data())) return;
    private_folder() = folder;
    setenv("SONBRIX_DEVICE", folder.c_str(), 1);
    std::atexit(remove_private_folder);
}

bool write_device_file(const std::u16string& path, const std::uint8_t* data, std::size_t size) {
    std::optional<std::string> const host = platform::host_path(path);
    if (!host) return false;
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(*host).parent_path(), ignored);
    std::ofstream out(*host, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    return static_cast<bool>(out.flush());
}

}  // namespace fuzzing
