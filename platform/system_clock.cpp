#include "platform/system_clock.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <ctime>

#include "platform/platform_error.h"

namespace lorvane {

namespace {

std::tm LocalTime(std::time_t when)
{
    std::tm local{};
#if defined(_WIN32)
    const bool ok = localtime_s(&local, &when) == 0;
#else
    const bool ok = localtime_r(&when, &local) != nullptr;
#endif
    if (!ok) {
        throw PlatformError("the local time cannot be read");
    }
    return local;
}

std::tm Now()
{
    return LocalTime(std::chrono::system_clock::to_time_t(std::chrono::system_clock::now()));
}

constexpr int kTmYearBase = 1900;
constexpr int kSecondsPerMinute = 60;
constexpr int kSecondsPerHour = 3600;

}  // namespace

std::string SystemClock::Date()
{
    const std::tm now = Now();
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%02d-%02d-%04d", now.tm_mon + 1, now.tm_mday, now.tm_year + kTmYearBase);
    return text.data();
}

std::string SystemClock::Time()
{
    const std::tm now = Now();
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%02d:%02d:%02d", now.tm_hour, now.tm_min, now.tm_sec);
    return text.data();
}

float SystemClock::Timer()
{
    using namespace std::chrono;
    const auto now = system_clock::now();
    const auto wholeSeconds = floor<seconds>(now);
    const std::tm local = LocalTime(system_clock::to_time_t(wholeSeconds));
    const double fraction = duration<double>(now - wholeSeconds).count();
    return static_cast<float>(local.tm_hour * kSecondsPerHour + local.tm_min * kSecondsPerMinute + local.tm_sec +
                              fraction);
}

}  // namespace lorvane
