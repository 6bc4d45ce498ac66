#include "bench/bench_device.h"

#include <stdlib.h>

#include <filesystem>
#include <system_error>

namespace bench {

BenchDevice::BenchDevice() {
    std::string pattern = (std::filesystem::temp_directory_path() / "sonbrix-bench-XXXXXX").string();
    if (mkdtemp(pattern.data())) folder_ = pattern;
    setenv("SONBRIX_DEVICE", folder_.c_str(), 1);
    setenv("SONBRIX_DISPLAY", "headless", 1);
    setenv("SONBRIX_DISPLAY_SIZE", "480x640", 1);
}

BenchDevice::~BenchDevice() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace bench
