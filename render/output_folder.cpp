#include "render/output_folder.h"
#include "platform/system_calls.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include <QDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace lorvane {

namespace {

// Far more files of one name than anyone makes; beyond it something else is wrong.
constexpr int kMostSuffixes = 10000;

// Staged files are private (0600, as mkstemp makes them) while they are written; finished
// pictures are not.
constexpr mode_t kFinishedPermissions = S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH;

QString Reason(int error)
{
    return QString::fromStdString(ErrorText(error));
}

// Hidden, and never a name a picture takes.
QByteArray TemporaryName(const QString& stem, const QString& extension)
{
    return QStringLiteral(".%1%2.XXXXXX").arg(stem, extension).toLocal8Bit();
}

// Creates a private file from `pattern` (ending in XXXXXX, replaced), open for writing.
int CreateStaged(QByteArray& pattern)
{
    return mkostemp(pattern.data(), O_CLOEXEC);
}

// Gives `from` the name `to` unless `to` names anything already: then EEXIST.
int LinkWithoutReplacing(const QByteArray& from, const QByteArray& to)
{
    if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    if (errno != EINVAL && errno != ENOSYS) {
        return errno;
    }
    // A file system that cannot rename without replacing: a hard link fails on any taken name.
    if (link(from.constData(), to.constData()) != 0) {
        return errno;
    }
    unlink(from.constData());
    return 0;
}

}  // namespace

OutputFolder::OutputFolder(QByteArray path) : path_(std::move(path)) {}

OutputFolder::Made OutputFolder::MakeIfMissing()
{
    struct stat info {};
    if (stat(path_.constData(), &info) == 0 || errno != ENOENT) {
        return {};
    }
    // Each folder on the way, from the outermost: "a", "a/b", "a/b/c" for "a/b/c".
    QList<QByteArray> way;
    for (qsizetype end = path_.indexOf('/', 1); end != -1; end = path_.indexOf('/', end + 1)) {
        way << path_.left(end);
    }
    way << path_;
    for (const QByteArray& folder : way) {
        // An empty step, as in "a//b" or "prints/".
        if (folder.endsWith('/')) {
            continue;
        }
        if (mkdir(folder.constData(), S_IRWXU | S_IRWXG | S_IRWXO) == 0) {
            made_ << folder;
            continue;
        }
        int error = errno;
        if (error == EEXIST && stat(folder.constData(), &info) == 0 && S_ISDIR(info.st_mode)) {
            continue;
        }
        error = error == EEXIST ? ENOTDIR : error;
        RemoveMade();
        return {false, Problem{QStringLiteral("cannot make folder %1: %2")
                                   .arg(QString::fromLocal8Bit(path_), Reason(error))
                                   .toStdString(),
                               Problem::kFailed}};
    }
    return {!made_.isEmpty(), std::nullopt};
}

void OutputFolder::RemoveMade()
{
    while (!made_.isEmpty()) {
        rmdir(made_.takeLast().constData());
    }
}

std::optional<Problem> OutputFolder::Unwritable() const
{
    struct stat info {};
    if (stat(path_.constData(), &info) != 0) {
        return Failure(errno == ENOENT ? QStringLiteral("no such folder") : Reason(errno));
    }
    if (!S_ISDIR(info.st_mode)) {
        return Failure(QStringLiteral("not a folder"));
    }
    QByteArray probe = PathOf(QString::fromLocal8Bit(TemporaryName(QStringLiteral("lorvane01-render"), QString())));
    const int descriptor = CreateStaged(probe);
    if (descriptor < 0) {
        return Failure(Reason(errno));
    }
    close(descriptor);
    unlink(probe.constData());
    return std::nullopt;
}

OutputFolder::Saved OutputFolder::Stage(const QString& stem, const QString& extension, const QByteArray& bytes) const
{
    QByteArray staged = PathOf(QString::fromLocal8Bit(TemporaryName(stem, extension)));
    const int descriptor = CreateStaged(staged);
    if (descriptor < 0) {
        return {{}, Failure(Reason(errno))};
    }
    int error = WriteAll(descriptor, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    if (error == 0 && fchmod(descriptor, kFinishedPermissions) != 0) {
        error = errno;
    }
    // Some file systems report a full disk only when the file is closed.
    if (close(descriptor) != 0 && error == 0 && errno != EINTR) {
        error = errno;
    }
    if (error != 0) {
        unlink(staged.constData());
        return {{}, Failure(Reason(error))};
    }
    return {staged, std::nullopt};
}

OutputFolder::Saved OutputFolder::Publish(const QByteArray& staged, const QString& stem, const QString& extension) const
{
    for (int number = 1; number <= kMostSuffixes; ++number) {
        const QString name =
            number == 1 ? stem + extension : QStringLiteral("%1-%2%3").arg(stem).arg(number).arg(extension);
        const QByteArray path = PathOf(name);
        const int error = LinkWithoutReplacing(staged, path);
        if (error == 0) {
            return {path, std::nullopt};
        }
        if (error != EEXIST) {
            Discard(staged);
            return {{}, Failure(Reason(error))};
        }
    }
    Discard(staged);
    return {{}, Failure(QStringLiteral("too many files named %1 already").arg(stem + extension))};
}

void OutputFolder::Discard(const QByteArray& staged)
{
    unlink(staged.constData());
}

QByteArray OutputFolder::PathOf(const QString& name) const
{
    // Tidied as Qt tidies paths, unless that would lose bytes of a name that is not UTF-8.
    const QString folder = QString::fromLocal8Bit(path_);
    if (folder.toLocal8Bit() == path_) {
        return QDir::cleanPath(folder + QLatin1Char('/') + name).toLocal8Bit();
    }
    return path_ + '/' + name.toLocal8Bit();
}

Problem OutputFolder::Failure(const QString& reason) const
{
    return {QStringLiteral("cannot write to folder %1: %2").arg(QString::fromLocal8Bit(path_), reason).toStdString(),
            Problem::kFailed};
}

}  // namespace lorvane
