#include "output_folder.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace lorvane {
namespace {

QByteArray Contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

TEST(OutputFolder, AddsANumberRatherThanReplaceAFileAndLeavesNoTemporaryFiles)
{
    const QTemporaryDir dir;
    QFile existing(dir.filePath("T1-1.png"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("old");
    existing.close();

    const OutputFolder folder(dir.path());
    EXPECT_EQ(folder.Problem(), std::nullopt);
    EXPECT_EQ(folder.Save("T1-1", ".png", "second").path, dir.filePath("T1-1-2.png"));
    EXPECT_EQ(folder.Save("T1-1", ".png", "third").path, dir.filePath("T1-1-3.png"));
    EXPECT_EQ(folder.Save("T1-2", ".png", "other").path, dir.filePath("T1-2.png"));

    EXPECT_EQ(Contents(dir.filePath("T1-1.png")), "old");
    EXPECT_EQ(Contents(dir.filePath("T1-1-2.png")), "second");
    EXPECT_EQ(Contents(dir.filePath("T1-1-3.png")), "third");
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"T1-1-2.png", "T1-1-3.png", "T1-1.png", "T1-2.png"}));
}

TEST(OutputFolder, NamesTheFolderAndTheReasonWhenNothingCanBeWritten)
{
    const QTemporaryDir dir;
    QFile file(dir.filePath("file"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    EXPECT_EQ(OutputFolder(dir.filePath("missing")).Problem(),
              "cannot write to folder " + dir.filePath("missing") + ": no such folder");
    EXPECT_EQ(OutputFolder(file.fileName()).Problem(), "cannot write to folder " + file.fileName() + ": not a folder");
    // sysfs refuses new files even to root.
    if (QFileInfo(QStringLiteral("/sys/kernel")).isDir()) {
        EXPECT_EQ(OutputFolder("/sys").Problem(), "cannot write to folder /sys: Permission denied");
        const OutputFolder::Saved saved = OutputFolder("/sys").Save("T1-1", ".png", "bytes");
        EXPECT_TRUE(saved.path.isEmpty());
        EXPECT_EQ(saved.problem, "cannot write to folder /sys: Permission denied");
    }
}

}  // namespace
}  // namespace lorvane
