#include "app/screensaver.h"

#include <QSignalSpy>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "tests/fakes.h"

namespace lorvane {
namespace {

// Pictures drawn so far, by the random values they took.
std::size_t PicturesDrawn(const testing::ScriptedRandomSource& random)
{
    return random.drawn / testing::kDrawsPerPicture;
}

TEST(Screensaver, DrawsTheNextPictureAfterTheIntervalInSecondsAndNoSooner)
{
    testing::ScriptedClock clock("03-07-2024", "09:05:02");
    testing::ScriptedRandomSource slow;
    Screensaver everyTenSeconds(
        nullptr, [] { return QSize(800, 600); }, slow, clock, 10.0);
    everyTenSeconds.Start();
    EXPECT_EQ(PicturesDrawn(slow), 1U);
    // Ten seconds read as milliseconds would draw a picture here every 10 ms.
    QTest::qWait(300);
    EXPECT_EQ(PicturesDrawn(slow), 1U);

    testing::ScriptedRandomSource quick;
    Screensaver everyHalfSecond(
        nullptr, [] { return QSize(800, 600); }, quick, clock, 0.5);
    everyHalfSecond.Start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return PicturesDrawn(quick) == 2; }, 10000));
}

TEST(Screensaver, EachPictureCanPaintItself)
{
    testing::ScriptedClock clock("03-07-2024", "09:05:02");
    testing::ScriptedRandomSource random;
    Screensaver saver(
        nullptr, [] { return QSize(800, 600); }, random, clock, 10.0);
    saver.PaintOver(0.2);
    saver.Start();
    EXPECT_NE(saver.Picture().PaintedFor(), PicturePainting::kFinished);
    EXPECT_TRUE(QTest::qWaitFor([&] { return saver.Picture().PaintedFor() == PicturePainting::kFinished; }, 10000));
    EXPECT_EQ(PicturesDrawn(random), 1U);
}

}  // namespace
}  // namespace lorvane
