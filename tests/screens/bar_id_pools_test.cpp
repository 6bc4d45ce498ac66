#include "screens/bar_id_pools.h"

#include <gtest/gtest.h>

namespace {

TEST(BarIdPoolsTest, MenuBarPoolsStartAtTheirFirstIds) {
    screens::BarIdPools const& pools = screens::bar_id_pools();
    EXPECT_EQ(pools.menu_bar_ids.get_first_id(), 117);
    EXPECT_EQ(pools.soft_key_bar_ids.get_first_id(), 1117);
}

}  // namespace
