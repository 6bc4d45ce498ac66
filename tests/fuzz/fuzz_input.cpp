#include "tests/fuzz/fuzz_input.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdlib.h>

#include "platform/device.h"

namespace fuzzing {

void use_private_device() {
    if (std::getenv("SONBRIX_DEVICE")) return;
    std::string folder = (std::filesystem::temp_directory_path() / "sonbrix-fuzz-XXXXXX").string();
    if (mkdtemp(folder.data())) setenv("SONBRIX_DEVICE", folder.c_str(), 1);
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
