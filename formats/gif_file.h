#pragma once

#include <optional>
#include <string_view>

#include <QByteArray>
#include <QByteArrayView>

#include "formats/animation.h"
#include "formats/file_metadata.h"
#include "picture/recipe.h"

namespace lorvane {

class AnimationFrames;
class ByteSource;

// How a GIF of lorvane01 starts: the version that has extensions, where its recipe and timing are.
inline constexpr QByteArrayView kGifSignature = "GIF89a";

// Where an animated GIF keeps its recipe: a comment extension holding this lead and the recipe's
// one-line form, `lorvane01-recipe: seed=32702.5 picture=3 at=20240307090502`, before the frames.
inline constexpr std::string_view kGifRecipeLead = "lorvane01-recipe: ";

// An animated GIF of `frames` on their canvas, looping for ever, each frame shown for its
// FrameDelays share in centiseconds: the first whole, each later one only what it changed, in
// pieces of at most 255 colours of their own (the captions' frame in columns, left to right, the
// pieces before its last shown for no time); the recipe in a comment before the frames. Nothing
// when the timing or the canvas is too large for a GIF.
[[nodiscard]] std::optional<QByteArray> GifFile(AnimationFrames& frames, const AnimationTiming& timing,
                                                const std::optional<Recipe>& recipe);

// The recipe text a GIF file carries in a comment extension wherever it stands, read by walking
// the blocks strictly: the frames are never decoded, a block that runs past the end or a file with
// more frames or extensions than any picture has is refused, and what is kept stays small however
// long a comment is. A file cut short after its recipe still gives it.
[[nodiscard]] FoundRecipe ReadGifRecipe(ByteSource& source);

}  // namespace lorvane
