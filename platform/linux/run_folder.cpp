#include "platform/linux/run_folder.h"

#include <filesystem>

#include "platform/device.h"

namespace platform::detail {

std::string run_subfolder(const std::string& name) {
    std::filesystem::path const folder = std::filesystem::path(platform::device_folder()) / "run" / name;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder.string();
}

}  // namespace platform::detail
