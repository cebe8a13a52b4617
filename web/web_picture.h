#pragma once

#include <cstdint>

// What the web page calls in the WebAssembly core, and what the dump program calls natively, so
// that both get the very same bytes.
//
//     const std::uint8_t* items = lorvane_draw("seed=20798.984 picture=4 at=20261208054638");
//
// The answer, little-endian, lives until the next call:
//     u32 size of the whole answer in bytes, u32 status
//     status 0, drawn: text of the recipe, text of its name ("T20240307090502"), u32 count of
//     the texts a saved PNG carries, then each as two texts, keyword and value; u32 background,
//     u32 item count, then each item:
//         u32 0, i32 left, top, right, bottom, u32 colour             a fill, right and bottom exclusive
//         u32 1, i32 x1, y1, x2, y2, u32 colour                       a line, both ends included
//         u32 2, f64 x, f64 y, i32 lines below, f32 points, u32 colour, text
//     then how the picture paints itself (picture_frames.h): u32 step count, then each step:
//         u32 first item, u32 end item, i32 left, top, right, bottom     the area it can change
//     and u32 milliseconds for each frame, the background first and the finished picture last
//     status 1, refused: text saying why the recipe is wrong
// where a text is a u32 byte count and that many bytes of UTF-8, and a colour is
// red + green * 256 + blue * 65536.
extern "C" {
// Draws the picture a recipe's one-line form names (read strictly, as lorvane01-render --from
// does). The next picture of the last one drawn costs only its drawing; any other starts the
// sequence again, jumping to it.
const std::uint8_t* lorvane_draw(const char* recipe);
}
