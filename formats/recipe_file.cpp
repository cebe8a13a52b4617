#include "recipe_file.h"

#include <optional>

#include <QByteArray>
#include <QFile>
#include <QFileInfo>

#include "pdf_file.h"
#include "png_file.h"
#include "svg_file.h"

namespace lorvane {

namespace {

constexpr QByteArrayView kPngSignature = "\x89PNG\r\n\x1a\n";
constexpr QByteArrayView kPdfSignature = "%PDF-";
constexpr QByteArrayView kUtf8Mark = "\xEF\xBB\xBF";

}  // namespace

std::variant<Recipe, RecipeProblem> RecipeReader::Read(const QString& path)
{
    const auto fileProblem = [&path](const QString& what) {
        return RecipeProblem{QStringLiteral("%1: %2").arg(path, what), RecipeProblem::Cause::File};
    };
    const auto systemProblem = [&path](const QString& reason) {
        return RecipeProblem{QStringLiteral("%1: cannot read it: %2").arg(path, reason), RecipeProblem::Cause::System};
    };

    const QFileInfo info(path);
    if (info.isDir()) {
        return fileProblem(QStringLiteral("is a folder, not a picture"));
    }
    // Opening a FIFO would wait for a writer, and a device never ends.
    if (info.exists() && !info.isFile()) {
        return fileProblem(QStringLiteral("is not a regular file, not a picture"));
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (!info.exists()) {
            return fileProblem(QStringLiteral("no such file"));
        }
        return systemProblem(file.errorString());
    }
    const QString tooLarge = QStringLiteral("is larger than %1 MiB; no picture saved by lorvane01 is")
                                 .arg(kLargestFile / (qint64{1024} * 1024));
    if (file.size() > kLargestFile) {
        return fileProblem(tooLarge);
    }
    QByteArray bytes = file.read(kLargestFile + 1);
    if (file.error() != QFileDevice::NoError) {
        return systemProblem(file.errorString());
    }
    if (bytes.size() > kLargestFile) {
        return fileProblem(tooLarge);
    }
    if (bytes.isEmpty()) {
        return fileProblem(QStringLiteral("is empty"));
    }

    FoundRecipe found;
    if (bytes.startsWith(kPngSignature)) {
        found = ReadPngRecipe(bytes);
    } else if (bytes.startsWith(kPdfSignature)) {
        found = ReadPdfRecipe(bytes);
    } else if (QByteArrayView(bytes)
                   .sliced(bytes.startsWith(kUtf8Mark) ? kUtf8Mark.size() : 0)
                   .trimmed()
                   .startsWith('<')) {
        found = ReadSvgRecipe(bytes);
    } else {
        found.problem = QStringLiteral("is not a PNG, SVG or PDF file");
    }
    if (!found.problem.isEmpty()) {
        return fileProblem(found.problem);
    }
    if (!found.text) {
        return fileProblem(QStringLiteral("has no recipe; it is not a picture saved by lorvane01"));
    }
    auto parsed = ParseRecipe(found.text->toStdString());
    if (const auto* error = std::get_if<RecipeError>(&parsed)) {
        return fileProblem(QStringLiteral("its recipe is damaged: %1").arg(QString::fromStdString(error->message)));
    }
    return std::get<Recipe>(std::move(parsed));
}

}  // namespace lorvane
