// The screensaver under an Xvfb of its own, drawing into a window this test makes, as a host does.
#include <csignal>
#include <cstdio>

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include "tests/decoded_image.h"
#include "tests/x11/x_server.h"

namespace lorvane {
namespace {

// Waits until `check` holds, or gives up after 10 s.
template <class Check>
bool Eventually(Check check)
{
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired()) {
        if (check()) {
            return true;
        }
        QThread::msleep(100);
    }
    return check();
}

class ScreensaverTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Ready()) << "Xvfb did not start"; }
    void TearDown() override
    {
        if (saver.state() != QProcess::NotRunning) {
            saver.kill();
            saver.waitForFinished();
        }
    }

    void Start(const QStringList& arguments)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("DISPLAY", server.Display());
        environment.insert("QT_QPA_PLATFORM", "xcb");
        environment.remove("XSCREENSAVER_WINDOW");
        // As a desktop session has it; without it Qt says so on standard error.
        environment.insert("XDG_RUNTIME_DIR", runtime.path());
        saver.setProcessEnvironment(environment);
        saver.start(QStringLiteral(LORVANE01), arguments);
        ASSERT_TRUE(saver.waitForStarted());
    }
    // The picture's part of what the window shows, once it is there.
    QImage PictureIn(xcb_window_t window, QRect placed)
    {
        QImage shown;
        Eventually([&] {
            shown = server.Grab(window);
            return shown.size() == QSize(placed.right() + placed.left() + 1, placed.bottom() + placed.top() + 1) &&
                   shown.pixel(placed.center()) != qRgb(255, 255, 255) && shown.pixel(0, 0) == qRgb(0, 0, 0);
        });
        return shown.copy(placed);
    }

    QTemporaryDir runtime;
    testing::XServer server{1280, 1024};
    QProcess saver;
};

TEST_F(ScreensaverTest, DrawsIntoAWindowMadeByTheTestAndFollowsItsSize)
{
    const xcb_window_t host = server.MakeWindow(960, 450);
    Start({"--window-id", QString::number(host), "--interval", "3600"});
    // 960 x 450 holds the picture at scale 1, with black bars of 180 pixels.
    const QImage small = PictureIn(host, QRect(180, 0, 600, 450));
    ASSERT_EQ(small.size(), QSize(600, 450));
    EXPECT_EQ(server.Grab(host).pixel(959, 449), qRgb(0, 0, 0));

    // At 1200 x 960 the same picture is played at scale 2, below a black bar of 30 pixels:
    // each picture pixel a 2 x 2 block above the captions.
    server.Resize(host, 1200, 960);
    const QImage large = PictureIn(host, QRect(0, 30, 1200, 900));
    ASSERT_EQ(large.size(), QSize(1200, 900));
    EXPECT_EQ(testing::PixelsUnlikeTheirBlock(large, small, 2, 400), 0);

    // The window gone, the program ends quietly.
    server.Destroy(host);
    ASSERT_TRUE(saver.waitForFinished(10000));
    EXPECT_EQ(saver.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(saver.exitCode(), 0);
    EXPECT_EQ(saver.readAllStandardError(), "");
}

TEST_F(ScreensaverTest, AVeryLargeWindowDestroyedMidDrawEndsItQuietly)
{
    // A picture for 16000 x 16000 takes the program's main thread seconds to draw and show.
    const xcb_window_t host = server.MakeWindow(16000, 16000);
    Start({"--window-id", QString::number(host)});
    // Its window in the host's is there before the first picture is drawn.
    ASSERT_TRUE(Eventually([&] { return server.Children(host) > 0; }));
    QElapsedTimer gone;
    gone.start();
    server.Destroy(host);
    ASSERT_TRUE(saver.waitForFinished(30000));
    // How soon it ended is for the record, not a condition: the machine may be busy.
    RecordProperty("milliseconds_to_end", static_cast<int>(gone.elapsed()));
    std::printf("ended %lld ms after its window went\n", static_cast<long long>(gone.elapsed()));
    EXPECT_EQ(saver.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(saver.exitCode(), 0);
    EXPECT_EQ(saver.readAllStandardError(), "");
}

TEST_F(ScreensaverTest, PreviewsInTheWindowIdGivenAfterTheProgramsEntryWithRoot)
{
    // As xscreensaver-settings runs it for its preview pane: the `programs:` entry, then --window-id.
    // Were --root to win, the picture would go to the root window, under the host's white.
    const xcb_window_t preview = server.MakeWindow(700, 450);
    Start({"--root", "--interval", "1", "--window-id", QString::number(preview, 16).prepend("0x")});
    EXPECT_EQ(PictureIn(preview, QRect(50, 0, 600, 450)).size(), QSize(600, 450));
    // The host's white is painted over: black bars beside the picture.
    EXPECT_EQ(server.Grab(preview).pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(saver.state(), QProcess::Running) << saver.readAllStandardError().toStdString();
}

TEST_F(ScreensaverTest, EndsWithStatusZeroOnSigterm)
{
    const xcb_window_t host = server.MakeWindow(900, 600);
    Start({"--window-id", QString::number(host, 16).prepend("0x")});
    EXPECT_EQ(PictureIn(host, QRect(50, 0, 800, 600)).size(), QSize(800, 600));
    ::kill(static_cast<pid_t>(saver.processId()), SIGTERM);
    ASSERT_TRUE(saver.waitForFinished(10000));
    EXPECT_EQ(saver.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(saver.exitCode(), 0);
}

TEST_F(ScreensaverTest, AWindowThatDoesNotExistGetsOneLineAndStatusTwo)
{
    Start({"--window-id", "0x3fffff7"});
    ASSERT_TRUE(saver.waitForFinished(10000));
    EXPECT_EQ(saver.exitCode(), 2);
    EXPECT_EQ(saver.readAllStandardError(), "lorvane01: window 0x3fffff7 does not exist\n");
}

}  // namespace
}  // namespace lorvane
