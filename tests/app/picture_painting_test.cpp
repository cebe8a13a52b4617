// Pictures painting themselves in the window and in full screen (--paint).
#include <QImage>
#include <QPaintEvent>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include "app/full_screen_view.h"
#include "app/picture_painting.h"
#include "players/device_colour.h"
#include "tests/app/form1_fixture.h"

namespace lorvane {
namespace {

using testing::kDrawsPerPicture;

// The window after start-up with each picture painting itself over `seconds`, and beside it the
// same start-up without painting, for the pictures as they are drawn at once.
class PicturePaintingTest : public testing::Form1Fixture {
protected:
    void Start(double seconds)
    {
        form.PaintOver(seconds);
        Form1Fixture::SetUp();
        plainClock.timer = kSeed;
        plain.Load();
    }
    void SetUp() override {}

    // The drawing area holds nothing but the shown picture's background.
    bool ShowsOnlyTheBackground()
    {
        const QImage image = Shown().convertToFormat(QImage::Format_RGB32);
        const QRgb background = ToDevicePixel(form.Shown().recording.Background());
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixel(x, y) != background) {
                    return false;
                }
            }
        }
        return true;
    }
    bool Painting() { return Picture1()->PaintedFor() != PicturePainting::kFinished; }
    const QImage& PlainShown() { return plain.findChild<PictureBox*>("Picture1")->Image(); }

    testing::ScriptedRandomSource plainRandom;
    testing::ScriptedClock plainClock{"03-07-2024", "09:05:02"};
    Form1 plain{plainRandom, plainClock};
};

TEST_F(PicturePaintingTest, ShowsTheBackgroundThenMoreThenExactlyThePictureDrawnAtOnce)
{
    int partialUpdates = 0;
    struct Watcher final : QObject {
        int* count = nullptr;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint &&
                static_cast<QPaintEvent*>(event)->rect() != static_cast<QWidget*>(watched)->rect()) {
                ++*count;
            }
            return false;
        }
    } watcher;
    watcher.count = &partialUpdates;
    Start(2.0);
    Picture1()->installEventFilter(&watcher);
    ASSERT_TRUE(ShowsOnlyTheBackground());

    ASSERT_TRUE(QTest::qWaitFor([this] { return !ShowsOnlyTheBackground(); }));
    EXPECT_TRUE(Painting());
    EXPECT_NE(Shown(), PlainShown());

    ASSERT_TRUE(QTest::qWaitFor([this] { return !Painting(); }, 20000));
    EXPECT_EQ(Shown(), PlainShown());
    // Each tick repaints only what its squares changed.
    EXPECT_GT(partialUpdates, 0);
    EXPECT_EQ(random.drawn, kDrawsPerPicture);
}

TEST_F(PicturePaintingTest, NextMidPaintingShowsTheNextPicturesStartAndTheSequenceGoesOnAsWithout)
{
    Start(20.0);
    ASSERT_TRUE(Painting());
    Next();
    plain.findChild<QPushButton*>("Command1")->click();
    EXPECT_EQ(form.Shown().recipe->picture, 2);
    EXPECT_TRUE(ShowsOnlyTheBackground());
    EXPECT_EQ(random.drawn, 2 * kDrawsPerPicture);
    Picture1()->FinishPainting();
    EXPECT_EQ(Shown(), PlainShown());
}

TEST_F(PicturePaintingTest, RPaintsThePictureShownAgainInTheWindowAndInFullScreen)
{
    Start(20.0);
    Picture1()->FinishPainting();
    QTest::keyClick(&form, Qt::Key_R);
    EXPECT_TRUE(Painting());
    EXPECT_TRUE(ShowsOnlyTheBackground());

    // Full screen takes the painting over where it stands, and gives it back.
    form.ToggleFullScreen();
    EXPECT_FALSE(Painting());
    EXPECT_NE(form.FullScreen()->PaintedFor(), PicturePainting::kFinished);
    ASSERT_TRUE(testing::Activate(*form.FullScreen()));
    QTest::keyClick(form.FullScreen(), Qt::Key_R);
    EXPECT_NE(form.FullScreen()->PaintedFor(), PicturePainting::kFinished);
    form.ToggleFullScreen();
    EXPECT_EQ(form.FullScreen()->PaintedFor(), PicturePainting::kFinished);
    EXPECT_TRUE(Painting());
    EXPECT_EQ(random.drawn, kDrawsPerPicture);
}

}  // namespace
}  // namespace lorvane
