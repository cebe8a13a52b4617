#include "formats/file_format.h"

#include "formats/animation.h"

#include <QPainter>

#include "formats/apng_file.h"
#include "formats/gif_file.h"
#include "formats/pdf_file.h"
#include "formats/png_file.h"
#include "formats/svg_file.h"
#include "formats/webp_file.h"
#include "platform/platform_error.h"
#include "players/picture_fit.h"
#include "players/raster_player.h"

namespace lorvane {

QString Suffix(FileFormat format)
{
    switch (format) {
    case FileFormat::Svg:
        return QStringLiteral("svg");
    case FileFormat::Pdf:
        return QStringLiteral("pdf");
    case FileFormat::Png:
        break;
    }
    return QStringLiteral("png");
}

QString Suffix(AnimationFormat format)
{
    switch (format) {
    case AnimationFormat::Webp:
        return QStringLiteral("webp");
    case AnimationFormat::Gif:
        return QStringLiteral("gif");
    case AnimationFormat::Apng:
        break;
    }
    return QStringLiteral("png");
}

std::optional<QByteArray> EncodeFile(const RecordedPicture& picture, FileFormat format, int scale,
                                     const std::optional<Recipe>& recipe)
{
    switch (format) {
    case FileFormat::Svg:
        return SvgFile(picture, scale, recipe);
    case FileFormat::Pdf: {
        QByteArray document = PdfFile(picture, recipe);
        return document.isEmpty() ? std::nullopt : std::optional<QByteArray>(std::move(document));
    }
    case FileFormat::Png:
        break;
    }
    try {
        RasterPlayer player(scale);
        return PngFile(player.Play(picture), scale, recipe);
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

std::optional<QByteArray> EncodeFittedPng(const RecordedPicture& picture, QSize area,
                                          const std::optional<Recipe>& recipe, Framing framing)
{
    const PictureFit fit = FitPicture(area, framing);
    try {
        QImage framed(area, QImage::Format_RGB32);
        if (framed.isNull()) {
            return std::nullopt;
        }
        {
            QPainter painter(&framed);
            PaintOnBlack(painter, framed.rect(), fit.placed, RasterPlayer(fit.scale).Play(picture));
        }
        return PngFile(framed, fit.scale, recipe);
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

std::optional<QByteArray> EncodeFile(const RecordedPicture& picture, FileFormat format, RasterPlayer& player,
                                     const std::optional<Recipe>& recipe)
{
    const auto scale = static_cast<int>(player.Scale());
    if (format != FileFormat::Png) {
        return EncodeFile(picture, format, scale, recipe);
    }
    return PngFile(player.Play(picture), scale, recipe);
}

std::optional<QByteArray> EncodeAnimation(const RecordedPicture& picture, AnimationFormat format,
                                          const AnimationCanvas& canvas, const AnimationTiming& timing,
                                          const std::optional<Recipe>& recipe)
{
    try {
        AnimationFrames frames(picture, canvas);
        switch (format) {
        case AnimationFormat::Webp:
            return WebpFile(frames, timing, recipe);
        case AnimationFormat::Apng:
            return ApngFile(frames, timing, recipe);
        case AnimationFormat::Gif:
            return GifFile(frames, timing, recipe);
        }
        return std::nullopt;
    } catch (const PlatformError&) {
        return std::nullopt;
    }
}

}  // namespace lorvane
