#include "tests/support/test_device.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <signal.h>
#include <stdlib.h>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testing_support {

namespace {

std::vector<pid_t> processes_on_device(const std::string& folder) {
    std::string const marker = "SONBRIX_DEVICE=" + folder;
    std::vector<pid_t> found;
    std::error_code error;
    for (auto const& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::string const name = entry.path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        pid_t const pid = static_cast<pid_t>(std::stol(name));
        if (pid == ::getpid()) continue;
        std::string const environment = read_host_file(entry.path().string() + "/environ");
        for (std::size_t at = 0; at < environment.size();) {
            std::size_t const end = environment.find('\0', at);
            if (environment.compare(at, end - at, marker) == 0) found.push_back(pid);
            if (end == std::string::npos) break;
            at = end + 1;
        }
    }
    return found;
}

bool gone_or_zombie(pid_t pid) {
    std::string const stat = read_host_file("/proc/" + std::to_string(pid) + "/stat");
    std::size_t const after_name = stat.rfind(')');
    return after_name == std::string::npos || stat.compare(after_name, 3, ") Z") == 0;
}

// A test that failed half-way can leave programs it started (directly or through the
// device's own starts) running; they would hold the test runner's output open until its
// time limit, so they end with the device.
void end_processes_left_on(const std::string& folder) {
    std::vector<pid_t> const left = processes_on_device(folder);
    for (pid_t pid : left) ::kill(pid, SIGKILL);
    for (pid_t pid : left) {
        for (int wait = 0; wait < 500 && !gone_or_zombie(pid); ++wait)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

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
    end_processes_left_on(folder_);
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
