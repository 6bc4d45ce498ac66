// Tests that play or record run on the virtual sound device, fast, in their own device
// folder; the device's settings and captured output are forgotten before and after.
#pragma once

#include <gtest/gtest.h>

#include "platform/wave_testing.h"
#include "tests/support/scoped_environment.h"
#include "tests/support/test_device.h"

namespace testing_support {

class VirtualWaveTest : public DeviceTest {
protected:
    VirtualWaveTest() {
        platform::reset_virtual_wave();
        platform::set_virtual_wave_speed(50);
    }
    ~VirtualWaveTest() override { platform::reset_virtual_wave(); }

    ScopedEnvironment audio{"SONBRIX_AUDIO", "virtual"};
};

}  // namespace testing_support
