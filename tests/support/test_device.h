// A private device folder for one test: made empty, named by SONBRIX_DEVICE while the
// test runs, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

class TestDevice {
public:
    TestDevice();
    ~TestDevice();
    TestDevice(const TestDevice&) = delete;
    TestDevice& operator=(const TestDevice&) = delete;

    // The host folder of the device, and of its file system root "\".
    const std::string& folder() const { return folder_; }
    std::string fs() const { return folder_ + "/fs"; }
    // Host path of a device path given with '/' separators below the root ("My Documents/a.wav").
    std::string host_path(const std::string& below_root) const { return fs() + "/" + below_root; }

private:
    std::string folder_;
    std::string previous_;
    bool had_previous_ = false;
};

// Fixture that gives every test its own device.
class DeviceTest : public ::testing::Test {
protected:
    TestDevice device;
};

// Whole-file helpers on host paths.
std::string read_host_file(const std::string& path);
void write_host_file(const std::string& path, const std::string& bytes);
bool host_file_exists(const std::string& path);

}  // namespace testing_support
