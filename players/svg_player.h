#pragma once

class QXmlStreamWriter;

namespace lorvane {

class RecordedPicture;

// Plays a picture as SVG elements in a 600 x 450 user space, shown `scale` (1 to 16) times as large,
// that look like the raster player's picture at that scale: the background and the fills become
// <rect> elements, other lines <line>, and text <text> with its baseline where the raster player
// puts it. Writes into the open root element of `xml`. Needs a running QGuiApplication for the
// text's measurements.
void PlaySvg(const RecordedPicture& picture, int scale, QXmlStreamWriter& xml);

}  // namespace lorvane
