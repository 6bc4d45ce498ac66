#include "skin/resource_id_pool.h"

#include <gtest/gtest.h>


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

}  // namespace
