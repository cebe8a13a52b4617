// Walks the window's history to watch its memory: 100 pictures, then on to 10,000, then 10,000
// steps back, each picture drawn again from its recipe. The history keeps recipes, not images,
// so resident memory after all that must be within 2 MB of what it was after 100 pictures.
//
// Usage: lorvane_history_soak   (status 1 when the goal is missed; QT_QPA_PLATFORM=offscreen works)

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>

#include <QApplication>
#include <QPushButton>

#include "app/form1.h"
#include "platform/seeded_random_source.h"
#include "platform/system_clock.h"

namespace {

constexpr int kFirstPictures = 100;
constexpr int kPictures = 10000;
constexpr long kGoalKilobytes = 2048;

// VmRSS from /proc/self/status, in kilobytes.
long ResidentKilobytes()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            long kilobytes = 0;
            status >> kilobytes;
            return kilobytes;
        }
        status.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return -1;
}

}  // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    lorvane::SystemClock clock;
    lorvane::SeededRandomSource random;
    lorvane::Form1 form(random, clock);
    form.Load();
    auto* const next = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    const auto press = [next](int times) {
        for (int i = 0; i < times; ++i) {
            next->click();
            QApplication::processEvents();
        }
    };
    press(kFirstPictures - 1);
    const long after100 = ResidentKilobytes();
    press(kPictures - kFirstPictures);
    for (int step = 0; step < kPictures; ++step) {
        form.Back();
        QApplication::processEvents();
    }
    const long afterWalk = ResidentKilobytes();
    const long growth = afterWalk - after100;
    std::printf("rss_after_100_kb=%ld rss_after_10000_and_10000_back_kb=%ld growth_kb=%ld goal_kb=%ld %s\n", after100,
                afterWalk, growth, kGoalKilobytes, std::labs(growth) <= kGoalKilobytes ? "met" : "MISSED");
    return std::labs(growth) <= kGoalKilobytes ? 0 : 1;
}
