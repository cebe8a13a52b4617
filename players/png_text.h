#pragma once

#include <utility>
#include <vector>

#include <QString>

#include "recipe.h"

namespace lorvane {

// The text chunks every PNG of a picture carries, as (keyword, text): its name as the title,
// this program as the software, the picture's time as the creation time, and its recipe.
[[nodiscard]] std::vector<std::pair<QString, QString>> PngText(const Recipe& recipe);

}  // namespace lorvane
