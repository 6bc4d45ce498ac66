#include <gtest/gtest.h>

#include "platform/kernel.h"
#include "platform/registry.h"
#include "platform/testing.h"
#include "tests/support/test_device.h"

namespace {

using ProcessStateTest = testing_support::DeviceTest;

// A reset forgets caches and notes only: what the process holds open keeps working and what
// it stored is read back from the device.
TEST_F(ProcessStateTest, AResetKeepsOpenObjectsAndStoredData) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, u"Software\\Sonbrix", 0, nullptr, 0, 0, nullptr, &key,
                                             nullptr));
    DWORD const stored = 1234;
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(key, u"Kept", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&stored), sizeof stored));
    HANDLE const event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    ASSERT_NE(nullptr, event);

    platform::reset_process_state();

    DWORD value = 0;
    DWORD size = sizeof value;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"Kept", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size));
    EXPECT_EQ(stored, value);
    EXPECT_TRUE(SetEvent(event));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(event, 0));
    EXPECT_TRUE(CloseHandle(event));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
}

}  // namespace
