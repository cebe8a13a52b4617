#include "render/memory_budget.h"

#include <algorithm>

#include <QFile>
#include <QRegularExpression>

#include "platform/picture_size.h"

namespace lorvane {

namespace {

// When the memory available cannot be read: enough for two pictures of the largest --fit.
constexpr std::uint64_t kDefaultBudget = std::uint64_t{4096} * kMebibyte;

}  // namespace

std::uint64_t PictureBytes(const RenderOptions& options)
{
    if (options.format != FileFormat::Png) {
        return 0;
    }
    constexpr std::uint64_t bytesPerPixel = 4;
    if (options.fit) {
        return static_cast<std::uint64_t>(options.fit->width()) * static_cast<std::uint64_t>(options.fit->height()) *
               bytesPerPixel;
    }
    const auto scale = static_cast<std::uint64_t>(options.scale);
    return std::uint64_t{kPictureWidth} * scale * std::uint64_t{kPictureHeight} * scale * bytesPerPixel;
}

int JobsWithinMemory(int jobs, std::uint64_t pictureBytes, std::uint64_t budget)
{
    if (pictureBytes == 0) {
        return jobs;
    }
    const std::uint64_t pictures = budget / pictureBytes;
    if (pictures < 2) {
        return 1;
    }
    return static_cast<int>(std::min<std::uint64_t>(static_cast<std::uint64_t>(jobs), pictures - 1));
}

std::optional<std::uint64_t> AvailableMemory()
{
    QFile meminfo(QStringLiteral("/proc/meminfo"));
    if (!meminfo.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    // A few kilobytes: the file is read in one piece, and no more than that.
    constexpr qint64 kMostRead = qint64{64} * 1024;
    static const QRegularExpression available(QStringLiteral(R"((?:^|\n)MemAvailable:\s+([0-9]{1,15}) kB\n)"));
    const QRegularExpressionMatch match = available.match(QString::fromLatin1(meminfo.read(kMostRead)));
    if (!match.hasMatch()) {
        return std::nullopt;
    }
    constexpr std::uint64_t kibibyte = 1024;
    return match.captured(1).toULongLong() * kibibyte;
}

std::optional<QString> KeepJobsWithinMemory(RenderOptions& options)
{
    const std::uint64_t budget =
        options.memory ? *options.memory * kMebibyte : AvailableMemory().value_or(kDefaultBudget);
    const std::uint64_t pictureBytes = PictureBytes(options);
    const int jobs = JobsWithinMemory(options.jobs, pictureBytes, budget);
    if (jobs == options.jobs) {
        return std::nullopt;
    }
    const QString line = QStringLiteral(
                             "--jobs %1 lowered to %2: each picture in hand takes %3 MiB, and %4 MiB of "
                             "memory holds %5")
                             .arg(options.jobs)
                             .arg(jobs)
                             .arg((pictureBytes + kMebibyte - 1) / kMebibyte)
                             .arg(budget / kMebibyte)
                             .arg(budget / pictureBytes);
    options.jobs = jobs;
    return line;
}

}  // namespace lorvane
