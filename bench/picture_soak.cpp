// Draws many pictures in the real window, pressing "next" as a person would, and reports the
// resident memory after the first picture and after the last.
//
// Usage: lorvane_soak [pictures]   (10000 if not given; needs a display, e.g. under Xvfb)

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QPushButton>

#include "app/form1.h"
#include "platform/seeded_random_source.h"
#include "platform/system_clock.h"
#include "recording/picture_recorder.h"
#include "tests/resident_memory.h"

namespace {

constexpr long kDefaultPictures = 10000;

// In kilobytes, or -1 where /proc cannot tell.
long ResidentKilobytes()
{
    const long bytes = lorvane::testing::ResidentBytes();
    return bytes < 0 ? -1 : bytes / 1024;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const long pictures = argc > 1 ? std::strtol(argv[1], nullptr, 10) : kDefaultPictures;
    if (pictures < 1) {
        std::fprintf(stderr, "lorvane_soak: the number of pictures must be at least 1\n");
        return 2;
    }

    lorvane::SystemClock clock;
    lorvane::SeededRandomSource random;
    lorvane::Form1 form(random, clock);
    form.Load();
    QApplication::processEvents();
    auto* const next = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    if (next == nullptr) {
        std::fprintf(stderr, "lorvane_soak: no \"next\" button\n");
        return 1;
    }
    const long first = ResidentKilobytes();
    for (long i = 0; i < pictures; ++i) {
        next->click();
        // Shows each picture before the next press, as the window does when a person clicks.
        QApplication::processEvents();
    }
    const long last = ResidentKilobytes();
    std::printf("pictures=%ld rss_after_first_kb=%ld rss_after_last_kb=%ld growth_kb=%ld\n", pictures, first, last,
                last - first);
    return 0;
}
