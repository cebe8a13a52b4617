#pragma once

#include <cstdint>
#include <string>

#include "palette.h"

namespace lorvane {

// The window's variables that the composer reads and writes; they live as long as the window.
struct PictureState {
    static constexpr std::int16_t kWidth = 600;
    static constexpr std::int16_t kHeight = 450;

    std::int16_t sir = 0;   // drawing width in pixels
    std::int16_t vis = 0;   // drawing height in pixels
    std::string imeslike;   // picture name: "T" and 14 digits of local date and time
    std::string tekst1;     // middle caption
    std::string tekst2;     // right-hand caption
    float start = 0.0F;     // first palette row of the picture's band
    float poz = 0.0F;       // palette row of the fill being drawn
    Palette palette;
};

}  // namespace lorvane
