// The window as a viewer: its history, Open, dropping a file and full screen.
#include <QAction>
#include <QApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <QUrl>
#include <QtTest/QTest>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include <sys/stat.h>

#include "app/full_screen_view.h"
#include "formats/file_format.h"
#include "players/picture_fit.h"
#include "players/raster_player.h"
#include "tests/app/form1_fixture.h"
#include "tests/decoded_image.h"
#include "tests/files.h"

namespace lorvane {
namespace {

using testing::kDrawsPerPicture;

class Form1ViewerTest : public testing::Form1Fixture {
protected:
    // The PNG lorvane01-render makes of picture `number` of `seed`, named like the window's.
    QString Rendered(float seed, int number)
    {
        QProcess render;
        render.setWorkingDirectory(folder.path());
        render.start(QStringLiteral(LORVANE01_RENDER), {"--seed", QString::number(seed, 'g', 9), "--first",
                                                        QString::number(number), "--at", "20240307090502"});
        render.waitForFinished();
        EXPECT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
        return folder.filePath(QString::fromLocal8Bit(render.readAllStandardOutput()).trimmed());
    }
    void Drop(const QString& path)
    {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(path)});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&form, &drop);
    }
    // Opens `path` and waits for the picture or for the line it is refused with.
    std::optional<QString> Open(const QString& path)
    {
        QSignalSpy ended(&form, &Form1::OpenEnded);
        std::optional<QString> refused;
        form.Open(QFile::encodeName(path),
                  [&refused](const Problem& problem) { refused = QString::fromStdString(problem.message); });
        EXPECT_TRUE(ended.wait(kLongestRead));
        return refused;
    }
    // An SVG saved by lorvane01 with `padding` MiB of comments before its recipe: a file the
    // reader accepts, which takes it a while.
    QString Padded(const Recipe& recipe, int padding)
    {
        const QByteArray svg = EncodeFile(DrawRecipe(recipe).recording, FileFormat::Svg, 1, recipe).value();
        const qsizetype opened = svg.indexOf('>', svg.indexOf("<svg")) + 1;
        QString path = folder.filePath(QStringLiteral("padded-%1.svg").arg(recipe.picture));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(svg.first(opened));
        const QByteArray comment = "<!--" + QByteArray(1024 * 1024 - 7, 'x') + "-->";
        for (int mebibyte = 0; mebibyte < padding; ++mebibyte) {
            file.write(comment);
        }
        file.write(svg.sliced(opened));
        return path;
    }

    static constexpr int kLongestRead = 60000;

    QTemporaryDir folder;
};

TEST_F(Form1ViewerTest, BackAndForwardShowEarlierPicturesAsDrawnWithoutTakingARandomValue)
{
    for (int press = 0; press < 4; ++press) {
        Next();
    }
    const QImage fifth = Shown().copy();
    QTest::keySequence(&form, QKeySequence::Back);
    EXPECT_EQ(Shown(), testing::Decoded(Rendered(kSeed, 4)));
    EXPECT_EQ(form.Shown().recipe->picture, 4);
    // The mouse's back button too; at the first picture Back stays there.
    for (int step = 0; step < 5; ++step) {
        QTest::mouseClick(&form, Qt::BackButton, Qt::NoModifier, QPoint(5, 5));
    }
    EXPECT_EQ(Shown(), testing::Decoded(Rendered(kSeed, 1)));
    for (int step = 0; step < 6; ++step) {
        QTest::keySequence(&form, QKeySequence::Forward);
    }
    EXPECT_EQ(Shown(), fifth);
    EXPECT_EQ(random.drawn, 5 * kDrawsPerPicture);

    // "next" after Back draws picture 6, the one it would have drawn anyway, and stands on it.
    QTest::keySequence(&form, QKeySequence::Back);
    Next();
    EXPECT_EQ(random.drawn, 6 * kDrawsPerPicture);
    EXPECT_EQ(form.Shown().recipe->picture, 6);
    EXPECT_EQ(Shown(), testing::Decoded(Rendered(kSeed, 6)));
    QTest::keySequence(&form, QKeySequence::Back);
    EXPECT_EQ(Shown(), fifth);
}

TEST_F(Form1ViewerTest, OpenAndDropShowTheSavedPictureAndNextGoesOnFromItsSequence)
{
    constexpr float kOther = 1234.5F;
    const QString seventh = Rendered(kOther, 7);
    ASSERT_EQ(Open(seventh), std::nullopt);
    EXPECT_EQ(Shown(), testing::Decoded(seventh));
    Next();
    EXPECT_EQ(form.Shown().recipe->Text(), "seed=1234.5 picture=8 at=20240307090502");
    EXPECT_EQ(Shown(), testing::Decoded(Rendered(kOther, 8)));
    // Opened pictures join the history.
    QTest::keySequence(&form, QKeySequence::Back);
    EXPECT_EQ(Shown(), testing::Decoded(seventh));

    const QString third = Rendered(kSeed, 3);
    QSignalSpy ended(&form, &Form1::OpenEnded);
    Drop(third);
    ASSERT_TRUE(ended.wait(kLongestRead));
    EXPECT_EQ(Shown(), testing::Decoded(third));
    EXPECT_EQ(form.Shown().recipe->picture, 3);
}

TEST_F(Form1ViewerTest, AFileWithoutARecipeNamesItselfAndKeepsThePictureAndTheSequence)
{
    const QString notes = testing::Written(folder.filePath("notes.txt"), "seed=1 picture=2 at=20240307090502\n");
    const QImage first = Shown().copy();
    const QString fifo = folder.filePath("fifo");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& path : {notes, folder.filePath("missing.png"), folder.path(), fifo}) {
        const std::optional<QString> problem = Open(path);
        ASSERT_TRUE(problem.has_value());
        EXPECT_TRUE(problem->contains(QFileInfo(path).fileName())) << problem->toStdString();
        EXPECT_EQ(problem->count(QLatin1Char('\n')), 0);
    }
    EXPECT_EQ(Shown(), first);
    Next();
    EXPECT_EQ(form.Shown().recipe->Text(), "seed=33302.25 picture=2 at=20240307090502");
}

TEST_F(Form1ViewerTest, ReadingALargeFileLeavesTheWindowAnsweringAndThenShowsItsPicture)
{
    const Recipe recipe{1234.5F, 7, "20240307090502"};
    const QString padded = Padded(recipe, 128);
    int ticks = 0;
    QTimer timer;
    timer.setInterval(50);
    QObject::connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
    timer.start();
    int ticksWhenShown = 0;
    QObject::connect(&form, &Form1::OpenEnded, [&] { ticksWhenShown = ticks; });
    ASSERT_EQ(Open(padded), std::nullopt);
    EXPECT_GT(ticksWhenShown, 0);
    EXPECT_EQ(form.Shown().recipe->Text(), recipe.Text());
    EXPECT_EQ(Shown(), testing::Decoded(Rendered(recipe.seed, recipe.picture)));
}

TEST_F(Form1ViewerTest, ALaterOpenSupersedesOneStillReading)
{
    const Recipe slow{1234.5F, 7, "20240307090502"};
    const Recipe quick{1234.5F, 9, "20240307090502"};
    const QString padded = Padded(slow, 64);
    const QString small = Padded(quick, 0);
    QStringList refused;
    const Form1::Refusal refusal = [&refused](const Problem& problem) {
        refused << QString::fromStdString(problem.message);
    };
    QSignalSpy ended(&form, &Form1::OpenEnded);
    form.Open(QFile::encodeName(padded), refusal);
    form.Open(QFile::encodeName(small), refusal);
    ASSERT_TRUE(ended.wait(kLongestRead));
    // The first read ends too, unheard.
    QThreadPool::globalInstance()->waitForDone();
    QCoreApplication::processEvents();
    EXPECT_EQ(ended.count(), 1);
    EXPECT_TRUE(refused.isEmpty());
    EXPECT_EQ(form.Shown().recipe->Text(), quick.Text());
    QTest::keySequence(&form, QKeySequence::Back);
    EXPECT_EQ(form.Shown().recipe->picture, 1);
}

TEST(Form1, StartingFromAFileShowsTheWindowAtOnceAndDrawsNothingBeforeItsPicture)
{
    QTemporaryDir folder;
    const Recipe recipe{1234.5F, 7, "20240307090502"};
    const QString saved =
        testing::Written(folder.filePath("saved.png"),
                         EncodeFile(DrawRecipe(recipe).recording, FileFormat::Png, 1, recipe).value());
    testing::ScriptedRandomSource random;
    testing::ScriptedClock clock{"03-07-2024", "09:05:02"};
    for (const QString& path : {saved, folder.filePath("missing.png")}) {
        Form1 form(random, clock);
        QSignalSpy ended(&form, &Form1::OpenEnded);
        std::optional<QString> refused;
        form.LoadFile(QFile::encodeName(path),
                      [&refused](const Problem& problem) { refused = QString::fromStdString(problem.message); });
        EXPECT_TRUE(form.isVisible());
        EXPECT_FALSE(form.Shown().recipe.has_value());
        ASSERT_TRUE(ended.wait(10000));
        if (path == saved) {
            EXPECT_EQ(refused, std::nullopt);
            EXPECT_EQ(form.Shown().recipe->Text(), recipe.Text());
            EXPECT_FALSE(form.Action(ViewCommand::Back)->isEnabled());
        } else {
            EXPECT_TRUE(refused && refused->startsWith(path)) << refused.value_or("").toStdString();
            EXPECT_FALSE(form.Shown().recipe.has_value());
        }
    }
}

TEST_F(Form1ViewerTest, F11ShowsThePictureAloneUntilEscapeAndSpaceThereDrawsNext)
{
    QTest::keyClick(&form, Qt::Key_F11);
    ASSERT_TRUE(form.InFullScreen());
    FullScreenView* view = form.FullScreen();
    ASSERT_TRUE(testing::Activate(*view));
    EXPECT_TRUE(view->isFullScreen());
    EXPECT_FALSE(form.isVisible());
    QTest::keyClick(view, Qt::Key_Space);
    QTest::keyClick(view, Qt::Key_Right);
    QTest::mouseClick(view, Qt::LeftButton);
    EXPECT_EQ(random.drawn, 4 * kDrawsPerPicture);
    EXPECT_EQ(view->Image(), RasterPlayer(view->Fit().scale).Play(form.Shown().recording));
    QTest::keySequence(view, QKeySequence::Back);
    EXPECT_EQ(form.Shown().recipe->picture, 3);

    QTest::keyClick(view, Qt::Key_Escape);
    EXPECT_FALSE(form.InFullScreen());
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(Button("Command1")->geometry(), QRect(480, 560, 65, 25));
    EXPECT_EQ(random.drawn, 4 * kDrawsPerPicture);
    // F11 also leaves. The window shown again has the keyboard, as on a desktop.
    ASSERT_TRUE(testing::Activate(form));
    QTest::keyClick(&form, Qt::Key_F11);
    ASSERT_TRUE(form.InFullScreen());
    ASSERT_TRUE(testing::Activate(*view));
    QTest::keyClick(view, Qt::Key_F11);
    EXPECT_FALSE(form.InFullScreen());
}

TEST_F(Form1ViewerTest, TheSlideshowPressesNextOnItsTimerAndFullScreenHidesTheStillCursor)
{
    form.StartSlideshow(0.5);
    EXPECT_TRUE(QTest::qWaitFor([this] { return form.Shown().recipe->picture == 3; }, 3000));
    EXPECT_EQ(random.drawn, 3 * kDrawsPerPicture);

    QTest::keyClick(&form, Qt::Key_F11);
    FullScreenView* view = form.FullScreen();
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(QTest::qWaitFor([view] { return view->cursor().shape() == Qt::BlankCursor; }, 4000));
    // Moving the mouse shows it again.
    QMouseEvent move(QEvent::MouseMove, QPointF(10, 10), QPointF(10, 10), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &move);
    EXPECT_EQ(view->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(Form1ViewerTest, PInFullScreenPausesAndResumesTheSlideshowAndSaysWhichOverThePicture)
{
    form.ToggleFullScreen();
    FullScreenView* view = form.FullScreen();
    ASSERT_TRUE(testing::Activate(*view));
    form.StartSlideshow(0.5);
    auto* note = view->findChild<QLabel*>("Note");
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isVisible());
    QTest::keyClick(view, Qt::Key_P);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), "Paused");
    EXPECT_EQ(view->Action(ViewCommand::PauseOrResume)->text(), "Resume slideshow");
    // Two intervals and more, and no picture comes.
    QTest::qWait(1200);
    EXPECT_EQ(random.drawn, kDrawsPerPicture);
    QTest::keyClick(view, Qt::Key_P);
    EXPECT_EQ(note->text(), "Playing");
    EXPECT_TRUE(QTest::qWaitFor([this] { return form.Shown().recipe->picture == 2; }, 3000));
    // The word goes by itself.
    EXPECT_TRUE(QTest::qWaitFor([note] { return !note->isVisible(); }, 4000));
}

TEST_F(Form1ViewerTest, GoingBackPausesTheSlideshowSoThatThePictureStays)
{
    Next();
    Next();
    form.StartSlideshow(0.5);
    QTest::keySequence(&form, QKeySequence::Back);
    EXPECT_EQ(form.Shown().recipe->picture, 2);
    auto* note = Picture1()->findChild<QLabel*>("Note");
    ASSERT_NE(note, nullptr);
    EXPECT_TRUE(note->isVisible());
    EXPECT_EQ(note->text(), "Paused");
    QTest::qWait(1200);
    EXPECT_EQ(form.Shown().recipe->picture, 2);
    EXPECT_EQ(random.drawn, 3 * kDrawsPerPicture);

    // The window has no key for it: its menu resumes it.
    QAction* resume = form.Action(ViewCommand::PauseOrResume);
    ASSERT_TRUE(resume->isVisible());
    EXPECT_EQ(resume->text(), "Resume slideshow");
    resume->trigger();
    EXPECT_EQ(note->text(), "Playing");
    EXPECT_TRUE(QTest::qWaitFor([this] { return form.Shown().recipe->picture == 4; }, 3000));
    // Full screen's Left and Home pause it too.
    form.ToggleFullScreen();
    ASSERT_TRUE(testing::Activate(*form.FullScreen()));
    for (const Qt::Key key : {Qt::Key_Left, Qt::Key_Home}) {
        ASSERT_TRUE(form.SlideshowPlaying());
        QTest::keyClick(form.FullScreen(), key);
        EXPECT_FALSE(form.SlideshowPlaying()) << QKeySequence(key).toString().toStdString();
        form.PauseOrResume();
    }
}

TEST_F(Form1ViewerTest, EachPictureShownByHandGetsTheWholeIntervalOfTheSlideshow)
{
    Next();
    Next();
    form.Back();
    form.StartSlideshow(3);
    const auto* slideshow = form.findChild<QTimer*>("Slideshow");
    ASSERT_NE(slideshow, nullptr);
    // "next", and Forward by the window's key, each halfway through an interval.
    for (const std::function<void()>& press :
         {std::function<void()>([this] { QTest::keySequence(&form, QKeySequence::Forward); }),
          std::function<void()>([this] { Next(); })}) {
        QTest::qWait(1500);
        const int before = form.Shown().recipe->picture;
        press();
        EXPECT_EQ(form.Shown().recipe->picture, before + 1);
        EXPECT_GT(slideshow->remainingTime(), 2500);
    }
}

TEST(FullScreenView, At1920By1080PlaysThePictureAtScale2Point4CentredOnBlack)
{
    testing::ScriptedRandomSource random;
    testing::ScriptedClock clock{"03-07-2024", "09:05:02"};
    Form1 form(random, clock);
    form.Load();
    FullScreenView view;
    view.resize(1920, 1080);
    view.Show(form.Shown().recording);
    view.show();
    const double ratio = view.devicePixelRatioF();
    QImage screen(qRound(1920 * ratio), qRound(1080 * ratio), QImage::Format_RGB32);
    screen.setDevicePixelRatio(ratio);
    view.render(&screen);
    screen.setDevicePixelRatio(1.0);
    if (ratio == 1.0) {
        EXPECT_EQ(view.Fit().scale, 2.4);
        EXPECT_EQ(view.Fit().placed, QRect(240, 0, 1440, 1080));
    }
    const QImage expected = RasterPlayer(view.Fit().scale).Play(form.Shown().recording);
    EXPECT_EQ(screen.copy(view.Fit().placed), expected);
    EXPECT_EQ(screen.pixel(0, 0), qRgb(0, 0, 0));
    EXPECT_EQ(screen.pixel(screen.width() - 1, screen.height() - 1), qRgb(0, 0, 0));
}

TEST(FitPicture, TakesTheLargestScaleThatFitsAndCentres)
{
    struct Case {
        QSize area;
        double scale = 1.0;
        QRect placed;
    };
    for (const Case& c :
         {Case{{600, 450}, 1.0, {0, 0, 600, 450}}, Case{{1920, 1080}, 2.4, {240, 0, 1440, 1080}},
          Case{{3840, 2160}, 4.8, {480, 0, 2880, 2160}}, Case{{1200, 2000}, 2.0, {0, 550, 1200, 900}},
          Case{{20000, 20000}, 16.0, {5200, 6400, 9600, 7200}}, Case{{300, 450}, 1.0, {0, 112, 300, 225}}}) {
        const PictureFit fit = FitPicture(c.area);
        EXPECT_EQ(fit.scale, c.scale) << c.area.width() << "x" << c.area.height();
        EXPECT_EQ(fit.placed, c.placed) << c.area.width() << "x" << c.area.height();
    }
}

TEST(FitPicture, FillTakesTheSmallestScaleThatCoversAndCentresTheOverflow)
{
    struct Case {
        QSize area;
        double scale = 1.0;
        QRect placed;
    };
    for (const Case& c :
         {Case{{600, 450}, 1.0, {0, 0, 600, 450}}, Case{{2560, 1440}, 2560.0 / 600, {0, -240, 2560, 1920}},
          Case{{1080, 1920}, 1920.0 / 450, {-740, 0, 2560, 1920}}, Case{{1920, 1080}, 3.2, {0, -180, 1920, 1440}},
          Case{{300, 450}, 1.0, {-150, 0, 600, 450}},
          // Past scale 16 it no longer covers: lorvane01-render refuses such an area.
          Case{{20000, 20000}, 16.0, {5200, 6400, 9600, 7200}}}) {
        const PictureFit fit = FitPicture(c.area, Framing::Fill);
        EXPECT_DOUBLE_EQ(fit.scale, c.scale) << c.area.width() << "x" << c.area.height();
        EXPECT_EQ(fit.placed, c.placed) << c.area.width() << "x" << c.area.height();
    }
}

}  // namespace
}  // namespace lorvane
