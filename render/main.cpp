#include <cstdio>
#include <variant>

#include <QGuiApplication>

#include "batch_writer.h"
#include "command_line.h"
#include "lorvane_version.h"
#include "recipe_reader.h"

namespace {

QtMessageHandler toolkitDefault = nullptr;

// A command-line tool speaks only for itself: the toolkit's own notes about the environment
// (such as a missing XDG_RUNTIME_DIR when run as root) would stand before its one-line answers.
void KeepToolkitNotesQuiet(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        toolkitDefault(type, context, message);
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    toolkitDefault = qInstallMessageHandler(KeepToolkitNotesQuiet);
    // Text needs an application, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("lorvane01-render"));
    QGuiApplication::setApplicationVersion(QString::fromLatin1(lorvane::kVersion.data(),
                                                               static_cast<qsizetype>(lorvane::kVersion.size())));

    lorvane::CommandLine commandLine;
    const QStringList arguments = QGuiApplication::arguments();
    auto parsed = commandLine.Parse(arguments);
    if (const auto* error = std::get_if<lorvane::UsageError>(&parsed)) {
        std::fprintf(stderr, "lorvane01-render: %s\n\n%s", qPrintable(error->message), qPrintable(commandLine.Usage()));
        return 2;
    }
    if (std::holds_alternative<lorvane::HelpOrVersion>(parsed)) {
        commandLine.AnswerHelpOrVersion(arguments);
        return 0;
    }
    auto options = std::get<lorvane::RenderOptions>(std::move(parsed));
    if (!options.from.isEmpty()) {
        // What is wrong with the file, or with the file and the other options, names the file.
        const auto read = lorvane::RecipeReader::Read(options.from);
        if (const auto* problem = std::get_if<lorvane::RecipeProblem>(&read)) {
            std::fprintf(stderr, "lorvane01-render: %s\n", qPrintable(problem->message));
            return problem->ExitStatus();
        }
        if (const auto error = lorvane::CommandLine::Follow(std::get<lorvane::Recipe>(read), options)) {
            std::fprintf(stderr, "lorvane01-render: %s: %s\n", qPrintable(options.from), qPrintable(error->message));
            return 2;
        }
    }
    lorvane::BatchWriter writer(std::move(options));
    const auto problem = writer.Run([](const QString& path) { std::printf("%s\n", qPrintable(path)); });
    if (problem) {
        std::fprintf(stderr, "lorvane01-render: %s\n", qPrintable(*problem));
        return 1;
    }
    return 0;
}
