#include <QApplication>
#include <QCommandLineParser>
#include <QCoreApplication>

#include "display_check.h"
#include "form1.h"
#include "lorvane_application_id.h"
#include "lorvane_version.h"
#include "seeded_random_source.h"
#include "standard_descriptors.h"
#include "system_clock.h"
#include "window_icon.h"

namespace {

void DescribeOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(QStringLiteral("Makes abstract pictures, one at a time."));
    parser.addHelpOption();
    parser.addVersionOption();
}

// --help and --version are answered on a console too, before a display is looked for; --help-all
// lists the toolkit's options as well, which needs the application Qt's options come from.
void AnswerHelpOrVersion(int& argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    QCommandLineParser parser;
    DescribeOptions(parser);
    // Qt's own options (-platform ...) are unknown here; what matters is whether ours are set.
    static_cast<void>(parser.parse(arguments));
    if (parser.isSet(QStringLiteral("version"))) {
        const QCoreApplication console(argc, argv);
        parser.showVersion();
    }
    if (parser.isSet(QStringLiteral("help"))) {
        const QCoreApplication console(argc, argv);
        parser.showHelp(0);
    }
    if (parser.isSet(QStringLiteral("help-all"))) {
        const QCoreApplication console(argc, argv);
        parser.process(console);
    }
}

}  // namespace

int main(int argc, char* argv[])
{
    // Before anything opens a file, so that none takes the number of a closed standard stream.
    lorvane::KeepStandardDescriptorsTaken();
    QApplication::setApplicationName(QStringLiteral("lorvane01"));
    QApplication::setApplicationVersion(
        QString::fromLatin1(lorvane::kVersion.data(), static_cast<qsizetype>(lorvane::kVersion.size())));
    AnswerHelpOrVersion(argc, argv);
    if (!lorvane::DisplayAvailable()) {
        return 1;
    }
    QApplication app(argc, argv);
    // Window managers and taskbars match the window to its menu entry and icon by this name.
    QApplication::setDesktopFileName(QString::fromLatin1(lorvane::kApplicationId));
    QApplication::setWindowIcon(lorvane::WindowIcon());

    // After QApplication, which has taken Qt's own options (-platform, -display ...) out.
    QCommandLineParser parser;
    DescribeOptions(parser);
    parser.process(app);

    lorvane::SystemClock clock;
    lorvane::SeededRandomSource random;
    lorvane::Form1 form(random, clock);
    form.Load();
    return QApplication::exec();
}
