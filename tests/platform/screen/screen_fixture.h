// Two or more processes with windows on one headless screen, driven from the test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/test_device.h"
#include "tests/support/test_screen.h"

namespace screen_tests {

// A process of the screen client program (tests/platform/screen/client).
class ScreenProcess {
public:
    ScreenProcess();
    // Runs one command; true when it answered "ok". Events that came before the answer are
    // kept for events().
    bool run(const std::string& command);
    // The events the process has written so far ("KIND WINDOW X Y VK CH"), then forgets them.
    std::vector<std::string> events();
    testing_support::ChildProcess& process() { return child_; }

private:
    testing_support::ChildProcess child_;
    std::vector<std::string> events_;
};

// No screen server holds the device's server lock (none runs or starts).
bool server_lock_is_free(const std::string& device_folder);

class ScreenTest : public testing_support::DeviceTest {
protected:
    testing_support::TestScreen screen;
};

}  // namespace screen_tests
