#include "picture_saver.h"

#include <algorithm>
#include <memory>
#include <utility>

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QSaveFile>
#include <QStandardPaths>

#include "pdf_player.h"
#include "png_encoder.h"
#include "png_text.h"
#include "raster_player.h"
#include "recording.h"
#include "svg_player.h"

namespace lorvane {

namespace {

constexpr double kLargeScale = 4.0;
constexpr auto kPngMimeType = "image/png";

// The same encoder and text chunks as lorvane01-render's, so a saved PNG is its file byte for byte.
QByteArray Png(const QImage& picture, const std::optional<Recipe>& recipe)
{
    return EncodePng(picture, recipe ? RecipePngText(*recipe) : PngText{}).value_or(QByteArray());
}

}  // namespace

PictureSaver::PictureSaver(const Recording& picture, std::function<std::optional<Recipe>()> recipe)
    : picture_(picture), recipe_(std::move(recipe))
{
}

QByteArray PictureSaver::Contents(FileType type) const
{
    const std::optional<Recipe> recipe = recipe_();
    switch (type) {
    case FileType::Svg:
        return SvgDocument(picture_, 1, recipe);
    case FileType::Pdf:
        return PdfDocument(picture_, recipe);
    case FileType::LargePng:
        return Png(RasterPlayer(kLargeScale).Play(picture_), recipe);
    case FileType::Png:
        break;
    }
    return Png(RasterPlayer().Play(picture_), recipe);
}

void PictureSaver::Copy() const
{
    auto data = std::make_unique<QMimeData>();
    data->setImageData(RasterPlayer().Play(picture_));
    data->setData(QString::fromLatin1(kPngMimeType), Contents(FileType::Png));
    QGuiApplication::clipboard()->setMimeData(data.release());
}

std::optional<QString> PictureSaver::Save(const QString& path, FileType type) const
{
    const auto failure = [&path](const QString& reason) {
        return QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), reason);
    };
    const QByteArray contents = Contents(type);
    if (contents.isEmpty()) {
        return failure(QStringLiteral("the picture could not be encoded"));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() || !file.commit()) {
        return failure(file.errorString());
    }
    return std::nullopt;
}

void PictureSaver::AskAndSave(QWidget* parent) const
{
    QFileDialog dialog(parent, QStringLiteral("Save picture as"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    QStringList filters;
    for (const Choice& choice : kChoices) {
        filters << QString::fromUtf8(choice.filter);
    }
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QString::fromLatin1(kChoices.front().suffix));
    dialog.selectFile(SuggestedPath());
    // The name's suffix follows the type chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& filter) {
        const QString suffix = QString::fromLatin1(kChoices[static_cast<std::size_t>(filters.indexOf(filter))].suffix);
        dialog.setDefaultSuffix(suffix);
        const QString typed = dialog.selectedFiles().value(0);
        if (!typed.isEmpty()) {
            dialog.selectFile(QFileInfo(typed).completeBaseName() + QLatin1Char('.') + suffix);
        }
    });
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return;
    }
    const Choice& choice =
        kChoices[static_cast<std::size_t>(std::max<qsizetype>(0, filters.indexOf(dialog.selectedNameFilter())))];
    QString path = dialog.selectedFiles().constFirst();
    const QString suffix = QString::fromLatin1(choice.suffix);
    // The suffix follows the type chosen: another type's suffix is replaced, anything else kept
    // and the suffix added. The dialog asked about the name it gave, so ask again about another.
    if (const QFileInfo typed(path); typed.suffix().compare(suffix, Qt::CaseInsensitive) != 0) {
        const bool typeSuffix = std::any_of(kChoices.begin(), kChoices.end(), [&typed](const Choice& other) {
            return typed.suffix().compare(QString::fromLatin1(other.suffix), Qt::CaseInsensitive) == 0;
        });
        path = (typeSuffix ? typed.dir().filePath(typed.completeBaseName()) : path) + QLatin1Char('.') + suffix;
        if (QFileInfo::exists(path) &&
            QMessageBox::question(parent, QStringLiteral("Save picture as"),
                                  QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                      .arg(QFileInfo(path).fileName())) != QMessageBox::Yes) {
            return;
        }
    }
    if (const std::optional<QString> problem = Save(path, choice.type)) {
        QMessageBox::warning(parent, QStringLiteral("Save picture as"), *problem);
    }
}

QString PictureSaver::SuggestedPath() const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    const std::optional<Recipe> recipe = recipe_();
    const QString name = recipe ? QString::fromStdString(recipe->Name()) : QStringLiteral("picture");
    return QDir(folder).filePath(name + QLatin1Char('.') + QString::fromLatin1(kChoices.front().suffix));
}

}  // namespace lorvane
