#include "tests/support/test_device.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <stdlib.h>

namespace testing_support {

TestDevice::TestDevice() {
    if (char const* previous = std::getenv("SONBRIX_DEVICE")) {
        previous_ = previous;
        had_previous_ = true;
    }
    auto const base = std::filesystem::temp_directory_path();
    std::string pattern = (base / "sonbrix-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a test device folder");
    folder_ = pattern;
    setenv("SONBRIX_DEVICE", folder_.c_str(), 1);
}

TestDevice::~TestDevice() {
    if (had_previous_) setenv("SONBRIX_DEVICE", previous_.c_str(), 1);
    else unsetenv("SONBRIX_DEVICE");
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string read_host_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void write_host_file(const std::string& path, const std::string& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool host_file_exists(const std::string& path) { return std::filesystem::exists(path); }

}  // namespace testing_support
