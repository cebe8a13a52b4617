#pragma once

namespace lorvane {

// The drawing area, in pixels: every output of a picture starts from this size.
constexpr int kPictureWidth = 600;
constexpr int kPictureHeight = 450;

}  // namespace lorvane
