#include <cstdio>
#include <optional>
#include <utility>
#include <variant>

#include <QApplication>

#include "app/display_check.h"
#include "app/form1.h"
#include "app/screensaver.h"
#include "app/window_command_line.h"
#include "app/window_icon.h"
#include "formats/recipe_file.h"
#include "generated/lorvane_application_id.h"
#include "picture/lorvane_version.h"
#include "platform/seeded_random_source.h"
#include "platform/standard_descriptors.h"
#include "platform/system_clock.h"

namespace {

// One line on standard error for wrong arguments or a FILE without a sound recipe, and its exit
// status.
int Refused(const lorvane::Problem& problem)
{
    std::fprintf(stderr, "lorvane01: %s\n", problem.message.c_str());
    return problem.status;
}

// The exit status after that line, when the arguments are refused.
std::optional<int> Refused(const lorvane::WindowCommandLine::Answer& answer)
{
    if (const auto* problem = std::get_if<lorvane::Problem>(&answer)) {
        return Refused(*problem);
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Before anything opens a file, so that none takes the number of a closed standard stream.
    lorvane::KeepStandardDescriptorsTaken();
    QApplication::setApplicationName(QStringLiteral("lorvane01"));
    QApplication::setApplicationVersion(
        QString::fromLatin1(lorvane::kVersion.data(), static_cast<qsizetype>(lorvane::kVersion.size())));
    lorvane::WindowCommandLine commandLine;
    commandLine.AnswerBeforeDisplay(argc, argv);
    lorvane::ReportFatalErrorsInOneLine();
    // A wrong argument is told before a missing display.
    std::optional<lorvane::WindowCommandLine::Answer> early = commandLine.ParseBeforeDisplay(argc, argv);
    if (early) {
        if (const std::optional<int> status = Refused(*early)) {
            return *status;
        }
        // Without a display no window waits on the reading: what is wrong with FILE is told first.
        const auto* options = std::get_if<lorvane::WindowOptions>(&*early);
        if (options != nullptr && options->file && !lorvane::AnyDisplayNamed()) {
            const auto read = lorvane::RecipeReader::Read(*options->file, lorvane::RecipeReader::SpecialFiles::Refuse);
            if (const auto* problem = std::get_if<lorvane::Problem>(&read)) {
                return Refused(*problem);
            }
        }
    }
    if (!lorvane::DisplayNamed()) {
        return 1;
    }
    QApplication app(argc, argv);
    // Window managers and taskbars match the window to its menu entry and icon by this name.
    QApplication::setDesktopFileName(QString::fromLatin1(lorvane::kApplicationId));
    QApplication::setWindowIcon(lorvane::WindowIcon());

    // Otherwise after QApplication, which has taken Qt's own options (-platform, -display ...)
    // out of argv.
    const auto answer =
        early ? std::move(*early) : commandLine.Parse(lorvane::WindowCommandLine::Arguments(argc, argv));
    if (const std::optional<int> status = Refused(answer)) {
        return *status;
    }
    const auto* options = std::get_if<lorvane::WindowOptions>(&answer);
    if (options == nullptr) {
        // --help-all with Qt's options: answered, and the program ends there.
        commandLine.AnswerHelpOrVersion(QApplication::arguments());
        return 0;
    }
    lorvane::LetToolkitNotesThrough();
    if (options->screensaver) {
        return lorvane::RunScreensaver(options->screensaver->window,
                                       options->interval.value_or(
                                           lorvane::WindowOptions::Screensaver::kDefaultInterval),
                                       options->paint);
    }

    lorvane::SystemClock clock;
    lorvane::SeededRandomSource random;
    lorvane::Form1 form(random, clock);
    if (options->paint) {
        form.PaintOver(*options->paint);
    }
    if (options->file) {
        // The window shows at once; a file it cannot start from ends the program as before it opened.
        form.LoadFile(*options->file, [](const lorvane::Problem& problem) { QApplication::exit(Refused(problem)); });
    } else {
        form.Load();
    }
    if (options->fullScreen) {
        form.ToggleFullScreen();
    }
    if (options->interval) {
        form.StartSlideshow(*options->interval);
    }
    return QApplication::exec();
}
