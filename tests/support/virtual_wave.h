// Tests that play or record run on the virtual sound device, fast, in their own device
// folder; the device's settings, captured output and the test clock are reset before and
// after.
#pragma once

#include <gtest/gtest.h>

#include "platform/testing.h"
#include "platform/wave_testing.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"

namespace testing_support {

class VirtualWaveTest : public DeviceTest {
protected:
    VirtualWaveTest() {
        platform::reset_virtual_wave();
        platform::set_test_clock(platform::TestClock::real);
        platform::set_virtual_wave_speed(50);
    }
    ~VirtualWaveTest() override {
        platform::set_test_clock(platform::TestClock::real);
        platform::reset_virtual_wave();
    }

    ScopedEnvironment audio{"SONBRIX_AUDIO", "virtual"};
};

}  // namespace testing_support
