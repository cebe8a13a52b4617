#pragma once

#include <cstdint>
#include <string>

#include "picture/captions.h"
#include "picture/palette.h"
#include "platform/picture_size.h"

namespace lorvane {

// The window's variables that the composer reads and writes; they live as long as the window.
// Everything that draws the window's pictures (the window, lorvane01-render, the benchmarks)
// sets them up here, in the window's way.
struct PictureState {
    static constexpr std::int16_t kWidth = kPictureWidth;
    static constexpr std::int16_t kHeight = kPictureHeight;

    // As the window is at start-up, before its first picture.
    [[nodiscard]] static PictureState AtStartUp()
    {
        PictureState state;
        state.SetCaptions();
        state.SetDrawingSize();
        return state;
    }
    // The fixed captions beside each picture's name.
    void SetCaptions()
    {
        tekst1 = kArtistAddress;
        tekst2 = kAttribution;
    }
    void SetDrawingSize()
    {
        sir = kWidth;
        vis = kHeight;
    }

    std::int16_t sir = 0;  // drawing width in pixels
    std::int16_t vis = 0;  // drawing height in pixels
    std::string imeslike;  // picture name: "T" and 14 digits of local date and time
    std::string tekst1;    // middle caption
    std::string tekst2;    // right-hand caption
    float start = 0.0F;    // first palette row of the picture's band
    float poz = 0.0F;      // palette row of the fill being drawn
    Palette palette;
};

}  // namespace lorvane
