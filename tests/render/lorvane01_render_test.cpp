#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <system_error>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <functional>

#include "formats/recipe_file.h"
#include "picture/picture_sequence.h"
#include "picture/recipe.h"
#include "players/raster_player.h"
#include "tests/decoded_image.h"
#include "tests/files.h"

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lorvane {
namespace {

using testing::Contents;
using testing::Written;

struct Finished {
    int status = -1;
    QString out;
    QString err;
};

// Runs the program in `folder`, where it writes by default.
Finished Lorvane01Render(const QString& folder, const QStringList& arguments,
                         const QString& program = QStringLiteral(LORVANE01_RENDER))
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(program, arguments);
    process.waitForFinished();
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

// The files listed, by name, each checked to be a whole picture.
QStringList ListedCompletePictures(const QString& folder, const QString& out)
{
    QStringList names;
    for (const QString& line : out.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        EXPECT_FALSE(QImage(QDir(folder).filePath(line)).isNull()) << line.toStdString();
        names << QFileInfo(line).fileName();
    }
    names.sort();
    return names;
}

const QStringList kManyPictures = {"--seed", "1", "--at", "20240307090502", "--pictures", "100000", "--out", "."};

TEST(Lorvane01Render, BadArgumentsGetTheirLineTheUsageAndStatusTwoAndWriteNothing)
{
    // What each message says is CommandLine's to test; here, how the program gives them.
    const std::pair<QStringList, QString> cases[] = {
        {{}, "--seed is required"},
        {{"--seed", "1", "--format", "gif"}, "--format 'gif' is not png, svg or pdf"},
        {{"--seed", "1", "--colour", "red"}, "Unknown option 'colour'."},
    };
    const QTemporaryDir dir;
    for (const auto& [arguments, message] : cases) {
        const Finished run = Lorvane01Render(dir.path(), arguments);
        EXPECT_EQ(run.status, 2) << message.toStdString();
        EXPECT_TRUE(run.err.contains("lorvane01-render: " + message + "\n\nUsage: ")) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

TEST(Lorvane01Render, FitFramesThePicturePlayedAtTheLargestScaleOnBlackWithItsRecipe)
{
    const QTemporaryDir dir;
    const Finished run = Lorvane01Render(dir.path(), {"--seed", "1", "--at", "20240307090502", "--fit", "1920x1080"});
    ASSERT_EQ(run.status, 0) << run.err.toStdString();
    const QString path = QDir(dir.path()).filePath("T20240307090502-1-1920x1080.png");
    const QImage framed = testing::Decoded(path);
    ASSERT_EQ(framed.size(), QSize(1920, 1080));
    const Recipe recipe{1.0F, 1, "20240307090502"};
    EXPECT_EQ(framed.copy(240, 0, 1440, 1080), RasterPlayer(2.4).Play(DrawRecipe(recipe).recording));
    QImage black(240, 1080, QImage::Format_RGB32);
    black.fill(Qt::black);
    EXPECT_EQ(framed.copy(0, 0, 240, 1080), black);
    EXPECT_EQ(framed.copy(1680, 0, 240, 1080), black);
    const auto read = RecipeReader::Read(QFile::encodeName(path));
    ASSERT_TRUE(std::holds_alternative<Recipe>(read));
    EXPECT_EQ(std::get<Recipe>(read).Text(), recipe.Text());
}

TEST(Lorvane01Render, LowersTheJobsSoThatThePicturesInHandFitItsMemoryAndSaysSoInOneLine)
{
    const QTemporaryDir dir;
    // 4 MiB a picture; 12 MiB hold three, two jobs' and one waiting.
    const Finished run = Lorvane01Render(dir.path(), {"--seed", "1", "--at", "20240307090502", "--fit", "1024x1024",
                                                      "--jobs", "4", "--memory", "12"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err.toStdString(),
              "lorvane01-render: --jobs 4 lowered to 2: each picture in hand takes 4 MiB, and 12 MiB of memory holds "
              "3\n");
    EXPECT_EQ(run.out.toStdString(), "T20240307090502-1-1024x1024.png\n");
}

TEST(Lorvane01Render, FillCoversTheAreaWithThePictureAtTheSmallestScaleThatDoesCroppedAndCentred)
{
    struct Case {
        QString area;
        // The smallest scale at which 600 x 450 covers the area, and the middle of the picture
        // played at it that the area shows.
        double scale;
        QRect shown;
    };
    const Recipe recipe{1.0F, 1, "20240307090502"};
    for (const Case& c : {Case{"2560x1440", 2560.0 / 600, {0, 240, 2560, 1440}},
                          Case{"1080x1920", 1920.0 / 450, {740, 0, 1080, 1920}}}) {
        const QTemporaryDir dir;
        const Finished run =
            Lorvane01Render(dir.path(), {"--seed", "1", "--at", "20240307090502", "--fit", c.area, "--fill"});
        ASSERT_EQ(run.status, 0) << run.err.toStdString();
        const QString path = QDir(dir.path()).filePath("T20240307090502-1-" + c.area + ".png");
        EXPECT_EQ(testing::Decoded(path), RasterPlayer(c.scale).Play(DrawRecipe(recipe).recording).copy(c.shown))
            << c.area.toStdString();
    }
}

TEST(Lorvane01Render, AFileNotOfThePicturesSizeSaysItsSizeInItsName)
{
    // One folder for all: the same names again get -2 after the size.
    const std::pair<QStringList, QString> cases[] = {
        {{}, "T20240307090502-3.png"},
        {{"--fit", "600x450"}, "T20240307090502-3-2.png"},
        {{"--fit", "2560x1440"}, "T20240307090502-3-2560x1440.png"},
        {{"--fit", "2560x1440", "--fill"}, "T20240307090502-3-2560x1440-2.png"},
        {{"--scale", "4"}, "T20240307090502-3@4x.png"},
        {{"--scale", "4"}, "T20240307090502-3@4x-2.png"},
        {{"--scale", "2", "--format", "svg"}, "T20240307090502-3@2x.svg"},
        {{"--format", "svg"}, "T20240307090502-3.svg"},
        // A PDF page is the picture's size whatever the scale.
        {{"--scale", "2", "--format", "pdf"}, "T20240307090502-3.pdf"},
        // An animated PNG never takes the name of the same picture's still.
        {{"--animate", "apng"}, "T20240307090502-3-painting.png"},
        {{"--animate", "apng", "--fit", "1000x1000"}, "T20240307090502-3-1000x1000-painting.png"},
        {{"--animate", "webp", "--scale", "2"}, "T20240307090502-3@2x.webp"},
    };
    const QTemporaryDir dir;
    for (const auto& [options, name] : cases) {
        const Finished run =
            Lorvane01Render(dir.path(), QStringList{"--seed", "1", "--first", "3", "--at", "20240307090502"} + options);
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.out.toStdString(), (name + "\n").toStdString());
    }
}

TEST(Lorvane01Render, MakesAMissingFolderWithTheFoldersAboveItAndSaysSoOnce)
{
    const QTemporaryDir dir;
    const Finished made = Lorvane01Render(dir.path(), {"--seed", "1", "--at", "20240307090502", "--out", "a/b//c/"});
    EXPECT_EQ(made.status, 0);
    EXPECT_EQ(made.err, "lorvane01-render: made the folder a/b//c/\n");
    EXPECT_EQ(Entries(dir.filePath("a/b/c")), QStringList{"T20240307090502-1.png"});
    // There now: nothing to say.
    const Finished again = Lorvane01Render(dir.path(), {"--seed", "1", "--at", "20240307090502", "--out", "a/b/c"});
    EXPECT_EQ(again.status, 0);
    EXPECT_EQ(again.err, "");
    EXPECT_EQ(Entries(dir.filePath("a/b/c")).size(), 2);
}

TEST(Lorvane01Render, AFolderThatCannotBeMadeOrWrittenGetsOneLineAndStatusOneAndLeavesNothing)
{
    const QTemporaryDir dir;
    Written(dir.filePath("file"), "taken");
    const QString tooLong(300, QLatin1Char('n'));
    const std::pair<QString, QString> cases[] = {
        {"file", "cannot write to folder file: not a folder"},
        {"file/sub", "cannot write to folder file/sub: Not a directory"},
        // The folders made on the way are taken back.
        {"a/b/" + tooLong + "/c", "cannot make folder a/b/" + tooLong + "/c: File name too long"},
    };
    for (const auto& [folder, message] : cases) {
        const Finished run = Lorvane01Render(dir.path(), {"--seed", "1", "--out", folder});
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.toStdString(), ("lorvane01-render: " + message + "\n").toStdString());
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(Entries(dir.path()), QStringList{"file"});
    }
    // sysfs refuses new files and folders even to root.
    if (QFileInfo(QStringLiteral("/sys/kernel")).isDir()) {
        const Finished run = Lorvane01Render(dir.path(), {"--seed", "1", "--out", "/sys/lorvane01"});
        EXPECT_EQ(run.status, 1);
        EXPECT_TRUE(run.err.startsWith("lorvane01-render: cannot make folder /sys/lorvane01: "))
            << run.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists("/sys/lorvane01"));
    }
}

TEST(Lorvane01Render, DrawsTheSamePictureAgainFromTheRecipeInEachKindOfFile)
{
    const QTemporaryDir dir;
    // Pictures 2 to 4 in each kind of file; from picture 3's, pictures 3 and 4 again as PNG files.
    const std::pair<QStringList, QString> kinds[] = {
        {{"--format", "png"}, "T20240307090502-3.png"},
        {{"--format", "svg"}, "T20240307090502-3.svg"},
        {{"--format", "pdf"}, "T20240307090502-3.pdf"},
        {{"--animate", "webp"}, "T20240307090502-3.webp"},
        {{"--animate", "apng"}, "T20240307090502-3-painting.png"},
    };
    for (const auto& [kind, saved] : kinds) {
        const std::string format = saved.toStdString();
        ASSERT_EQ(Lorvane01Render(dir.path(), QStringList{"--seed", "32702.5", "--at", "20240307090502", "--pictures",
                                                          "3", "--first", "2"} +
                                                  kind)
                      .status,
                  0);
        const QString again = dir.filePath(QStringLiteral("again-") + saved);
        ASSERT_TRUE(QDir().mkdir(again));
        const Finished run = Lorvane01Render(again, {"--from", dir.filePath(saved), "--pictures", "2"});
        EXPECT_EQ(run.status, 0) << run.err.toStdString();
        EXPECT_EQ(run.out, "T20240307090502-3.png\nT20240307090502-4.png\n") << format;
        EXPECT_EQ(Entries(again), QStringList({"T20240307090502-3.png", "T20240307090502-4.png"})) << format;
        for (const char* number : {"3", "4"}) {
            const QString name = QStringLiteral("T20240307090502-%1.png").arg(QLatin1String(number));
            EXPECT_EQ(Contents(again + "/" + name), Contents(dir.filePath(name))) << format << " " << number;
        }
    }

    // One line, the program's own: no library speaks before it; and nothing is written.
    ASSERT_TRUE(QDir(dir.path()).mkdir("damaged"));
    Written(dir.filePath("damaged/cut.png"), Contents(dir.filePath("T20240307090502-3.png")).left(20));
    const Finished damaged = Lorvane01Render(dir.filePath("damaged"), {"--from", "cut.png"});
    EXPECT_EQ(damaged.status, 2);
    EXPECT_EQ(damaged.err, "lorvane01-render: cut.png: is a damaged PNG file\n");
    EXPECT_EQ(Entries(dir.filePath("damaged")), QStringList({"cut.png"}));
}

TEST(Lorvane01Render, AfterSigintOrSigtermEveryFileLeftIsListedAndComplete)
{
    constexpr int kListedBeforeTheSignal = 5;
    for (const int signal : {SIGINT, SIGTERM}) {
        const QTemporaryDir dir;
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(LORVANE01_RENDER), kManyPictures);
        QByteArray out;
        while (out.count('\n') < kListedBeforeTheSignal && process.waitForReadyRead()) {
            out += process.readAllStandardOutput();
        }
        ASSERT_GE(out.count('\n'), kListedBeforeTheSignal) << process.readAllStandardError().toStdString();
        kill(static_cast<pid_t>(process.processId()), signal);
        ASSERT_TRUE(process.waitForFinished());
        out += process.readAllStandardOutput();
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit) << signal;
        EXPECT_EQ(Entries(dir.path()), ListedCompletePictures(dir.path(), QString::fromLocal8Bit(out))) << signal;
    }
}

TEST(Lorvane01Render, AListThatCannotBeWrittenGivesStatusOneAndLeavesNoFile)
{
    // Standard output full, closed, or a pipe whose reader has gone before the first line.
    int pipeEnds[2] = {-1, -1};
    ASSERT_EQ(pipe(pipeEnds), 0);
    close(pipeEnds[0]);
    const int gone = pipeEnds[1];
    const struct {
        std::function<void(QProcess&)> prepare;
        const char* reason;
    } cases[] = {
        {[](QProcess& process) { process.setStandardOutputFile(QStringLiteral("/dev/full")); },
         "No space left on device"},
        {[](QProcess& process) { process.setChildProcessModifier([] { close(STDOUT_FILENO); }); },
         "Bad file descriptor"},
        {[gone](QProcess& process) { process.setChildProcessModifier([gone] { dup2(gone, STDOUT_FILENO); }); },
         "Broken pipe"},
    };
    for (const auto& [prepare, reason] : cases) {
        const QTemporaryDir dir;
        QProcess process;
        process.setWorkingDirectory(dir.path());
        prepare(process);
        // Into folders it makes, which it takes back.
        process.start(QStringLiteral(LORVANE01_RENDER), {"--seed", "1", "--pictures", "3", "--out", "made/here"});
        ASSERT_TRUE(process.waitForFinished());
        EXPECT_EQ(process.exitCode(), 1) << reason;
        const QByteArray err = process.readAllStandardError();
        EXPECT_TRUE(err.endsWith(QByteArray("lorvane01-render: cannot list the files written: ") + reason + '\n'))
            << err.toStdString();
        EXPECT_EQ(Entries(dir.path()), QStringList()) << reason;
    }
    close(gone);
}

TEST(Lorvane01Render, SigintOrSigtermEndsItWhileItWaitsForAFifoToBeWritten)
{
    const QTemporaryDir dir;
    ASSERT_EQ(mkfifo(QFile::encodeName(dir.filePath("fifo")).constData(), 0600), 0);
    for (const int signal : {SIGINT, SIGTERM}) {
        QProcess process;
        process.setWorkingDirectory(dir.path());
        process.start(QStringLiteral(LORVANE01_RENDER), {"--from", "fifo"});
        ASSERT_TRUE(process.waitForStarted());
        // Long enough to be waiting in the read, or still starting: a signal must end it either way.
        QThread::msleep(300);
        kill(static_cast<pid_t>(process.processId()), signal);
        EXPECT_TRUE(process.waitForFinished(5000)) << signal;
        EXPECT_EQ(process.exitStatus(), QProcess::CrashExit) << signal;
        EXPECT_EQ(process.exitCode(), signal);
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
}

TEST(Lorvane01Render, WritesIntoAFolderWhoseNameIsNotUtf8AndMakesOne)
{
    const QTemporaryDir dir;
    // The names go through the shell, as the bytes cannot be a QString; so does the tidying up,
    // which Qt cannot do for such a name. p\377 is there; p\377/q\376 is made.
    const Finished run =
        Lorvane01Render(dir.path(),
                        {"-c",
                         "mkdir \"$(printf 'p\\377')\" && \"$0\" --seed 1 --out \"$(printf 'p\\377')\" && "
                         "\"$0\" --seed 1 --out \"$(printf 'p\\377/q\\376')\"; s=$?; rm -r p*; exit $s",
                         QStringLiteral(LORVANE01_RENDER)},
                        QStringLiteral("/bin/sh"));
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    const QStringList lines = run.out.split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), 3) << run.out.toStdString();
    EXPECT_TRUE(lines[0].startsWith(QString::fromLocal8Bit("p\xff/T"))) << run.out.toStdString();
    EXPECT_TRUE(lines[1].startsWith(QString::fromLocal8Bit("p\xff/q\xfe/T"))) << run.out.toStdString();
    EXPECT_EQ(run.err.count(QStringLiteral("made the folder")), 1) << run.err.toStdString();
}

// A small disk of its own: needs root (as CI has) to mount it.
TEST(Lorvane01Render, ADiskThatFillsPartwayStopsWithStatusOneAndWholeFilesOnly)
{
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to mount a small tmpfs that fills up";
    }
    const QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.path());
    // Room for a few pictures of about 10 kB.
    if (mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here: " << std::generic_category().message(errno);
    }
    // Two threads, whatever the machine: at most three files wait for their turn, so some are
    // always named before the disk is full.
    const Finished run = Lorvane01Render(dir.path(), kManyPictures + QStringList{"--jobs", "2"});
    const QStringList entries = Entries(dir.path());
    const QStringList listed = ListedCompletePictures(dir.path(), run.out);
    umount(path.constData());
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.endsWith(": No space left on device\n")) << run.err.toStdString();
    EXPECT_GT(listed.size(), 0);
    EXPECT_EQ(entries, listed);
}

TEST(Lorvane01Render, AnswersHelpAndVersionOnStandardOutput)
{
    const QTemporaryDir dir;
    const Finished help = Lorvane01Render(dir.path(), {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("--seed <S>"));
    const Finished version = Lorvane01Render(dir.path(), {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "lorvane01-render 1.00\n");
}

}  // namespace
}  // namespace lorvane
