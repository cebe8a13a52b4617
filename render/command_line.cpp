#include "command_line.h"

#include <cmath>
#include <limits>

#include <QDate>
#include <QRegularExpression>
#include <QTime>

namespace lorvane {

namespace {

// The random source takes a single-precision seed, as the clock gives it.
constexpr double kLargestSeed = static_cast<double>(std::numeric_limits<float>::max());

UsageError NotAWholeNumber(const QString& option, const QString& value, int most)
{
    return UsageError{QStringLiteral("--%1 '%2' is not a whole number from 1 to %3").arg(option, value).arg(most)};
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
                       "SVG or PDF file named after the picture and its number, e.g. T20240307090502-1.png.\n"
                       "An existing file is never replaced: the new one is called T20240307090502-1-2.png,\n"
                       "then -3 and so on."));
    parser_.addOptions({seed_, pictures_, at_, scale_, format_, out_});
}

std::variant<RenderOptions, HelpOrVersion, UsageError> CommandLine::Parse(const QStringList& arguments)
{
    if (!parser_.parse(arguments)) {
        return UsageError{parser_.errorText()};
    }
    if (parser_.isSet(help_) || parser_.isSet(QStringLiteral("help-all")) || parser_.isSet(version_)) {
        return HelpOrVersion{};
    }
    return std::visit([](auto&& answer) -> std::variant<RenderOptions, HelpOrVersion, UsageError> { return answer; },
                      Options());
}

void CommandLine::AnswerHelpOrVersion(const QStringList& arguments)
{
    parser_.process(arguments);
}

QString CommandLine::Usage() const
{
    return parser_.helpText();
}

std::variant<RenderOptions, UsageError> CommandLine::Options() const
{
    if (const QStringList extra = parser_.positionalArguments(); !extra.isEmpty()) {
        return UsageError{QStringLiteral("unexpected argument '%1'").arg(extra.constFirst())};
    }
    if (!parser_.isSet(seed_)) {
        return UsageError{QStringLiteral("--seed is required")};
    }
    RenderOptions options;

    const QString seedText = parser_.value(seed_);
    bool isNumber = false;
    const double seed = seedText.toDouble(&isNumber);
    if (!isNumber) {
        return UsageError{QStringLiteral("--seed '%1' is not a number").arg(seedText)};
    }
    if (!std::isfinite(seed) || std::abs(seed) > kLargestSeed) {
        return UsageError{QStringLiteral("--seed '%1' is not a finite single-precision number").arg(seedText)};
    }
    options.seed = static_cast<float>(seed);

    const QString picturesText = parser_.value(pictures_);
    const std::optional<int> pictures = WholeNumber(picturesText, RenderOptions::kMostPictures);
    if (!pictures) {
        return NotAWholeNumber(QStringLiteral("pictures"), picturesText, RenderOptions::kMostPictures);
    }
    options.pictures = *pictures;

    if (parser_.isSet(at_)) {
        const QString atText = parser_.value(at_);
        static const QRegularExpression fourteenDigits(QRegularExpression::anchoredPattern(QStringLiteral("[0-9]{14}")));
        // Date and time apart: a wall-clock reading is never moved by daylight saving.
        const QDate date = QDate::fromString(atText.left(8), QStringLiteral("yyyyMMdd"));
        const QTime time = QTime::fromString(atText.mid(8), QStringLiteral("HHmmss"));
        if (!fourteenDigits.match(atText).hasMatch() || !date.isValid() || !time.isValid()) {
            return UsageError{QStringLiteral("--at '%1' is not a date and time YYYYMMDDhhmmss").arg(atText)};
        }
        options.at.emplace(date.year(), date.month(), date.day(), time.hour(), time.minute(), time.second());
    }

    const QString scaleText = parser_.value(scale_);
    const std::optional<int> scale = WholeNumber(scaleText, RenderOptions::kLargestScale);
    if (!scale) {
        return NotAWholeNumber(QStringLiteral("scale"), scaleText, RenderOptions::kLargestScale);
    }
    options.scale = *scale;

    const QString format = parser_.value(format_);
    if (format == QLatin1String("svg")) {
        options.format = ImageFormat::Svg;
    } else if (format == QLatin1String("pdf")) {
        options.format = ImageFormat::Pdf;
    } else if (format != QLatin1String("png")) {
        return UsageError{QStringLiteral("--format '%1' is not png, svg or pdf").arg(format)};
    }

    options.folder = parser_.value(out_);
    if (options.folder.isEmpty()) {
        return UsageError{QStringLiteral("--out needs a folder")};
    }
    return options;
}

}  // namespace lorvane
