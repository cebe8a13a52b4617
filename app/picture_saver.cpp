#include "app/picture_saver.h"

#include <algorithm>
#include <memory>

#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QMimeData>
#include <QSaveFile>
#include <QStandardPaths>

#include "players/raster_player.h"

namespace lorvane {

namespace {

constexpr auto kPngMimeType = "image/png";

const PictureSaver::Choice& ChoiceOf(PictureSaver::SaveAs type)
{
    return *std::find_if(PictureSaver::kChoices.begin(), PictureSaver::kChoices.end(),
                         [type](const PictureSaver::Choice& choice) { return choice.type == type; });
}

}  // namespace

PictureSaver::PictureSaver(const Drawing& shown) : shown_(shown) {}

QByteArray PictureSaver::Contents(SaveAs type) const
{
    // The same bytes as lorvane01-render's files.
    const Choice& choice = ChoiceOf(type);
    const Drawing& shown = shown_;
    return EncodeFile(shown.recording, choice.format, choice.scale, shown.recipe).value_or(QByteArray());
}

void PictureSaver::Copy() const
{
    auto data = std::make_unique<QMimeData>();
    data->setImageData(RasterPlayer().Play(shown_.recording));
    data->setData(QString::fromLatin1(kPngMimeType), Contents(SaveAs::Png));
    // A text editor gets the recipe line, which draws the picture again.
    if (const std::optional<Recipe>& recipe = shown_.recipe) {
        data->setText(QString::fromStdString(recipe->Text()));
    }
    QGuiApplication::clipboard()->setMimeData(data.release());
}

std::optional<Problem> PictureSaver::Save(const QString& path, SaveAs type) const
{
    const auto failure = [&path](const QString& reason) {
        return Problem{QStringLiteral("Cannot save %1: %2").arg(QDir::toNativeSeparators(path), reason).toStdString(),
                       Problem::kFailed};
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
    dialog.setDefaultSuffix(Suffix(kChoices.front().format));
    dialog.selectFile(SuggestedPath());
    // The name's suffix follows the type chosen.
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog, filters](const QString& filter) {
        const QString suffix = Suffix(kChoices[static_cast<std::size_t>(filters.indexOf(filter))].format);
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
    const QString suffix = Suffix(choice.format);
    // The suffix follows the type chosen: another type's suffix is replaced, anything else kept
    // and the suffix added. The dialog asked about the name it gave, so ask again about another.
    if (const QFileInfo typed(path); typed.suffix().compare(suffix, Qt::CaseInsensitive) != 0) {
        const bool typeSuffix = std::any_of(kChoices.begin(), kChoices.end(), [&typed](const Choice& other) {
            return typed.suffix().compare(Suffix(other.format), Qt::CaseInsensitive) == 0;
        });
        path = (typeSuffix ? typed.dir().filePath(typed.completeBaseName()) : path) + QLatin1Char('.') + suffix;
        if (QFileInfo::exists(path) &&
            QMessageBox::question(parent, QStringLiteral("Save picture as"),
                                  QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                      .arg(QFileInfo(path).fileName())) != QMessageBox::Yes) {
            return;
        }
    }
    if (const std::optional<Problem> problem = Save(path, choice.type)) {
        QMessageBox::warning(parent, QStringLiteral("Save picture as"), QString::fromStdString(problem->message));
    }
}

QString PictureSaver::SuggestedPath() const
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir()) {
        folder = QDir::homePath();
    }
    const std::optional<Recipe>& recipe = shown_.recipe;
    const QString name = recipe ? QString::fromStdString(recipe->Name()) : QStringLiteral("picture");
    return QDir(folder).filePath(name + QLatin1Char('.') + Suffix(kChoices.front().format));
}

}  // namespace lorvane
