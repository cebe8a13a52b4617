#include "output_folder.h"

#include <QFileInfo>
#include <QTemporaryFile>

namespace lorvane {

namespace {

// Far more files of one name than anyone makes; beyond it something else is wrong.
constexpr int kMostSuffixes = 10000;

// Temporary files are private (0600) while they are written; finished pictures are not.
constexpr QFileDevice::Permissions kFinishedPermissions =
    QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;

// Hidden, and never a name a picture takes.
QString TemporaryName(const QString& stem, const QString& extension)
{
    return QStringLiteral(".%1%2.XXXXXX").arg(stem, extension);
}

}  // namespace

OutputFolder::OutputFolder(const QString& path) : path_(path), dir_(path) {}

std::optional<QString> OutputFolder::Problem() const
{
    const QFileInfo info(path_);
    if (!info.exists()) {
        return Failure(QStringLiteral("no such folder"));
    }
    if (!info.isDir()) {
        return Failure(QStringLiteral("not a folder"));
    }
    QTemporaryFile probe(dir_.filePath(TemporaryName(QStringLiteral("lorvane01-render"), QString())));
    if (!probe.open()) {
        return Failure(probe.errorString());
    }
    return std::nullopt;
}

OutputFolder::Saved OutputFolder::Save(const QString& stem, const QString& extension, const QByteArray& bytes) const
{
    for (int number = 1; number <= kMostSuffixes; ++number) {
        const QString name =
            number == 1 ? stem + extension : QStringLiteral("%1-%2%3").arg(stem).arg(number).arg(extension);
        const QString path = QDir::cleanPath(dir_.filePath(name));
        if (QFileInfo::exists(path)) {
            continue;
        }
        // A finished file gets its name in one step, and that step never replaces a file: when
        // another writer took the name meanwhile, it fails and the next name is tried. A failed
        // rename gives up the temporary file, so each try writes a new one.
        QTemporaryFile file(dir_.filePath(TemporaryName(stem, extension)));
        if (!file.open() || file.write(bytes) != bytes.size() || !file.flush() ||
            !file.setPermissions(kFinishedPermissions)) {
            return {{}, Failure(file.errorString())};
        }
        if (file.rename(path)) {
            file.setAutoRemove(false);
            return {path, {}};
        }
        if (!QFileInfo::exists(path)) {
            return {{}, Failure(file.errorString())};
        }
    }
    return {{}, Failure(QStringLiteral("too many files named %1 already").arg(stem + extension))};
}

QString OutputFolder::Failure(const QString& reason) const
{
    return QStringLiteral("cannot write to folder %1: %2").arg(path_, reason);
}

}  // namespace lorvane
