#include <csignal>
#include <cstdio>
#include <variant>

#include <QGuiApplication>

#include <unistd.h>

#include "picture/lorvane_version.h"
#include "platform/standard_descriptors.h"
#include "platform/system_calls.h"
#include "render/batch_writer.h"
#include "render/command_line.h"
#include "render/interrupt_watch.h"
#include "render/memory_budget.h"

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

// One line of the list of files, written through at once: whoever reads the list, a pipe or a
// person pressing Ctrl-C, sees each file as soon as it is in place.
std::optional<lorvane::Problem> ListFile(const QByteArray& path)
{
    const QByteArray line = path + '\n';
    if (const int error = lorvane::WriteAll(STDOUT_FILENO, line.constData(), static_cast<std::size_t>(line.size()));
        error != 0) {
        return lorvane::Problem{"cannot list the files written: " + lorvane::ErrorText(error),
                                lorvane::Problem::kFailed};
    }
    return std::nullopt;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Before anything opens a file: the list of files goes to descriptor 1 and nowhere else.
    lorvane::KeepStandardDescriptorsTaken();
    // Before any thread starts, so that every thread leaves these signals to the watch.
    lorvane::InterruptWatch interrupts;
    // A reader that went away is a failure to list, reported as one, not a silent death.
    std::signal(SIGPIPE, SIG_IGN);
    toolkitDefault = qInstallMessageHandler(KeepToolkitNotesQuiet);
    // Text needs an application, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    const QGuiApplication app(argc, argv);
    QGuiApplication::setApplicationName(QStringLiteral("lorvane01-render"));
    QGuiApplication::setApplicationVersion(
        QString::fromLatin1(lorvane::kVersion.data(), static_cast<qsizetype>(lorvane::kVersion.size())));

    lorvane::CommandLine commandLine;
    // The application has taken out its own options; what is left is the program's.
    QList<QByteArray> arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QByteArray(argv[i]);
    }
    auto parsed = commandLine.Parse(arguments);
    if (const auto* error = std::get_if<lorvane::UsageError>(&parsed)) {
        std::fprintf(stderr, "lorvane01-render: %s\n\n%s", error->problem.message.c_str(),
                     qPrintable(commandLine.Usage()));
        return error->problem.status;
    }
    if (const auto* problem = std::get_if<lorvane::Problem>(&parsed)) {
        std::fprintf(stderr, "lorvane01-render: %s\n", problem->message.c_str());
        return problem->status;
    }
    if (std::holds_alternative<lorvane::HelpOrVersion>(parsed)) {
        commandLine.AnswerHelpOrVersion(QGuiApplication::arguments());
        return 0;
    }
    auto options = std::get<lorvane::RenderOptions>(std::move(parsed));
    if (const auto lowered = lorvane::KeepJobsWithinMemory(options)) {
        std::fprintf(stderr, "lorvane01-render: %s\n", qPrintable(*lowered));
    }
    lorvane::BatchWriter writer(std::move(options));
    interrupts.Watch([&writer] { writer.Cancel(); });
    const auto problem = writer.Run(ListFile, [](const QString& notice) {
        std::fprintf(stderr, "lorvane01-render: %s\n", qPrintable(notice));
    });
    interrupts.DieOfReceivedSignal();
    if (problem) {
        std::fprintf(stderr, "lorvane01-render: %s\n", problem->message.c_str());
        return problem->status;
    }
    return 0;
}
