#include <functional>
#include <utility>

#include <QApplication>
#include <QImage>
#include <QPaintEvent>
#include <QTimer>

#include <gtest/gtest.h>

#include "tests/app/form1_fixture.h"

namespace lorvane {
namespace {

using testing::kDrawsPerPicture;

// Hands each paint event a widget receives to a test.
class PaintWatcher final : public QObject {
public:
    PaintWatcher(QWidget* widget, std::function<void(const QPaintEvent&)> onPaint) : onPaint_(std::move(onPaint))
    {
        widget->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            onPaint_(*static_cast<QPaintEvent*>(event));
        }
        return false;
    }

private:
    std::function<void(const QPaintEvent&)> onPaint_;
};

using Form1Test = testing::Form1Fixture;

TEST_F(Form1Test, ControlsStandAtTheirPixelsInAWindowLargeEnoughForThem)
{
    EXPECT_EQ(form.windowTitle(), "Form1");
    ASSERT_NE(Picture1(), nullptr);
    EXPECT_EQ(Picture1()->geometry(), QRect(32, 80, 600, 450));
    EXPECT_EQ(Button("Command1")->geometry(), QRect(480, 560, 65, 25));
    EXPECT_EQ(Button("Command1")->text(), "next");
    EXPECT_EQ(Button("Command2")->geometry(), QRect(560, 560, 49, 25));
    EXPECT_EQ(Button("Command2")->text(), "exit");
    EXPECT_GE(form.width(), 632);
    EXPECT_GE(form.height(), 585);
    EXPECT_EQ(form.palette().color(QPalette::Window), QColor(Qt::black));

    form.resize(900, 800);
    EXPECT_EQ(Picture1()->geometry(), QRect(32, 80, 600, 450));
    EXPECT_EQ(Button("Command2")->geometry(), QRect(560, 560, 49, 25));
}

TEST_F(Form1Test, LoadSeedsOnceFromTheTimeOfDayAndDrawsOnePicture)
{
    EXPECT_EQ(random.seeds, std::vector<float>{33302.25F});
    EXPECT_EQ(random.drawn, kDrawsPerPicture);
    EXPECT_EQ(form.State().sir, 600);
    EXPECT_EQ(form.State().vis, 450);
    EXPECT_EQ(form.State().tekst2, "Generative Art by Varlenko");
    EXPECT_EQ(form.State().imeslike, "T20240307090502");
}

TEST_F(Form1Test, NextDrawsOneNewPictureFromTheContinuingSequence)
{
    const QImage first = Shown().copy();
    clock.time = "09:05:07";
    int wholePaintsOfNewPicture = 0;
    const PaintWatcher watcher(Picture1(), [&](const QPaintEvent& paint) {
        wholePaintsOfNewPicture += random.drawn == 2 * kDrawsPerPicture && paint.rect() == Picture1()->rect() ? 1 : 0;
    });
    QTest::mouseClick(Button("Command1"), Qt::LeftButton);
    QCoreApplication::processEvents();

    EXPECT_EQ(random.seeds, std::vector<float>{33302.25F});
    EXPECT_EQ(random.drawn, 2 * kDrawsPerPicture);
    EXPECT_NE(Shown(), first);
    // The whole drawing area is repainted with it, not only the window around it.
    EXPECT_GE(wholePaintsOfNewPicture, 1);
    // The caption names the time the new picture's drawing began.
    EXPECT_EQ(form.State().imeslike, "T20240307090507");
}

TEST_F(Form1Test, PictureIsRenderedAtTheScreensPixelRatio)
{
    // Also run with QT_SCALE_FACTOR 2 and 1.5: one image pixel for each device pixel.
    const double ratio = form.devicePixelRatioF();
    EXPECT_EQ(Shown().size(), QSize(qRound(600 * ratio), qRound(450 * ratio)));
    QImage onScreen(Shown().size(), QImage::Format_RGB32);
    onScreen.setDevicePixelRatio(ratio);
    Picture1()->render(&onScreen);
    EXPECT_EQ(onScreen.convertToFormat(QImage::Format_RGB32), Shown());
}

TEST_F(Form1Test, FocusStartsOnThePictureAndTabVisitsNextThenExit)
{
    EXPECT_EQ(QApplication::focusWidget(), Picture1());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Button("Command1"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Button("Command2"));
}

TEST_F(Form1Test, SpacePressesTheFocusedButtonWhileEnterAndEscapeDoNothing)
{
    Button("Command1")->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
        QTest::keyClick(Button("Command1"), key);
        QTest::keyClick(Picture1(), key);
    }
    EXPECT_EQ(random.drawn, kDrawsPerPicture);
    EXPECT_TRUE(form.isVisible());

    QTest::keyClick(Button("Command1"), Qt::Key_Space);
    EXPECT_EQ(random.drawn, 2 * kDrawsPerPicture);
}

TEST_F(Form1Test, ExitAndClosingTheWindowEndTheEventLoopWithStatusZero)
{
    QTimer::singleShot(0, Button("Command2"), &QPushButton::click);
    // A press queued behind "exit" is never handled.
    QTimer::singleShot(0, Button("Command1"), &QPushButton::click);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(random.drawn, kDrawsPerPicture);

    QTimer::singleShot(0, &form, &QWidget::close);
    EXPECT_EQ(QApplication::exec(), 0);
}

}  // namespace
}  // namespace lorvane
