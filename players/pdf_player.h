#pragma once

#include <QByteArray>

namespace lorvane {

class Recording;

// Plays a recording as a one-page vector PDF the size of the picture, 600 x 450 pixels at 96 dots
// per inch (450 x 337.5 points, which the page rounds to 450 x 338): fills become filled
// rectangles, other lines stroked lines, and the captions real, selectable text in the caption
// font, where the raster player puts them at scale 1. Needs a running QGuiApplication.
QByteArray PdfDocument(const Recording& recording);

}  // namespace lorvane
