#include "render/memory_budget.h"

#include <gtest/gtest.h>

namespace lorvane {
namespace {

constexpr std::uint64_t kGiB = std::uint64_t{1} << 30U;

TEST(MemoryBudget, JobsAreLoweredUntilTheJobsPlusOnePicturesInHandFit)
{
    const struct {
        std::uint64_t pictureBytes;
        std::uint64_t budget;
        int jobs;
        int capped;
    } cases[] = {
        {64 * kMebibyte, 1 * kGiB, 8, 8},  // 9 pictures fit
        {1 * kGiB, 9 * kGiB, 8, 8},        // exactly 9
        {1 * kGiB, 9 * kGiB - 1, 8, 7},    // a byte short of 9
        {1 * kGiB, 3 * kGiB, 8, 2},        // a 16384 x 16384 --fit, 3 GiB free
        {1 * kGiB, 2 * kGiB, 8, 1},        // two pictures: one job
        {1 * kGiB, 1 * kGiB, 8, 1},        // not even two: still one job
        {1 * kGiB, 0, 8, 1},               // nothing known free: one job
        {1 * kGiB, 64 * kGiB, 256, 63},    // many cores, 64 GiB
        {0, 0, 4, 4},                      // SVG and PDF hold no image
        {1, ~std::uint64_t{0}, 256, 256},  // no overflow
        {~std::uint64_t{0}, ~std::uint64_t{0}, 3, 1},
    };
    for (const auto& [pictureBytes, budget, jobs, capped] : cases) {
        EXPECT_EQ(JobsWithinMemory(jobs, pictureBytes, budget), capped) << jobs << " " << pictureBytes << " " << budget;
    }
}

TEST(MemoryBudget, APictureInHandIsItsPngImageAtFourBytesAPixel)
{
    RenderOptions options;
    EXPECT_EQ(PictureBytes(options), 600U * 450U * 4U);
    options.scale = 8;
    EXPECT_EQ(PictureBytes(options), 4800U * 3600U * 4U);
    options.fit = QSize(16384, 16384);
    EXPECT_EQ(PictureBytes(options), 16384U * 16384U * 4U);
    options.fit.reset();
    options.format = FileFormat::Svg;
    EXPECT_EQ(PictureBytes(options), 0U);
}

}  // namespace
}  // namespace lorvane
