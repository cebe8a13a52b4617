#include <cstdio>
#include <variant>

#include <QGuiApplication>

#include "batch_writer.h"
#include "command_line.h"

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
    QGuiApplication::setApplicationVersion(QStringLiteral("1.00"));

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
    lorvane::BatchWriter writer(std::get<lorvane::RenderOptions>(std::move(parsed)));
    const auto problem = writer.Run([](const QString& path) { std::printf("%s\n", qPrintable(path)); });
    if (problem) {
        std::fprintf(stderr, "lorvane01-render: %s\n", qPrintable(*problem));
        return 1;
    }
    return 0;
}
