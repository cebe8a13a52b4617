#include "app/display_check.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>

#include <QString>
#include <QtGlobal>

namespace lorvane {

namespace {

QtMessageHandler defaultHandler = nullptr;
std::atomic<bool> notesWanted{false};

void ExitOnFatal(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        const QString firstLine = message.section(QLatin1Char('\n'), 0, 0);
        std::fprintf(stderr, "lorvane01: cannot start: %s\n", qPrintable(firstLine));
        std::_Exit(1);
    }
    if (type == QtCriticalMsg || notesWanted.load(std::memory_order_relaxed)) {
        defaultHandler(type, context, message);
    }
}

}  // namespace

void ReportFatalErrorsInOneLine()
{
    defaultHandler = qInstallMessageHandler(ExitOnFatal);
}

void LetToolkitNotesThrough()
{
    notesWanted.store(true, std::memory_order_relaxed);
}

bool AnyDisplayNamed()
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

bool DisplayNamed()
{
    if (!AnyDisplayNamed()) {
        std::fprintf(stderr, "lorvane01: cannot open a display (DISPLAY and WAYLAND_DISPLAY are unset)\n");
        return false;
    }
    return true;
}

}  // namespace lorvane
