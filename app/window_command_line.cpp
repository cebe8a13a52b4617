#include "app/window_command_line.h"

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <QCoreApplication>
#include <QFile>

#include "app/picture_painting.h"
#include "platform/raw_arguments.h"
#include "platform/repeated_option.h"

namespace lorvane {

namespace {

Problem Refused(const QString& message)
{
    return {message.toStdString()};
}

// An X11 window id, decimal or hexadecimal with 0x, as hosts pass them; or nothing.
std::optional<std::uint32_t> WindowId(const QString& text)
{
    bool ok = false;
    const qulonglong id = text.trimmed().toULongLong(&ok, 0);
    if (!ok || id == 0 || id > 0xFFFFFFFFULL) {
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(id);
}

QStringList Decoded(const QList<QByteArray>& arguments)
{
    QStringList decoded;
    for (const QByteArray& argument : arguments) {
        decoded << QString::fromLocal8Bit(argument);
    }
    return decoded;
}

}  // namespace

WindowCommandLine::WindowCommandLine()
{
    parser_.setApplicationDescription(
        QStringLiteral("Makes abstract pictures, one at a time.\n"
                       "Keys: Alt+Left and Alt+Right go back and forward through the pictures shown,\n"
                       "Ctrl+O opens a picture saved by lorvane01, F11 toggles full screen, where\n"
                       "Right, Space or a click goes forward, Left back, P pauses a slideshow,\n"
                       "? lists the keys and Escape leaves."));
    parser_.addOptions({fullScreen_, interval_, paint_, windowId_, root_});
    parser_.addPositionalArgument(QStringLiteral("FILE"),
                                  QStringLiteral("A picture saved by lorvane01 (PNG, SVG or PDF) to start from; "
                                                 "\"next\" goes on from its sequence."),
                                  QStringLiteral("[FILE]"));
}

WindowCommandLine::Answer WindowCommandLine::Parse(const QList<QByteArray>& arguments)
{
    if (!parser_.parse(Decoded(arguments))) {
        return Refused(parser_.errorText());
    }
    if (parser_.isSet(help_) || parser_.isSet(version_) || parser_.isSet(helpAll_)) {
        return HelpOrVersion{};
    }
    std::vector<std::string> given;
    for (const QString& name : parser_.optionNames()) {
        given.push_back(name.toStdString());
    }
    if (const std::optional<std::string> repeated = RepeatedOption(given)) {
        return Problem{*repeated};
    }
    WindowOptions options;
    options.fullScreen = parser_.isSet(fullScreen_);
    if (parser_.isSet(interval_)) {
        const QString text = parser_.value(interval_);
        bool ok = false;
        const double seconds = text.toDouble(&ok);
        if (!ok || !std::isfinite(seconds) || seconds < WindowOptions::kShortestInterval ||
            seconds > WindowOptions::kLongestInterval) {
            return Refused(QStringLiteral("--interval '%1' is not a number of seconds from %2 to %3")
                               .arg(text)
                               .arg(WindowOptions::kShortestInterval)
                               .arg(WindowOptions::kLongestInterval));
        }
        options.interval = seconds;
    }
    if (parser_.isSet(paint_)) {
        const QString text = parser_.value(paint_);
        bool ok = false;
        const double seconds = text.toDouble(&ok);
        if (!ok || !std::isfinite(seconds) || seconds < PicturePainting::kShortestSeconds ||
            seconds > PicturePainting::kLongestSeconds) {
            return Refused(QStringLiteral("--paint '%1' is not a number of seconds from %2 to %3")
                               .arg(text)
                               .arg(PicturePainting::kShortestSeconds)
                               .arg(PicturePainting::kLongestSeconds));
        }
        options.paint = seconds;
    }
    if (parser_.isSet(windowId_) || parser_.isSet(root_)) {
        if (options.fullScreen || !parser_.positionalArguments().isEmpty()) {
            return Refused(
                QStringLiteral("--window-id and --root draw a new sequence in that window: not with "
                               "--fullscreen or a FILE"));
        }
        WindowOptions::Screensaver screensaver;
        // --window-id wins over --root, as in xscreensaver's own modules: its settings program
        // runs the `programs:` entry (which holds --root) with --window-id for its preview.
        if (parser_.isSet(windowId_)) {
            const QString text = parser_.value(windowId_);
            screensaver.window = WindowId(text);
            if (!screensaver.window) {
                return Refused(QStringLiteral("--window-id '%1' is not a window id (such as 0x2a00007)").arg(text));
            }
        } else if (const QString named = qEnvironmentVariable("XSCREENSAVER_WINDOW"); !named.isEmpty()) {
            screensaver.window = WindowId(named);
            if (!screensaver.window) {
                return Refused(QStringLiteral("XSCREENSAVER_WINDOW '%1' is not a window id").arg(named));
            }
        }
        options.screensaver = screensaver;
        options.interval = options.interval.value_or(WindowOptions::Screensaver::kDefaultInterval);
        return options;
    }
    const QStringList files = parser_.positionalArguments();
    if (files.size() > 1) {
        return Refused(QStringLiteral("unexpected argument '%1': give one FILE").arg(files.at(1)));
    }
    if (!files.isEmpty()) {
        std::vector<std::string> valueOptions;
        for (const QCommandLineOption* option : {&interval_, &paint_, &windowId_}) {
            for (const QString& name : option->names()) {
                valueOptions.push_back(name.toStdString());
            }
        }
        options.file = QByteArray::fromStdString(RawArguments(arguments, valueOptions).File().value_or(""));
    }
    return options;
}

void WindowCommandLine::AnswerHelpOrVersion(const QStringList& arguments)
{
    parser_.process(arguments);
}

void WindowCommandLine::AnswerBeforeDisplay(int& argc, char* argv[])
{
    const QStringList arguments = Decoded(Arguments(argc, argv));
    // An unknown option may be one of Qt's; what matters here is whether ours are set.
    const bool known = parser_.parse(arguments);
    if (!parser_.isSet(help_) && !parser_.isSet(version_) && !(known && parser_.isSet(helpAll_))) {
        return;
    }
    const QCoreApplication console(argc, argv);
    if (parser_.isSet(version_)) {
        parser_.showVersion();
    }
    if (parser_.isSet(help_)) {
        parser_.showHelp(0);
    }
    parser_.process(arguments);
}

std::optional<WindowCommandLine::Answer> WindowCommandLine::ParseBeforeDisplay(int argc, char* argv[])
{
    const QList<QByteArray> arguments = Arguments(argc, argv);
    if (!parser_.parse(Decoded(arguments))) {
        return std::nullopt;
    }
    return Parse(arguments);
}

QList<QByteArray> WindowCommandLine::Arguments(int argc, char* argv[])
{
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QByteArray(argv[i]);  // NOLINT(cppcoreguidelines-pro-bounds-pointer-arithmetic)
    }
    return arguments;
}

}  // namespace lorvane
