#include <clocale>
#include <regex>
#include <string>

#include <QDate>
#include <QString>

#include <gtest/gtest.h>

#include "platform/system_clock.h"

namespace lorvane {
namespace {

TEST(SystemClock, DateIsTodayAndTimeIsFixedWidthWhateverTheLocale)
{
    // The test runs on one thread; the locale is what is under test.
    std::setlocale(LC_ALL, "");  // NOLINT(concurrency-mt-unsafe)
    SystemClock clock;
    // Read between two independent readings, in case the date changes meanwhile.
    const QString before = QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy"));
    const QString date = QString::fromStdString(clock.Date());
    const QString after = QDate::currentDate().toString(QStringLiteral("MM-dd-yyyy"));
    EXPECT_TRUE(date == before || date == after) << date.toStdString() << ", today " << before.toStdString();
    const std::regex time(R"(([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9])");
    EXPECT_TRUE(std::regex_match(clock.Time(), time)) << clock.Time();
    std::setlocale(LC_ALL, "C");  // NOLINT(concurrency-mt-unsafe)
}

TEST(SystemClock, TimerCountsSecondsSinceLocalMidnight)
{
    SystemClock clock;
    const std::string before = clock.Time();
    const float timer = clock.Timer();
    const std::string after = clock.Time();
    EXPECT_GE(timer, 0.0F);
    EXPECT_LT(timer, 86400.0F);
    const auto seconds = [](const std::string& t) {
        return std::stoi(t.substr(0, 2)) * 3600 + std::stoi(t.substr(3, 2)) * 60 + std::stoi(t.substr(6, 2));
    };
    if (before == after) {  // not across a second boundary
        EXPECT_EQ(static_cast<int>(timer), seconds(before));
    }
}

}  // namespace
}  // namespace lorvane
