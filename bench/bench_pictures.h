#pragma once

#include <array>

#include "picture/picture_sequence.h"
#include "picture/recipe.h"
#include "recording/recorded_picture.h"

namespace lorvane {

// Every benchmark cycles through the same pictures, so that their times compare.
constexpr std::array<float, 8> kBenchSeeds = {0.0F, 1.5F, 3600.25F, 32767.5F, 43210.75F, 50000.0F, 71999.5F, 86399.0F};

// The first picture of `seed`, named 09:05:02 on 7 March 2024, as the window draws it.
inline RecordedPicture BenchPicture(float seed)
{
    return DrawRecipe(Recipe{seed, 1, "20240307090502"}).recording;
}

}  // namespace lorvane
