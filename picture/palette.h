#pragma once

#include <array>

namespace lorvane {

class RandomSource;

// The colour table of one picture: rows 0 to 1000, each a red, green and blue value from 0 to
// 252 that changes smoothly from row to row.
class Palette {
public:
    static constexpr int kRows = 1001;

    struct Row {
        double red = 0.0;
        double green = 0.0;
        double blue = 0.0;
    };

    // Both raise PlatformError for a row outside 0 to 1000 (or NaN); never a read past the table.
    [[nodiscard]] Row At(float row) const;
    void Set(int row, Row value);

private:
    std::array<Row, kRows> rows_{};
};

// Fills every row of `palette` from three sinusoids with random periods and starting points.
// Draws exactly six values from `random`.
void MakePalette(Palette& palette, RandomSource& random);

}  // namespace lorvane
