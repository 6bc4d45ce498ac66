#include "skin/resource_id_pool.h"

#include <gtest/gtest.h>

#include "platform/registry.h"
#include "skin/hardware_keys.h"
#include "tests/support/test_device.h"

namespace {

TEST(ResourceIdPoolTest, HandsOutFiveIdsAndTakesThemBack) {
    skinner::ResourceIdPool pool(117);
    for (int id = 117; id <= 121; ++id) EXPECT_EQ(pool.acquire(), id);
    EXPECT_EQ(pool.acquire(), 0);
    pool.release(119);
    pool.release(5);
    EXPECT_EQ(pool.acquire(), 119);
    EXPECT_EQ(pool.acquire(), 0);
}

TEST(HardwareKeysTest, CountsTheShellsKeySubkeys) {
    testing_support::TestDevice device;
    EXPECT_EQ(skinner::HardwareKeys::count_keys(), 0);
    for (const char16_t* key : {u"SOFTWARE\\Microsoft\\Shell\\Keys\\40C1", u"SOFTWARE\\Microsoft\\Shell\\Keys\\40C2"}) {
        HKEY handle = nullptr;
        DWORD disposition = 0;
        ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &handle,
                                  &disposition),
                  ERROR_SUCCESS);
        RegCloseKey(handle);
    }
    EXPECT_EQ(skinner::HardwareKeys::count_keys(), 2);
}

}  // namespace
