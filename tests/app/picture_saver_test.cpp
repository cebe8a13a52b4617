#include "app/picture_saver.h"

#include <functional>
#include <variant>

#include <gtest/gtest.h>

#include "tests/decoded_image.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QMimeData>
#include <QProcess>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest/QTest>

#include "formats/recipe_file.h"
#include "platform/seeded_random_source.h"
#include "recording/picture_recorder.h"
#include "tests/app/form1_fixture.h"

namespace lorvane {
namespace {

// The window after start-up and two presses of "next": its third picture is shown.
class PictureSaverTest : public testing::Form1Fixture {
protected:
    void SetUp() override
    {
        Form1Fixture::SetUp();
        Next();
        Next();
        shown = Shown().copy();
    }

    // Presses the shortcut; the save dialog that opens is given `name` and `filter`, then accepted.
    void SaveThroughTheDialog(const QString& name, const QString& filter)
    {
        ASSERT_TRUE(testing::Activate(form));
        bool answered = false;
        QTimer answer;
        answer.setSingleShot(true);
        QObject::connect(&answer, &QTimer::timeout, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            dialog->selectNameFilter(filter);
            dialog->selectFile(name);
            QMetaObject::invokeMethod(dialog, "accept");
            answered = true;
        });
        answer.start(0);
        QTest::keySequence(&form, QKeySequence::Save);
        EXPECT_TRUE(answered);
    }

    // lorvane01-render's PNG of the picture whose recipe `path` carries.
    static QImage RenderedFrom(const QString& path, const QStringList& more = {})
    {
        const QTemporaryDir out;
        QProcess render;
        render.start(QStringLiteral(LORVANE01_RENDER),
                     QStringList{QStringLiteral("--from"), path, QStringLiteral("--out"), out.path()} + more);
        render.waitForFinished();
        const QString written = QString::fromUtf8(render.readAllStandardOutput()).trimmed();
        EXPECT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
        return testing::Decoded(written);
    }

    QImage shown;
    QTemporaryDir folder;
};

TEST_F(PictureSaverTest, SavesEachTypeThroughTheDialogWithItsRecipeAndWithoutDrawing)
{
    const std::size_t drawn = random.drawn;
    for (const PictureSaver::Choice& choice : PictureSaver::kChoices) {
        const QString filter = QString::fromUtf8(choice.filter);
        const QDir dir(folder.path());
        // No suffix typed: the chosen type's is added.
        const QString name = dir.filePath(QStringLiteral("kept-%1").arg(static_cast<int>(choice.type)));
        SaveThroughTheDialog(name, filter);
        const QString path = name + QLatin1Char('.') + Suffix(choice.format);
        ASSERT_TRUE(QFile::exists(path)) << filter.toStdString();

        const auto recipe = RecipeReader::Read(QFile::encodeName(path));
        ASSERT_TRUE(std::holds_alternative<Recipe>(recipe)) << filter.toStdString();
        EXPECT_EQ(std::get<Recipe>(recipe).Text(), "seed=33302.25 picture=3 at=20240307090502");

        // Whatever was saved, its recipe makes the same picture again, pixel for pixel.
        EXPECT_EQ(RenderedFrom(path), shown) << filter.toStdString();
        if (choice.type == PictureSaver::SaveAs::Png) {
            EXPECT_EQ(testing::Decoded(path), RenderedFrom(path));
        } else if (choice.type == PictureSaver::SaveAs::LargePng) {
            EXPECT_EQ(testing::Decoded(path), RenderedFrom(path, {QStringLiteral("--scale"), QStringLiteral("4")}));
        }
    }
    EXPECT_EQ(random.drawn, drawn);
    // The next picture is the one it would have been.
    SeededRandomSource untouched;
    untouched.Seed(kSeed);
    untouched.Skip(drawn);
    EXPECT_EQ(random.Next(), untouched.Next());
}

TEST_F(PictureSaverTest, CopyPutsThePictureShownOnTheClipboardAsAPngAndItsRecipeAsText)
{
    QTest::keySequence(Button("Command2"), QKeySequence::Copy);
    const QMimeData* copied = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(copied, nullptr);
    const QImage expected = RasterPlayer().Play(form.Shown().recording);
    EXPECT_EQ(qvariant_cast<QImage>(copied->imageData()).convertToFormat(QImage::Format_RGB32), expected);
    EXPECT_EQ(testing::DecodedPng(copied->data(QStringLiteral("image/png"))), expected);
    EXPECT_EQ(copied->text(), "seed=33302.25 picture=3 at=20240307090502");
}

TEST_F(PictureSaverTest, AFailedSaveNamesTheFileAndLeavesNoFileAndThePictureAsItWas)
{
    const std::size_t drawn = random.drawn;
    const QString path = QDir(folder.path()).filePath(QStringLiteral("gone/kept.png"));
    const std::optional<Problem> problem = form.Saver().Save(path, PictureSaver::SaveAs::Png);
    ASSERT_TRUE(problem.has_value());
    EXPECT_TRUE(problem->message.starts_with(QStringLiteral("Cannot save %1: ").arg(path).toStdString()))
        << problem->message;
    EXPECT_EQ(problem->status, 1);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    EXPECT_EQ(Shown(), shown);
    EXPECT_EQ(random.drawn, drawn);
}

}  // namespace
}  // namespace lorvane
