#pragma once

#include <optional>

#include <QByteArray>
#include <QSize>
#include <QString>

#include "formats/animation.h"
#include "formats/animation_frames.h"
#include "picture/recipe.h"
#include "players/picture_fit.h"

namespace lorvane {

class RasterPlayer;
class RecordedPicture;

enum class FileFormat { Png, Svg, Pdf };
enum class AnimationFormat { Webp, Apng, Gif };

// The file name suffix of a format, without the dot: "png", "svg" or "pdf"; an animation's
// "webp", "png" (an animated PNG opens wherever a PNG does) or "gif".
[[nodiscard]] QString Suffix(FileFormat format);
[[nodiscard]] QString Suffix(AnimationFormat format);

// The bytes of a picture's file, carrying its recipe when it has one: a PNG of the picture played
// at `scale` (1 to 16), an SVG shown `scale` times as large, or a PDF of 600 x 450 pixels at 96
// dpi (whatever the scale). Nothing when the picture cannot be played or encoded. Thread-safe;
// needs a running QGuiApplication. The window's Save and Copy and lorvane01-render all write
// through here, so their files are the same byte for byte.
[[nodiscard]] std::optional<QByteArray> EncodeFile(const RecordedPicture& picture, FileFormat format, int scale,
                                                   const std::optional<Recipe>& recipe);
// The same, a PNG's picture played on `player`, whose scale (a whole number) is the file's: a
// thread that makes many files keeps one image, instead of a new one (66 MiB at scale 8) each.
[[nodiscard]] std::optional<QByteArray> EncodeFile(const RecordedPicture& picture, FileFormat format,
                                                   RasterPlayer& player, const std::optional<Recipe>& recipe);

// The PNG of a picture framed in `area` device pixels (at least 600 x 450) by FitPicture: fitted,
// at the largest scale that fits and centred on black, as full screen shows it; or filled, at the
// smallest scale that covers it, centred and cropped. Nothing when it cannot be played or encoded.
[[nodiscard]] std::optional<QByteArray> EncodeFittedPng(const RecordedPicture& picture, QSize area,
                                                        const std::optional<Recipe>& recipe,
                                                        Framing framing = Framing::Fit);

// The animated file of a picture painting itself on `canvas`. Nothing when it cannot be played or
// encoded, or for a format not built in. Thread-safe; needs a running QGuiApplication.
[[nodiscard]] std::optional<QByteArray> EncodeAnimation(const RecordedPicture& picture, AnimationFormat format,
                                                        const AnimationCanvas& canvas, const AnimationTiming& timing,
                                                        const std::optional<Recipe>& recipe);

}  // namespace lorvane
