#include "bench/bench_input.h"

#include <cstdlib>
#include <filesystem>

#include "platform/device.h"
#include "platform/unicode.h"

namespace bench {

std::optional<std::u16string> given_file(const std::string& name) {
    const char* folder = std::getenv("SONBRIX_BENCH_INPUT_DIR");
    if (folder == nullptr) return std::nullopt;
    std::filesystem::path const host = std::filesystem::absolute(std::filesystem::path(folder) / name);
    if (!std::filesystem::exists(host)) return std::nullopt;
    if (auto inside = platform::device_path(host.lexically_normal().string())) return inside;
    platform::host_path(u"\\");
    std::filesystem::path const copy = std::filesystem::path(platform::device_folder()) / "fs" / ("sonbrix-bench-" + name);
    std::filesystem::copy_file(host, copy, std::filesystem::copy_options::overwrite_existing);
    return u"\\sonbrix-bench-" + platform::utf8_to_utf16(name);
}

}  // namespace bench
