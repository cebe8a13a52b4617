#pragma once

#include <cstdint>
#include <optional>
#include <variant>

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QList>
#include <QString>
#include <QStringList>

#include "platform/problem.h"

namespace lorvane {

// What the window starts with.
struct WindowOptions {
    static constexpr double kShortestInterval = 0.5;
    static constexpr double kLongestInterval = 3600.0;

    // The saved picture to start from, FILE byte for byte as the system names it; none for a new
    // sequence. The window reads it, so that it shows at once however large the file.
    std::optional<QByteArray> file;
    bool fullScreen = false;
    // Seconds between presses of "next" by the slideshow's timer; none for no slideshow.
    std::optional<double> interval;
    // Seconds over which each new picture paints itself; none to show each whole at once.
    std::optional<double> paint;

    // Drawing into a window made by someone else, as a screensaver.
    struct Screensaver {
        static constexpr double kDefaultInterval = 10.0;
        // The X11 window; none for the root window.
        std::optional<std::uint32_t> window;
    };
    std::optional<Screensaver> screensaver;
};

// The command line of lorvane01, `lorvane01 [FILE] [--fullscreen] [--interval SECONDS]
// [--paint SECONDS] [--window-id ID] [--root]`, resolved in one step (XSCREENSAVER_WINDOW is read here) into what the
// program starts with. Parsing neither prints
// nor exits, so every answer can be checked without running the program.
class WindowCommandLine {
public:
    // --help or --version: Qt's parser answers these itself.
    struct HelpOrVersion {};
    // Wrong arguments are a Problem: one line saying what is wrong, exit status kRefused.
    using Answer = std::variant<WindowOptions, HelpOrVersion, Problem>;

    WindowCommandLine();

    // `arguments` as the program was given them, its name first and Qt's own options taken out;
    // FILE is kept as bytes, so that a name that is not UTF-8 still finds its file.
    [[nodiscard]] Answer Parse(const QList<QByteArray>& arguments);
    // Prints the help or the version to standard output and ends the program with status 0.
    void AnswerHelpOrVersion(const QStringList& arguments);
    // --help and --version need no display: when `argv` asks for one, answers it on a console and
    // ends the program, before a display is looked for. Qt's own options (-platform ...) are still
    // in `argv` here, so --help-all, which lists them, is answered here only when nothing is unknown.
    void AnswerBeforeDisplay(int& argc, char* argv[]);
    // What `argv` comes to, before a display is looked for, so that a wrong argument is told
    // first; none when something in it is unknown, which may be one of Qt's own options (those
    // are taken out only by the application, and Parse is then called with what is left).
    [[nodiscard]] std::optional<Answer> ParseBeforeDisplay(int argc, char* argv[]);
    // The program's arguments as bytes, as `argv` holds them.
    [[nodiscard]] static QList<QByteArray> Arguments(int argc, char* argv[]);

private:
    QCommandLineParser parser_;
    QCommandLineOption help_ = parser_.addHelpOption();
    QCommandLineOption version_ = parser_.addVersionOption();
    QCommandLineOption helpAll_{QStringLiteral("help-all")};
    QCommandLineOption fullScreen_{QStringLiteral("fullscreen"),
                                   QStringLiteral("Starts in full screen (F11 toggles it, Escape leaves it).")};
    QCommandLineOption interval_{QStringLiteral("interval"),
                                 QStringLiteral("Shows a slideshow: presses \"next\" every <SECONDS> (0.5 to 3600)."),
                                 QStringLiteral("SECONDS")};
    QCommandLineOption paint_{QStringLiteral("paint"),
                              QStringLiteral("Each new picture paints itself, square by square, over <SECONDS> "
                                             "(0.1 to 60); R paints the picture shown again."),
                              QStringLiteral("SECONDS")};
    QCommandLineOption windowId_{QStringLiteral("window-id"),
                                 QStringLiteral("A screensaver: draws into the X11 window <ID> (such as 0x2a00007), "
                                                "a new picture every --interval seconds (default 10)."),
                                 QStringLiteral("ID")};
    QCommandLineOption root_{QStringLiteral("root"),
                             QStringLiteral("A screensaver in the window XSCREENSAVER_WINDOW names, else the root "
                                            "window; --window-id wins over it.")};
};

}  // namespace lorvane
