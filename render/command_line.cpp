#include "render/command_line.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QRegularExpression>
#include <QThread>

#include "formats/webp_file.h"
#include "platform/picture_size.h"
#include "platform/raw_arguments.h"
#include "platform/repeated_option.h"
#include "players/picture_fit.h"
#include "players/raster_player.h"

namespace lorvane {

namespace {

UsageError Wrong(const QString& message)
{
    return {Problem{message.toStdString()}};
}

UsageError NotAWholeNumber(const QString& option, const QString& value, int most)
{
    return Wrong(QStringLiteral("--%1 '%2' is not a whole number from 1 to %3").arg(option, value).arg(most));
}

// A wall-clock reading YYYYMMDDhhmmss, or nothing. Date and time apart: daylight saving never
// moves it.
std::optional<FixedClock> ClockAt(const QString& text)
{
    return FixedClock::At(text.toStdString());
}

UsageError PastTheLastPicture(int first, int pictures)
{
    return Wrong(QStringLiteral("--pictures %1 from picture %2 runs past picture %3")
                     .arg(pictures)
                     .arg(first)
                     .arg(RenderOptions::kLastPicture));
}

// W x H device pixels that hold the picture at scale 1 at least, or nothing.
std::optional<QSize> FitSize(const QString& text)
{
    static const QRegularExpression size(
        QRegularExpression::anchoredPattern(QStringLiteral(R"(([0-9]{1,6})x([0-9]{1,6}))")));
    const QRegularExpressionMatch match = size.match(text);
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    const int width = match.captured(1).toInt();
    const int height = match.captured(2).toInt();
    if (width < kPictureWidth || height < kPictureHeight || width > RenderOptions::kLargestFit ||
        height > RenderOptions::kLargestFit) {
        return std::nullopt;
    }
    return QSize(width, height);
}

// A whole number from 1 to `most`, or nothing.
std::optional<int> WholeNumber(const QString& text, int most)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1 || value > most) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

CommandLine::CommandLine()
{
    parser_.setApplicationDescription(
        QStringLiteral("Draws the pictures lorvane01 draws after the same seed and saves each one as a PNG,\n"
                       "SVG or PDF file named after the picture and its number, e.g. T20240307090502-1.png,\n"
                       "or as an animation of it painting itself (--animate).\n"
                       "An existing file is never replaced: the new one is called T20240307090502-1-2.png,\n"
                       "then -3 and so on."));
    parser_.addOptions({seed_, pictures_, first_, from_, at_, scale_, fit_, fill_, format_, animate_, duration_, out_,
                        jobs_, memory_});
}

CommandLine::Answer CommandLine::Parse(const QList<QByteArray>& arguments)
{
    QStringList decoded;
    for (const QByteArray& argument : arguments) {
        decoded << QString::fromLocal8Bit(argument);
    }
    if (!parser_.parse(decoded)) {
        return Wrong(parser_.errorText());
    }
    if (parser_.isSet(help_) || parser_.isSet(QStringLiteral("help-all")) || parser_.isSet(version_)) {
        return HelpOrVersion{};
    }
    return std::visit([](auto&& answer) -> Answer { return std::forward<decltype(answer)>(answer); },
                      Options(arguments));
}

void CommandLine::AnswerHelpOrVersion(const QStringList& arguments)
{
    parser_.process(arguments);
}

QString CommandLine::Usage() const
{
    return parser_.helpText();
}

QString CommandLine::LargestFill()
{
    const QSize largest = QSize(kPictureWidth, kPictureHeight) * RasterPlayer::kLargestScale;
    return QStringLiteral("%1x%2").arg(largest.width()).arg(largest.height());
}

int CommandLine::DefaultJobs()
{
    return std::clamp(QThread::idealThreadCount(), 1, RenderOptions::kMostJobs);
}

std::variant<RenderOptions, UsageError, Problem> CommandLine::Options(const QList<QByteArray>& arguments) const
{
    std::vector<std::string> given;
    for (const QString& name : parser_.optionNames()) {
        given.push_back(name.toStdString());
    }
    if (const std::optional<std::string> repeated = RepeatedOption(given)) {
        return UsageError{Problem{*repeated}};
    }
    if (const QStringList extra = parser_.positionalArguments(); !extra.isEmpty()) {
        return Wrong(QStringLiteral("unexpected argument '%1'").arg(extra.constFirst()));
    }
    RenderOptions options;
    QString from;
    if (parser_.isSet(from_)) {
        for (const QCommandLineOption* taken : {&seed_, &first_, &at_}) {
            if (parser_.isSet(*taken)) {
                return Wrong(QStringLiteral("--%1 cannot be given with --from, which takes it from the file")
                                 .arg(taken->names().constFirst()));
            }
        }
        from = parser_.value(from_);
        if (from.isEmpty()) {
            return Wrong(QStringLiteral("--from needs a file"));
        }
    } else if (!parser_.isSet(seed_)) {
        return Wrong(QStringLiteral("--seed is required"));
    }
    if (from.isEmpty()) {
        auto seed = ParseSeed(parser_.value(seed_).toStdString(), "--seed");
        if (auto* error = std::get_if<Problem>(&seed)) {
            return UsageError{std::move(*error)};
        }
        options.seed = std::get<float>(seed);
    }

    const QString picturesText = parser_.value(pictures_);
    const std::optional<int> pictures = WholeNumber(picturesText, RenderOptions::kMostPictures);
    if (!pictures) {
        return NotAWholeNumber(QStringLiteral("pictures"), picturesText, RenderOptions::kMostPictures);
    }
    options.pictures = *pictures;

    const QString firstText = parser_.value(first_);
    const std::optional<int> first = WholeNumber(firstText, RenderOptions::kLastPicture);
    if (!first) {
        return NotAWholeNumber(QStringLiteral("first"), firstText, RenderOptions::kLastPicture);
    }
    if (options.pictures > RenderOptions::kLastPicture - *first + 1) {
        return PastTheLastPicture(*first, options.pictures);
    }
    options.first = *first;

    if (parser_.isSet(at_)) {
        const QString atText = parser_.value(at_);
        options.at = ClockAt(atText);
        if (!options.at) {
            return Wrong(QStringLiteral("--at '%1' is not a date and time YYYYMMDDhhmmss").arg(atText));
        }
    }

    const QString scaleText = parser_.value(scale_);
    const std::optional<int> scale = WholeNumber(scaleText, RenderOptions::kMostScale);
    if (!scale) {
        return NotAWholeNumber(QStringLiteral("scale"), scaleText, RenderOptions::kMostScale);
    }
    options.scale = *scale;

    const QString format = parser_.value(format_);
    if (format == QLatin1String("svg")) {
        options.format = FileFormat::Svg;
    } else if (format == QLatin1String("pdf")) {
        options.format = FileFormat::Pdf;
    } else if (format != QLatin1String("png")) {
        return Wrong(QStringLiteral("--format '%1' is not png, svg or pdf").arg(format));
    }

    if (parser_.isSet(animate_)) {
        const QString animate = parser_.value(animate_);
        if (animate == QLatin1String("webp")) {
            options.animation = AnimationFormat::Webp;
        } else if (animate == QLatin1String("apng")) {
            options.animation = AnimationFormat::Apng;
        } else if (animate == QLatin1String("gif")) {
            options.animation = AnimationFormat::Gif;
        } else {
            return Wrong(QStringLiteral("--animate '%1' is not webp, apng or gif").arg(animate));
        }
        if (parser_.isSet(format_)) {
            return Wrong(QStringLiteral("--animate makes its own kind of file: not with --format"));
        }
        if (parser_.isSet(duration_)) {
            const QString durationText = parser_.value(duration_);
            bool ok = false;
            const double seconds = durationText.toDouble(&ok);
            if (!ok || !(seconds >= RenderOptions::kShortestPainting && seconds <= RenderOptions::kLongestPainting)) {
                return Wrong(QStringLiteral("--duration '%1' is not a number of seconds from %2 to %3")
                                 .arg(durationText)
                                 .arg(RenderOptions::kShortestPainting)
                                 .arg(RenderOptions::kLongestPainting));
            }
            options.timing.paintingMilliseconds = static_cast<int>(std::lround(seconds * 1000.0));
        }
    } else if (parser_.isSet(duration_)) {
        return Wrong(QStringLiteral("--duration needs --animate"));
    }

    if (parser_.isSet(fit_)) {
        const QString fitText = parser_.value(fit_);
        const std::optional<QSize> fit = FitSize(fitText);
        if (!fit) {
            return Wrong(QStringLiteral("--fit '%1' is not a size WxH from 600x450 to %2x%2")
                             .arg(fitText)
                             .arg(RenderOptions::kLargestFit));
        }
        // Only what was given: --format png is --fit's own.
        QStringList clashes;
        if (parser_.isSet(scale_)) {
            clashes << QStringLiteral("--scale");
        }
        if (options.format != FileFormat::Png) {
            clashes << QStringLiteral("--format ") + format;
        }
        if (!clashes.isEmpty()) {
            return Wrong(QStringLiteral("--fit makes PNG files at its own size: not with %1")
                             .arg(clashes.join(QStringLiteral(" or "))));
        }
        if (options.animation == AnimationFormat::Webp &&
            (fit->width() > kLargestWebpSide || fit->height() > kLargestWebpSide)) {
            return Wrong(QStringLiteral("--fit '%1' is larger than a WebP holds: at most %2x%2")
                             .arg(fitText)
                             .arg(kLargestWebpSide));
        }
        options.fit = fit;
        options.fill = parser_.isSet(fill_);
        if (options.fill && !FitPicture(*fit, Framing::Fill).placed.contains(QRect(QPoint(), *fit))) {
            return Wrong(QStringLiteral("--fit '%1' is too large to fill: at most %2").arg(fitText, LargestFill()));
        }
    } else if (parser_.isSet(fill_)) {
        return Wrong(QStringLiteral("--fill needs --fit WxH, the area to fill"));
    }

    const QString jobsText = parser_.value(jobs_);
    const std::optional<int> jobs = WholeNumber(jobsText, RenderOptions::kMostJobs);
    if (!jobs) {
        return NotAWholeNumber(QStringLiteral("jobs"), jobsText, RenderOptions::kMostJobs);
    }
    options.jobs = *jobs;
    if (parser_.isSet(memory_)) {
        const QString memoryText = parser_.value(memory_);
        const std::optional<int> memory = WholeNumber(memoryText, RenderOptions::kMostMemory);
        if (!memory) {
            return NotAWholeNumber(QStringLiteral("memory"), memoryText, RenderOptions::kMostMemory);
        }
        options.memory = static_cast<std::uint64_t>(*memory);
    }

    std::vector<std::string> valueOptions;
    for (const QCommandLineOption* option : {&seed_, &pictures_, &first_, &from_, &at_, &scale_, &fit_, &format_,
                                             &animate_, &duration_, &out_, &jobs_, &memory_}) {
        valueOptions.push_back(option->names().constFirst().toStdString());
    }
    const RawArguments raw(arguments, valueOptions);
    options.folder = QByteArray::fromStdString(raw.Value("out").value_or("."));
    if (options.folder.isEmpty()) {
        return Wrong(QStringLiteral("--out needs a folder"));
    }
    if (!from.isEmpty()) {
        return FollowRecipe(QByteArray::fromStdString(raw.Value("from").value_or("")), std::move(options));
    }
    return options;
}

std::variant<RenderOptions, UsageError, Problem> CommandLine::FollowRecipe(const QByteArray& path,
                                                                           RenderOptions options)
{
    // What is wrong with the file, or with the file and the other options, names the file.
    auto read = RecipeReader::Read(path);
    const std::string from = QString::fromLocal8Bit(path).toStdString();
    if (auto* problem = std::get_if<Problem>(&read)) {
        return std::move(*problem);
    }
    const auto& recipe = std::get<Recipe>(read);
    const auto fileProblem = [&from](UsageError error) {
        error.problem.message.insert(0, from + ": ");
        return std::move(error.problem);
    };
    std::optional<FixedClock> clock = ClockAt(QString::fromStdString(recipe.at));
    if (!clock) {
        return fileProblem(Wrong(
            QStringLiteral("at '%1' is not a date and time YYYYMMDDhhmmss").arg(QString::fromStdString(recipe.at))));
    }
    if (options.pictures > RenderOptions::kLastPicture - recipe.picture + 1) {
        return fileProblem(PastTheLastPicture(recipe.picture, options.pictures));
    }
    options.seed = recipe.seed;
    options.first = recipe.picture;
    options.at = std::move(clock);
    return options;
}

}  // namespace lorvane
