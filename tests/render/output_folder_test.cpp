#include "render/output_folder.h"

#include <gtest/gtest.h>

#include <functional>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include "tests/files.h"

namespace lorvane {
namespace {

using testing::Contents;
using testing::Written;

QByteArray Bytes(const QString& path)
{
    return QFile::encodeName(path);
}

TEST(OutputFolder, SkipsEveryTakenNameAndLeavesNoTemporaryFiles)
{
    // Whatever takes the name: the new file gets the next one, and nothing taken is touched.
    const std::vector<std::pair<const char*, std::function<bool(const QString&)>>> takers = {
        {"a file", [](const QString& path) { return Contents(Written(path, "old")) == "old"; }},
        {"a folder", [](const QString& path) { return QDir().mkdir(path); }},
        {"a link that leads nowhere", [](const QString& path) { return QFile::link("nowhere", path); }},
    };
    for (const auto& [what, take] : takers) {
        const QTemporaryDir dir;
        ASSERT_TRUE(take(dir.filePath("T1-1.png"))) << what;
        ASSERT_TRUE(take(dir.filePath("T1-1-2.png"))) << what;
        const QFileInfo before(dir.filePath("T1-1.png"));

        const OutputFolder folder(Bytes(dir.path()));
        EXPECT_EQ(folder.Unwritable(), std::nullopt) << what;
        const OutputFolder::Saved staged = folder.Stage("T1-1", ".png", "new");
        ASSERT_EQ(staged.problem, std::nullopt) << what;
        const OutputFolder::Saved saved = folder.Publish(staged.path, "T1-1", ".png");
        EXPECT_EQ(saved.problem, std::nullopt) << what;
        EXPECT_EQ(saved.path, Bytes(dir.filePath("T1-1-3.png"))) << what;
        EXPECT_EQ(Contents(dir.filePath("T1-1-3.png")), "new") << what;
        EXPECT_EQ(QFileInfo(dir.filePath("T1-1.png")).lastModified(), before.lastModified()) << what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList({"T1-1-2.png", "T1-1-3.png", "T1-1.png"}))
            << what;
    }
    // Only the plain name taken: the first suffix is -2.
    const QTemporaryDir dir;
    ASSERT_TRUE(takers.front().second(dir.filePath("T1-1.png")));
    const OutputFolder folder(Bytes(dir.path()));
    EXPECT_EQ(folder.Publish(folder.Stage("T1-1", ".png", "new").path, "T1-1", ".png").path,
              Bytes(dir.filePath("T1-1-2.png")));
}

TEST(OutputFolder, NamesTheFolderAndTheReasonWhenNothingCanBeWritten)
{
    const QTemporaryDir dir;
    const QString file = Written(dir.filePath("file"), {});

    // Each a failure of the system's: exit status 1.
    const auto failure = [](const QString& message) { return Problem{message.toStdString(), Problem::kFailed}; };
    EXPECT_EQ(OutputFolder(Bytes(dir.filePath("missing"))).Unwritable(),
              failure("cannot write to folder " + dir.filePath("missing") + ": no such folder"));
    EXPECT_EQ(OutputFolder(Bytes(file)).Unwritable(), failure("cannot write to folder " + file + ": not a folder"));
    // sysfs refuses new files even to root.
    if (QFileInfo(QStringLiteral("/sys/kernel")).isDir()) {
        EXPECT_EQ(OutputFolder("/sys").Unwritable(), failure("cannot write to folder /sys: Permission denied"));
        const OutputFolder::Saved saved = OutputFolder("/sys").Stage("T1-1", ".png", "bytes");
        EXPECT_TRUE(saved.path.isEmpty());
        EXPECT_EQ(saved.problem, failure("cannot write to folder /sys: Permission denied"));
    }
}

}  // namespace
}  // namespace lorvane
