#pragma once

#include <cstdint>
#include <optional>

#include <QByteArray>
#include <QSize>

#include "formats/file_format.h"
#include "picture/recipe.h"
#include "platform/fixed_clock.h"

namespace lorvane {

// What lorvane01-render has been asked to draw and where to put it.
struct RenderOptions {
    static constexpr int kMostPictures = 100000;
    // --scale: files up to 4800 x 3600; RasterPlayer itself plays up to its kLargestScale.
    static constexpr int kMostScale = 8;
    static constexpr int kLastPicture = Recipe::kLastPicture;
    static constexpr int kMostJobs = 256;
    // --memory in MiB, up to a pebibyte.
    static constexpr int kMostMemory = 1 << 30;
    // --duration in seconds.
    static constexpr double kShortestPainting = 1.0;
    static constexpr double kLongestPainting = 60.0;
    // --fit from 600 x 450 (scale 1) to this each way.
    static constexpr int kLargestFit = 16384;

    // Seeds the random source as the window seeds it from the time of day.
    float seed = 0.0F;
    // The number of the first picture in the seed's sequence; those before it are skipped.
    int first = 1;
    int pictures = 1;
    // The clock the pictures are named after; without it, the computer's.
    std::optional<FixedClock> at;
    // Device pixels per picture pixel, each way.
    int scale = 1;
    // Frames each picture in this many device pixels, played at the largest scale that fits
    // and centred on black (PNG only); none for the picture's own size at `scale`.
    std::optional<QSize> fit;
    // With `fit`: the picture covers the area, played at the smallest scale that does, centred and
    // cropped, as wallpaper tools fill a screen.
    bool fill = false;
    FileFormat format = FileFormat::Png;
    // --animate: each picture as an animated file of it painting itself, in place of a still.
    std::optional<AnimationFormat> animation;
    // How long each picture paints itself (--duration) and how long it then stays.
    AnimationTiming timing;
    // As the system spells it, which need not be UTF-8.
    QByteArray folder = QByteArrayLiteral(".");
    // Threads that make and write the files.
    int jobs = 1;
    // The memory the pictures in hand may take, in MiB (--memory); none for what the machine has
    // available. Lowers `jobs` when they would not fit.
    std::optional<std::uint64_t> memory;
};

}  // namespace lorvane
