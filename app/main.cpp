#include <QApplication>

#include "display_check.h"
#include "form1.h"
#include "recording.h"
#include "seeded_random_source.h"
#include "system_clock.h"

int main(int argc, char* argv[])
{
    if (!lorvane::DisplayAvailable()) {
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lorvane01"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));

    lorvane::SystemClock clock;
    lorvane::SeededRandomSource random;
    lorvane::Recording picture;
    lorvane::Form1 form(picture, random, clock);
    form.Load();
    return QApplication::exec();
}
