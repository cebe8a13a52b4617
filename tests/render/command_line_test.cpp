#include "render/command_line.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include <QTemporaryDir>
#include <QThread>

#include "formats/file_format.h"
#include "recording/recorded_picture.h"
#include "tests/files.h"

namespace lorvane {
namespace {

CommandLine::Answer Parse(const QStringList& arguments)
{
    QList<QByteArray> bytes = {"lorvane01-render"};
    for (const QString& argument : arguments) {
        bytes << argument.toUtf8();
    }
    return CommandLine().Parse(bytes);
}

RenderOptions Options(const QStringList& arguments)
{
    auto parsed = Parse(arguments);
    if (const auto* error = std::get_if<UsageError>(&parsed)) {
        ADD_FAILURE() << error->problem.message;
    }
    return std::holds_alternative<RenderOptions>(parsed) ? std::get<RenderOptions>(parsed) : RenderOptions{};
}

TEST(CommandLine, ReadsEveryOption)
{
    RenderOptions options = Options({"--seed", "32702.25", "--pictures", "3", "--at", "20240229090502", "--scale", "8",
                                     "--format", "svg", "--out", "pictures", "--jobs", "3"});
    EXPECT_EQ(options.seed, 32702.25F);
    EXPECT_EQ(options.pictures, 3);
    ASSERT_TRUE(options.at.has_value());
    EXPECT_EQ(options.at->Date(), "02-29-2024");
    EXPECT_EQ(options.at->Time(), "09:05:02");
    EXPECT_EQ(options.scale, 8);
    EXPECT_EQ(options.format, FileFormat::Svg);
    EXPECT_EQ(options.folder, "pictures");
    EXPECT_EQ(options.jobs, 3);
    // --fit goes with PNG files at their own scale only.
    for (const QSize fit : {QSize(1920, 1080), QSize(600, 450), QSize(600, 599), QSize(16384, 16384)}) {
        const QString text = QStringLiteral("%1x%2").arg(fit.width()).arg(fit.height());
        EXPECT_EQ(Options({"--seed", "1", "--fit", text}).fit, fit) << text.toStdString();
    }
    EXPECT_FALSE(Options({"--seed", "1", "--fit", "1920x1080"}).fill);
    EXPECT_TRUE(Options({"--seed", "1", "--fit", "9600x7200", "--fill", "--format", "png"}).fill);
    // Animations paint for 4 seconds unless told, then hold the picture for 3.
    const RenderOptions webp = Options({"--seed", "1", "--animate", "webp", "--scale", "2"});
    EXPECT_EQ(webp.animation, AnimationFormat::Webp);
    EXPECT_EQ(webp.timing.paintingMilliseconds, 4000);
    EXPECT_EQ(webp.timing.holdingMilliseconds, 3000);
    const RenderOptions apng = Options({"--seed", "1", "--animate", "apng", "--duration", "2.5", "--fit", "800x800"});
    EXPECT_EQ(apng.animation, AnimationFormat::Apng);
    EXPECT_EQ(apng.timing.paintingMilliseconds, 2500);
    EXPECT_EQ(Options({"--seed", "1", "--animate", "gif", "--scale", "3"}).animation, AnimationFormat::Gif);
    const RenderOptions gif = Options({"--seed", "1", "--animate", "gif", "--fill", "--fit", "800x800"});
    EXPECT_EQ(gif.animation, AnimationFormat::Gif);
    EXPECT_EQ(gif.fit, QSize(800, 800));
    EXPECT_TRUE(gif.fill);
    EXPECT_FALSE(Options({"--seed", "1"}).animation.has_value());
}

TEST(CommandLine, DefaultsToOnePngAtScaleOneInTheCurrentFolderNamedByTheClock)
{
    const RenderOptions options = Options({"--seed", "0"});
    EXPECT_EQ(options.pictures, 1);
    EXPECT_FALSE(options.at.has_value());
    EXPECT_EQ(options.scale, 1);
    EXPECT_EQ(options.format, FileFormat::Png);
    EXPECT_EQ(options.folder, ".");
    EXPECT_EQ(options.jobs, std::max(QThread::idealThreadCount(), 1));
    EXPECT_EQ(options.fit, std::nullopt);
}

TEST(CommandLine, KeepsTheFolderAsTheBytesGivenEvenWhenTheyAreNotUtf8)
{
    const QByteArray folder("pictures-\xff\xfe");
    for (const QList<QByteArray>& arguments :
         {QList<QByteArray>{"lorvane01-render", "--seed", "1", "--out", folder},
          QList<QByteArray>{"lorvane01-render", "--seed", "1", "--out=" + folder},
          QList<QByteArray>{"lorvane01-render", "--at", "20240307090502", "--seed", "1", "--out", folder}}) {
        auto parsed = CommandLine().Parse(arguments);
        ASSERT_TRUE(std::holds_alternative<RenderOptions>(parsed));
        EXPECT_EQ(std::get<RenderOptions>(parsed).folder, folder);
    }
}

TEST(CommandLine, TakesAnySeedASinglePrecisionNumberCanHold)
{
    EXPECT_EQ(Options({"--seed", "-1e-3"}).seed, -1e-3F);
    EXPECT_EQ(Options({"--seed", "3.4e38"}).seed, 3.4e38F);
    // The largest, as recipes write it: a little more than the largest single-precision number.
    EXPECT_EQ(Options({"--seed", "3.4028235e+38"}).seed, std::numeric_limits<float>::max());
    EXPECT_EQ(Options({"--seed", "-3.4028235e+38"}).seed, -std::numeric_limits<float>::max());
    EXPECT_EQ(Options({"--seed", "1e-60"}).seed, 0.0F);
    EXPECT_EQ(Options({"--seed", "1e-400"}).seed, 0.0F);
}

TEST(CommandLine, ReadsEverySeedAsARecipeReadsIt)
{
    for (const char* text :
         {"0.1", "1e-60", "-1e-60", "7e-46", "3.4028235e+38", "3.4028236e+38", "1e40", "nan", "+1", "1,5", "0x10"}) {
        const auto recipe = ParseRecipe(std::string("seed=") + text + " picture=1 at=20240307090502");
        const auto parsed = Parse({"--seed", text});
        if (const auto* error = std::get_if<Problem>(&recipe)) {
            ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << text;
            EXPECT_EQ(std::get<UsageError>(parsed).problem.message, "--" + error->message) << text;
        } else {
            ASSERT_TRUE(std::holds_alternative<RenderOptions>(parsed)) << text;
            EXPECT_EQ(std::bit_cast<std::uint32_t>(std::get<RenderOptions>(parsed).seed),
                      std::bit_cast<std::uint32_t>(std::get<Recipe>(recipe).seed))
                << text;
        }
    }
}

TEST(CommandLine, StartsAtTheFirstPictureGivenOrTakesEverythingButTheSeedFromAFile)
{
    EXPECT_EQ(Options({"--seed", "0"}).first, 1);
    EXPECT_EQ(Options({"--seed", "0", "--first", "10000000"}).first, 10000000);
    const QTemporaryDir dir;
    const QString saved = testing::Written(
        dir.filePath("T20240229090502.png"),
        EncodeFile(RecordedPicture(), FileFormat::Png, 1, Recipe{32702.5F, 9999999, "20240229090502"}).value());

    RenderOptions options = Options({"--from", saved, "--pictures", "2", "--scale", "8"});
    EXPECT_EQ(options.seed, 32702.5F);
    EXPECT_EQ(options.first, 9999999);
    ASSERT_TRUE(options.at.has_value());
    EXPECT_EQ(options.at->Date(), "02-29-2024");
    EXPECT_EQ(options.at->Time(), "09:05:02");
    EXPECT_EQ(options.pictures, 2);
    EXPECT_EQ(options.scale, 8);

    // The file's recipe and --pictures together may not run past the last picture; a file without
    // a recipe is the file's problem. Neither shows the usage.
    const std::pair<QStringList, QString> problems[] = {
        {{"--from", saved, "--pictures", "3"},
         saved + ": --pictures 3 from picture 9999999 runs past picture 10000000"},
        {{"--from", dir.path()}, dir.path() + ": is a folder, not a picture"},
    };
    for (const auto& [arguments, message] : problems) {
        const auto parsed = Parse(arguments);
        ASSERT_TRUE(std::holds_alternative<Problem>(parsed)) << message.toStdString();
        EXPECT_EQ(std::get<Problem>(parsed).message, message.toStdString());
        EXPECT_EQ(std::get<Problem>(parsed).status, 2);
    }
}

// Each refused command line and the one line that says what is wrong with it, naming only what
// was given (no "--format png" when --format was not).
std::vector<std::pair<QStringList, QString>> Refusals()
{
    const QString outOfRange = "is a number out of range: at most 3.40282e+38 either way";
    const QString fromTheFile = "cannot be given with --from, which takes it from the file";
    const QString size = "is not a size WxH from 600x450 to 16384x16384";
    return {
        {{}, "--seed is required"},
        {{"--seed"}, "Missing value after '--seed'."},
        {{"--seed", "1", "--colour", "red"}, "Unknown option 'colour'."},
        {{"--seed", "1", "later"}, "unexpected argument 'later'"},
        {{"--seed", "noon"}, "--seed 'noon' is not a number"},
        {{"--seed", "1e40"}, "--seed '1e40' " + outOfRange},
        {{"--seed", "-1e309"}, "--seed '-1e309' " + outOfRange},
        {{"--seed", "3.4028236e+38"}, "--seed '3.4028236e+38' " + outOfRange},
        {{"--seed", "nan"}, "--seed 'nan' is not a finite number"},
        {{"--seed", "1", "--jobs", "0"}, "--jobs '0' is not a whole number from 1 to 256"},
        {{"--seed", "1", "--pictures", "0"}, "--pictures '0' is not a whole number from 1 to 100000"},
        {{"--seed", "1", "--scale", "9"}, "--scale '9' is not a whole number from 1 to 8"},
        {{"--seed", "1", "--scale", "2.5"}, "--scale '2.5' is not a whole number from 1 to 8"},
        {{"--seed", "1", "--format", "gif"}, "--format 'gif' is not png, svg or pdf"},
        {{"--seed", "1", "--animate", "mng"}, "--animate 'mng' is not webp, apng or gif"},
        {{"--seed", "1", "--animate", "webp", "--format", "png"},
         "--animate makes its own kind of file: not with --format"},
        {{"--seed", "1", "--duration", "2"}, "--duration needs --animate"},
        {{"--seed", "1", "--animate", "apng", "--duration", "0.5"},
         "--duration '0.5' is not a number of seconds from 1 to 60"},
        {{"--seed", "1", "--animate", "apng", "--duration", "nan"},
         "--duration 'nan' is not a number of seconds from 1 to 60"},
        {{"--seed", "1", "--animate", "webp", "--fit", "16384x600"},
         "--fit '16384x600' is larger than a WebP holds: at most 16383x16383"},
        {{"--seed", "1", "--at", "20230229090502"}, "--at '20230229090502' is not a date and time YYYYMMDDhhmmss"},
        {{"--seed", "1", "--at", "20240231090502"}, "--at '20240231090502' is not a date and time YYYYMMDDhhmmss"},
        {{"--seed", "1", "--at", "202403070905"}, "--at '202403070905' is not a date and time YYYYMMDDhhmmss"},
        {{"--seed", "1", "--out", ""}, "--out needs a folder"},
        {{"--seed", "1", "--first", "0"}, "--first '0' is not a whole number from 1 to 10000000"},
        {{"--seed", "1", "--first", "10000001"}, "--first '10000001' is not a whole number from 1 to 10000000"},
        {{"--seed", "1", "--first", "9999999", "--pictures", "3"},
         "--pictures 3 from picture 9999999 runs past picture 10000000"},
        {{"--from", "a.png", "--seed", "1"}, "--seed " + fromTheFile},
        {{"--from", "a.png", "--first", "2"}, "--first " + fromTheFile},
        {{"--from", "a.png", "--at", "20240307090502"}, "--at " + fromTheFile},
        {{"--from", ""}, "--from needs a file"},
        {{"--seed", "1", "--fit", "0x0"}, "--fit '0x0' " + size},
        {{"--seed", "1", "--fit", "100000x100000"}, "--fit '100000x100000' " + size},
        {{"--seed", "1", "--fit", "599x450"}, "--fit '599x450' " + size},
        // One rule in both programs: an option given twice is refused, not the last one taken.
        {{"--seed", "1", "--seed", "2"}, "--seed is given more than once"},
        {{"--seed", "1", "--scale", "2", "--out", "a", "--scale=3"}, "--scale is given more than once"},
        {{"--seed", "1", "--fit", "600x449"}, "--fit '600x449' " + size},
        {{"--seed", "1", "--fit", "16385x450"}, "--fit '16385x450' " + size},
        {{"--seed", "1", "--fit", "1920*1080"}, "--fit '1920*1080' " + size},
        {{"--seed", "1", "--fit", "1920x1080", "--scale", "2"},
         "--fit makes PNG files at its own size: not with --scale"},
        {{"--seed", "1", "--fit", "1920x1080", "--scale", "1"},
         "--fit makes PNG files at its own size: not with --scale"},
        {{"--seed", "1", "--fit", "1920x1080", "--format", "svg"},
         "--fit makes PNG files at its own size: not with --format svg"},
        {{"--seed", "1", "--format", "pdf", "--fit", "1920x1080", "--scale", "2"},
         "--fit makes PNG files at its own size: not with --scale or --format pdf"},
        {{"--seed", "1", "--fill"}, "--fill needs --fit WxH, the area to fill"},
        {{"--seed", "1", "--fill", "--scale", "2"}, "--fill needs --fit WxH, the area to fill"},
        {{"--seed", "1", "--fit", "9601x7200", "--fill"}, "--fit '9601x7200' is too large to fill: at most 9600x7200"},
        {{"--seed", "1", "--fit", "9600x7201", "--fill"}, "--fit '9600x7201' is too large to fill: at most 9600x7200"},
    };
}

TEST(CommandLine, SaysWhatIsWrongWithEachArgumentItRefuses)
{
    for (const auto& [arguments, message] : Refusals()) {
        const auto parsed = Parse(arguments);
        ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << message.toStdString();
        EXPECT_EQ(std::get<UsageError>(parsed).problem.message, message.toStdString());
        EXPECT_EQ(std::get<UsageError>(parsed).problem.status, 2);
    }
}

TEST(CommandLine, LeavesHelpAndVersionToQtEvenWithoutASeed)
{
    for (const char* option : {"--help", "-h", "--help-all", "--version", "-v"}) {
        EXPECT_TRUE(std::holds_alternative<HelpOrVersion>(Parse({option}))) << option;
    }
}

}  // namespace
}  // namespace lorvane
