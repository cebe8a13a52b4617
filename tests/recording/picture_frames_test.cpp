#include "recording/picture_frames.h"

#include <vector>

#include <gtest/gtest.h>

namespace lorvane {
namespace {

TEST(PaintingSteps, AFrameForEachItemThatCoversAPixelAndTheCaptionsTogetherLast)
{
    const RecordedPicture picture(0x102030, {
                                                FillItem{0, 0, 600, 450, 1},
                                                FillItem{10, 20, 30, 40, 2},
                                                FillItem{50, 50, 50, 60, 3},  // no pixel
                                                LineItem{5, 7, 2, 9, 4},
                                                FillItem{590, 440, 600, 450, 5},
                                                TextItem{5.5, 420.2, 0, 9.0F, 6, "T"},
                                                TextItem{0.0, 420.2, 1, 9.0F, 6, "a"},
                                                TextItem{650.0, -3.0, 0, 9.0F, 6, "far right"},
                                            });
    const std::vector<PaintingStep> expected{
        {0, 1, {0, 0, 600, 450}},     {1, 2, {10, 20, 30, 40}},   {3, 4, {2, 7, 6, 10}},
        {4, 5, {590, 440, 600, 450}}, {5, 8, {0, 419, 600, 450}},
    };
    EXPECT_EQ(PaintingSteps(picture), expected);
    EXPECT_TRUE(PaintingSteps(RecordedPicture(0x102030, {})).empty());
}

TEST(FrameDelays, PaintingSharedEvenlyToAnExactTotalAndTheLastFrameHeld)
{
    EXPECT_EQ(FrameDelays(4, 100, 300), (std::vector<int>{33, 34, 33, 300}));
    EXPECT_EQ(FrameDelays(3, 401, 7), (std::vector<int>{201, 200, 7}));
    EXPECT_EQ(FrameDelays(1, 100, 300), (std::vector<int>{300}));
    EXPECT_TRUE(FrameDelays(0, 100, 300).empty());
}

}  // namespace
}  // namespace lorvane
