#include <QApplication>

#include "display_check.h"
#include "form1.h"
#include "raster_surface.h"
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
    lorvane::RasterSurface surface;
    lorvane::Form1 form(surface, random, clock);
    form.Load();
    return QApplication::exec();
}
