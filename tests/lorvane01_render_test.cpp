#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "recipe.h"
#include "recipe_metadata.h"

namespace lorvane {
namespace {

struct Finished {
    int status = -1;
    QString out;
    QString err;
};

// Runs the program in `folder`, where it writes by default.
Finished Lorvane01Render(const QString& folder, const QStringList& arguments)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral(LORVANE01_RENDER), arguments);
    process.waitForFinished();
    return {process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
            QString::fromLocal8Bit(process.readAllStandardError())};
}

QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

TEST(Lorvane01Render, PrintsOneLinePerFileWritten)
{
    const QTemporaryDir dir;
    const Finished run = Lorvane01Render(dir.path(), {"--seed", "1", "--at", "20240307090502", "--pictures", "2"});
    EXPECT_EQ(run.status, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "T20240307090502-1.png\nT20240307090502-2.png\n");
    EXPECT_EQ(Entries(dir.path()), QStringList({"T20240307090502-1.png", "T20240307090502-2.png"}));
}

TEST(Lorvane01Render, BadArgumentsGetTheirLineTheUsageAndStatusTwoAndWriteNothing)
{
    const std::vector<std::pair<QStringList, QString>> cases = {
        {{}, "--seed is required"},
        {{"--seed", "noon"}, "--seed 'noon' is not a number"},
        {{"--seed", "1e40"}, "--seed '1e40' is not a finite single-precision number"},
        {{"--seed", "nan"}, "--seed 'nan' is not a finite single-precision number"},
        {{"--seed", "1", "--pictures", "0"}, "--pictures '0' is not a whole number from 1 to 100000"},
        {{"--seed", "1", "--scale", "9"}, "--scale '9' is not a whole number from 1 to 8"},
        {{"--seed", "1", "--scale", "2.5"}, "--scale '2.5' is not a whole number from 1 to 8"},
        {{"--seed", "1", "--format", "gif"}, "--format 'gif' is not png, svg or pdf"},
        {{"--seed", "1", "--at", "20230229090502"}, "--at '20230229090502' is not a date and time YYYYMMDDhhmmss"},
        {{"--seed", "1", "--at", "202403070905"}, "--at '202403070905' is not a date and time YYYYMMDDhhmmss"},
        {{"--seed", "1", "--out", ""}, "--out needs a folder"},
        {{"--seed", "1", "later"}, "unexpected argument 'later'"},
        {{"--seed", "1", "--colour", "red"}, "Unknown option 'colour'."},
        {{"--seed"}, "Missing value after '--seed'."},
    };
    const QTemporaryDir dir;
    for (const auto& [arguments, message] : cases) {
        const Finished run = Lorvane01Render(dir.path(), arguments);
        EXPECT_EQ(run.status, 2) << message.toStdString();
        EXPECT_TRUE(run.err.contains("lorvane01-render: " + message + "\n\nUsage: ")) << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty());
    }
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

TEST(Lorvane01Render, AFolderThatCannotBeWrittenGetsOneLineAndStatusOne)
{
    const QTemporaryDir dir;
    const Finished run = Lorvane01Render(dir.path(), {"--seed", "1", "--out", "missing"});
    EXPECT_EQ(run.status, 1);
    EXPECT_TRUE(run.err.endsWith("lorvane01-render: cannot write to folder missing: no such folder\n"))
        << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

QByteArray Contents(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

TEST(Lorvane01Render, DrawsTheSamePictureAgainFromTheRecipeInItsFile)
{
    const QTemporaryDir dir;
    ASSERT_EQ(Lorvane01Render(dir.path(), {"--seed", "32702.5", "--at", "20240307090502", "--pictures", "3"}).status, 0);
    // The picture as it will be saved once the writers add its recipe.
    QImage third(dir.filePath("T20240307090502-3.png"));
    third.setText(QString::fromLatin1(RecipeMetadata::kPngRecipeKey.data()),
                  QString::fromStdString(Recipe{32702.5F, 3, "20240307090502"}.Text()));
    ASSERT_TRUE(QDir(dir.path()).mkdir("kept") && third.save(dir.filePath("kept/T20240307090502.png")));

    const Finished again = Lorvane01Render(dir.filePath("kept"), {"--from", "T20240307090502.png", "--pictures", "2"});
    EXPECT_EQ(again.status, 0) << again.err.toStdString();
    EXPECT_EQ(again.out, "T20240307090502-3.png\nT20240307090502-4.png\n");
    EXPECT_EQ(Contents(dir.filePath("kept/T20240307090502-3.png")), Contents(dir.filePath("T20240307090502-3.png")));

    const Finished missing = Lorvane01Render(dir.filePath("kept"), {"--from", "T20240307090503.png"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "lorvane01-render: T20240307090503.png: no such file\n");
    EXPECT_EQ(Entries(dir.filePath("kept")).size(), 3);
}

TEST(Lorvane01Render, AnswersHelpAndVersionOnStandardOutput)
{
    const QTemporaryDir dir;
    const Finished help = Lorvane01Render(dir.path(), {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.contains("--seed <S>"));
    const Finished version = Lorvane01Render(dir.path(), {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "lorvane01-render 1.00\n");
}

}  // namespace
}  // namespace lorvane
