#include "skin/picture_bands.h"

#include <gtest/gtest.h>

namespace {

using skinner::BandAxis;
using skinner::map_band;

TEST(PictureBandsTest, ThirtyPixelFrameDrawnFiftyWide) {
    const BandAxis axis{0, 10, 20, 30};
    for (int d = 0; d <= 10; ++d) EXPECT_EQ(map_band(d, 0, 50, axis, false), d);
    for (int d = 40; d < 50; ++d) EXPECT_EQ(map_band(d, 0, 50, axis, true), d - 20);
    for (int d = 11; d < 40; ++d) {
        EXPECT_EQ(map_band(d, 0, 50, axis, false), 10 + (d - 10) % 10) << d;
        int stretched = map_band(d, 0, 50, axis, true);
        EXPECT_GE(stretched, 10);
        EXPECT_LT(stretched, 20);
    }
    EXPECT_EQ(map_band(50, 0, 50, axis, false), -1);
    EXPECT_EQ(map_band(-1, 0, 50, axis, false), -1);
    EXPECT_EQ(map_band(104, 100, 150, axis, false), 4);
}

TEST(PictureBandsTest, WholePictureAsMiddleBand) {
    const BandAxis axis{0, 0, 4, 4};
    EXPECT_EQ(map_band(0, 0, 8, axis, false), 0);
    EXPECT_EQ(map_band(5, 0, 8, axis, false), 1);
    EXPECT_EQ(map_band(7, 0, 8, axis, true), 3);
    EXPECT_EQ(map_band(3, 0, 8, axis, true), 1);
}

TEST(PictureBandsTest, BordersShrinkWithTheRightTakingTheLargerLoss) {
    struct Case {
        int first, last, extent, fitted_first, fitted_last;
    };
    const Case cases[] = {
        {8, 8, 20, 8, 8},  {8, 8, 12, 6, 6},   {5, 5, 7, 4, 3},    {0, 10, 4, 0, 4},
        {10, 0, 4, 4, 0},  {-5, 3, 10, 0, 3},  {4, -9, 2, 2, 0},   {10, 10, 0, 0, 0},
        {1, 1, 1, 1, 0},   {7, 2, 5, 5, 0},
    };
    for (const Case& c : cases) {
        skinner::BorderPair fitted = skinner::fit_borders(c.first, c.last, c.extent);
        EXPECT_EQ(fitted.first, c.fitted_first) << c.first << " " << c.last << " in " << c.extent;
        EXPECT_EQ(fitted.last, c.fitted_last) << c.first << " " << c.last << " in " << c.extent;
    }
}

TEST(PictureBandsTest, FramePiecesStayInsideThePicture) {
    // Points that reach past a 10 x 10 picture: every source is clipped to it.
    const POINT points[4] = {{-5, -5}, {3, 3}, {7, 7}, {40, 40}};
    auto pieces = skinner::frame_pieces(points, {0, 0, 100, 100}, 10, 10);
    ASSERT_FALSE(pieces.empty());
    for (const auto& piece : pieces) {
        EXPECT_GE(piece.source.left, 0);
        EXPECT_GE(piece.source.top, 0);
        EXPECT_LE(piece.source.right, 10);
        EXPECT_LE(piece.source.bottom, 10);
        EXPECT_LT(piece.source.left, piece.source.right);
        EXPECT_GE(piece.destination.left, 0);
        EXPECT_LE(piece.destination.right, 100);
    }
    EXPECT_TRUE(skinner::frame_pieces(points, {0, 0, 0, 10}, 10, 10).empty());
}

}  // namespace
