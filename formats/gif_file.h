#pragma once

#include <string_view>

#include <QByteArrayView>

#include "formats/file_metadata.h"

namespace lorvane {

class ByteSource;

// How a GIF of lorvane01 starts: the version that has extensions, where its recipe and timing are.
inline constexpr QByteArrayView kGifSignature = "GIF89a";

// Where an animated GIF keeps its recipe: a comment extension holding this lead and the recipe's
// one-line form, `lorvane01-recipe: seed=32702.5 picture=3 at=20240307090502`, before the frames.
// (EncodeGifAnimation, which writes it, is declared with the other animated files.)
inline constexpr std::string_view kGifRecipeLead = "lorvane01-recipe: ";

// The recipe text a GIF file carries in a comment extension wherever it stands, read by walking
// the blocks strictly: the frames are never decoded, a block that runs past the end or a file with
// more frames or extensions than any picture has is refused, and what is kept stays small however
// long a comment is. A file cut short after its recipe still gives it.
[[nodiscard]] FoundRecipe ReadGifRecipe(ByteSource& source);

}  // namespace lorvane
