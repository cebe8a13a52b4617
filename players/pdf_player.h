#pragma once

class QPainter;
class QRect;

namespace lorvane {

class RecordedPicture;

// Plays a picture onto a painter whose units are picture pixels, such as a PDF page at 96 dots per
// inch: the background over all of `page`, fills as filled rectangles, other lines as stroked
// lines, and the captions as real text in the caption font, where the raster player puts them at
// scale 1. Needs a running QGuiApplication.
void PlayPdf(const RecordedPicture& picture, QPainter& painter, const QRect& page);

}  // namespace lorvane
