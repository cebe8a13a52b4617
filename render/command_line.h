#pragma once

#include <optional>
#include <variant>

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include "formats/recipe_file.h"
#include "picture/recipe.h"
#include "platform/problem.h"
#include "render/render_options.h"

namespace lorvane {

// --help, --help-all or --version: Qt's parser answers these itself.
struct HelpOrVersion {};

// What is wrong with the arguments: a problem of status kRefused, told with the usage after it.
struct UsageError {
    Problem problem;
};

// The command line of lorvane01-render, read with Qt's parser. Parsing neither prints nor exits,
// so every answer can be checked without running the program.
class CommandLine {
public:
    CommandLine();

    // What the arguments come to: what to draw, or help, or what is wrong with them or with the
    // file --from names (whose recipe is read here, as the other options are resolved).
    using Answer = std::variant<RenderOptions, HelpOrVersion, UsageError, Problem>;

    // `arguments` are the bytes the program was given, its name first; the folder is kept as
    // bytes, so that a name that is not UTF-8 still finds its folder.
    [[nodiscard]] Answer Parse(const QList<QByteArray>& arguments);
    // Prints the help or the version to standard output and ends the program with status 0.
    void AnswerHelpOrVersion(const QStringList& arguments);
    // The usage line and the list of options, for after an error.
    [[nodiscard]] QString Usage() const;

private:
    // The largest area --fill covers, "9600x7200": the picture at the players' largest scale.
    [[nodiscard]] static QString LargestFill();
    [[nodiscard]] static int DefaultJobs();
    [[nodiscard]] std::variant<RenderOptions, UsageError, Problem> Options(const QList<QByteArray>& arguments) const;
    // Takes the seed, the first picture and the time from the recipe in `from`; says so when
    // --pictures would then run past the last picture.
    [[nodiscard]] static std::variant<RenderOptions, UsageError, Problem> FollowRecipe(const QByteArray& path,
                                                                                       RenderOptions options);

    QCommandLineParser parser_;
    QCommandLineOption help_ = parser_.addHelpOption();
    QCommandLineOption version_ = parser_.addVersionOption();
    QCommandLineOption seed_{QStringLiteral("seed"),
                             QStringLiteral("Seeds the random source with <S>, seconds since midnight as the "
                                            "window uses them; any finite number. Required unless --from is "
                                            "given."),
                             QStringLiteral("S")};
    QCommandLineOption pictures_{QStringLiteral("pictures"),
                                 QStringLiteral("Draws <K> pictures from the continuing sequence, as pressing "
                                                "\"next\" does (1 to %1; default 1).")
                                     .arg(RenderOptions::kMostPictures),
                                 QStringLiteral("K"), QStringLiteral("1")};
    QCommandLineOption first_{QStringLiteral("first"),
                              QStringLiteral("Starts at the <N>-th picture of the seed's sequence, without "
                                             "drawing the ones before it (1 to %1; default 1).")
                                  .arg(RenderOptions::kLastPicture),
                              QStringLiteral("N"), QStringLiteral("1")};
    QCommandLineOption from_{QStringLiteral("from"),
                             QStringLiteral("Draws the picture saved in <FILE> (a PNG, WebP, SVG or PDF made by "
                                            "lorvane01) again, from the recipe it carries: its seed, number and "
                                            "time. Not with --seed, --first or --at."),
                             QStringLiteral("FILE")};
    QCommandLineOption at_{QStringLiteral("at"),
                           QStringLiteral("Names the pictures after this local date and time instead of the "
                                          "clock's."),
                           QStringLiteral("YYYYMMDDhhmmss")};
    QCommandLineOption scale_{QStringLiteral("scale"),
                              QStringLiteral("Makes each picture pixel an <N> x <N> block, with captions "
                                             "drawn at that size (1 to %1; default 1).")
                                  .arg(RenderOptions::kMostScale),
                              QStringLiteral("N"), QStringLiteral("1")};
    QCommandLineOption fit_{QStringLiteral("fit"),
                            QStringLiteral(
                                "Frames each picture in a PNG (or an animation) of <WxH> pixels (600x450 to %1x%1), "
                                "played at the largest scale that fits and centred on black, as "
                                "full screen shows it; for wallpapers. Not with --scale.")
                                .arg(RenderOptions::kLargestFit),
                            QStringLiteral("WxH")};
    QCommandLineOption fill_{QStringLiteral("fill"),
                             QStringLiteral("With --fit: covers the whole area instead, played at the smallest "
                                            "scale that does (up to %1), centred, the overflow cropped.")
                                 .arg(LargestFill())};
    QCommandLineOption format_{QStringLiteral("format"),
                               QStringLiteral("png, svg or pdf (default png). A PDF page is the picture's size "
                                              "at 96 dpi, whatever the scale."),
                               QStringLiteral("format"), QStringLiteral("png")};
    QCommandLineOption animate_{QStringLiteral("animate"),
                                QStringLiteral("Saves each picture painting itself, square by square, as an "
                                               "animation: webp, apng or gif. It paints for 4 seconds, then the "
                                               "finished picture stays for 3, looping; its last frame is the "
                                               "still PNG. An APNG is named T20240307090502-1-painting.png. Not "
                                               "with --format."),
                                QStringLiteral("format")};
    QCommandLineOption duration_{QStringLiteral("duration"),
                                 QStringLiteral("With --animate: paints for <SECONDS> (%1 to %2; default 4).")
                                     .arg(RenderOptions::kShortestPainting)
                                     .arg(RenderOptions::kLongestPainting),
                                 QStringLiteral("SECONDS")};
    QCommandLineOption out_{QStringLiteral("out"),
                            QStringLiteral("Writes the files into the folder <DIR>, made if it is missing "
                                           "(default: the current folder)."),
                            QStringLiteral("DIR"), QStringLiteral(".")};
    QCommandLineOption jobs_{QStringLiteral("jobs"),
                             QStringLiteral("Makes and writes files on <N> threads (1 to %1; default: one per "
                                            "processor core, here %2).")
                                 .arg(RenderOptions::kMostJobs)
                                 .arg(DefaultJobs()),
                             QStringLiteral("N"), QString::number(DefaultJobs())};
    QCommandLineOption memory_{QStringLiteral("memory"),
                               QStringLiteral("Lowers --jobs so that the pictures in hand, one more than the jobs, "
                                              "fit in <MB> MiB (1 to %1; default: the memory available), and "
                                              "says so.")
                                   .arg(RenderOptions::kMostMemory),
                               QStringLiteral("MB")};
};

}  // namespace lorvane
