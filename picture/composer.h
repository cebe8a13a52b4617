#pragma once

#include "platform/checked_random_source.h"
#include "platform/colour.h"

namespace lorvane {

class Clock;
class Surface;
struct PictureState;

// Composes one picture on the drawing area: palette, name, background, 200 squares, captions.
class Composer {
public:
    // The random values one picture draws, always: the n-th picture of a seed starts after
    // (n - 1) times this many.
    static constexpr int kDrawsPerPicture = 809;
    static constexpr int kSquares = 200;

    Composer(PictureState& state, Surface& picture1, RandomSource& random, Clock& clock);

    // Draws 809 random values. Every step, and every line inside the loops, is guarded on its
    // own: an error drops only that step, which leaves what it would have set unchanged.
    void DrawPicture() noexcept;
    // Prints the name and the two captions along the bottom edge. Unguarded: an error ends it.
    void WriteCaptions();

private:
    // The palette colour of a row, each channel rounded halves to even.
    [[nodiscard]] Colour ColourOfRow(float row) const;
    void NamePicture();
    void DrawColumns(float left, float right, float top, float bottom, Colour colour) noexcept;

    PictureState& state_;
    Surface& picture1_;
    // Every value the palette and the picture draw is checked, so a faulty source fails a step.
    CheckedRandomSource random_;
    Clock& clock_;
};

}  // namespace lorvane
