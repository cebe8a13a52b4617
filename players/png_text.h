#pragma once

#include "png_encoder.h"
#include "recipe.h"

namespace lorvane {

// The text chunks every PNG of a picture carries, as (keyword, text): its name as the title,
// this program as the software, the picture's time as the creation time, and its recipe.
[[nodiscard]] PngText RecipePngText(const Recipe& recipe);

}  // namespace lorvane
