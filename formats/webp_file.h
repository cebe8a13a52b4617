#pragma once

#include <optional>

#include <QByteArray>

#include "formats/animation.h"
#include "formats/file_metadata.h"
#include "picture/recipe.h"

namespace lorvane {

class AnimationFrames;
class ByteSource;

// WebP holds at most this many pixels each way.
inline constexpr int kLargestWebpSide = 16383;

// A lossless animated WebP of `frames`: the first frame whole, each later one only the part it
// changed (widened to even offsets, as WebP places frames), each shown for its FrameDelays share
// in milliseconds, looping for ever; the recipe in its XMP metadata, as the PDF carries it.
// Plays every frame. Nothing when a frame cannot be encoded or the canvas is too large.
[[nodiscard]] std::optional<QByteArray> WebpFile(AnimationFrames& frames, const AnimationTiming& timing,
                                                 const std::optional<Recipe>& recipe);

// The recipe text a WebP file carries in its XMP chunk, read by walking the file's chunks
// strictly, without decoding a frame: a chunk that runs past the file's end, too many chunks or
// an XMP chunk far longer than lorvane01 writes make it a problem, and a file cut short after
// its recipe still gives it.
[[nodiscard]] FoundRecipe ReadWebpRecipe(ByteSource& source);

}  // namespace lorvane
