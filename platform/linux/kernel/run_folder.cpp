#include "platform/linux/kernel/run_folder.h"

#include <cctype>
#include <filesystem>
#include <functional>

#include "platform/device.h"
#include "platform/unicode.h"

namespace platform::detail {

std::string run_subfolder(const std::string& name) {
    std::filesystem::path const folder = std::filesystem::path(platform::device_folder()) / "run" / name;
    std::error_code ignored;
    std::filesystem::create_directories(folder, ignored);
    return folder.string();
}

std::string run_file_name(std::u16string_view object_name) {
    static char const digits[] = "0123456789ABCDEF";
    std::string result;
    for (unsigned char c : platform::utf16_to_utf8(object_name)) {
        if (std::isalnum(c) || c == '-' || c == '_' || c == '.') {
            result += static_cast<char>(c);
        } else {
            result += '%';
            result += digits[c >> 4];
            result += digits[c & 0xF];
        }
    }
    if (result.size() > 200) result = result.substr(0, 180) + "~" + std::to_string(std::hash<std::string>{}(result));
    return result;
}

std::string device_key() {
    std::error_code ignored;
    auto const folder = std::filesystem::weakly_canonical(platform::device_folder(), ignored);
    return folder.string();
}

}  // namespace platform::detail
