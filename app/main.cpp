#include <QApplication>
#include <QCommandLineParser>

#include "display_check.h"
#include "form1.h"
#include "lorvane_application_id.h"
#include "lorvane_version.h"
#include "seeded_random_source.h"
#include "system_clock.h"
#include "window_icon.h"

int main(int argc, char* argv[])
{
    if (!lorvane::DisplayAvailable()) {
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lorvane01"));
    QApplication::setApplicationVersion(
        QString::fromLatin1(lorvane::kVersion.data(), static_cast<qsizetype>(lorvane::kVersion.size())));
    // Window managers and taskbars match the window to its menu entry and icon by this name.
    QApplication::setDesktopFileName(QString::fromLatin1(lorvane::kApplicationId));
    QApplication::setWindowIcon(lorvane::WindowIcon());

    // After QApplication, which has taken Qt's own options (-platform, -display ...) out.
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Makes abstract pictures, one at a time."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.process(app);

    lorvane::SystemClock clock;
    lorvane::SeededRandomSource random;
    lorvane::Form1 form(random, clock);
    form.Load();
    return QApplication::exec();
}
