#pragma once

#include <QWidget>

#include "app/picture_painting.h"
#include "players/raster_player.h"
#include "recording/recorded_picture.h"

namespace lorvane {

// The drawing area: holds the picture it shows and that picture as an image at the screen's pixel
// ratio, one device pixel for one image pixel.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    // Each picture shown from now on paints itself over `seconds`; none shows it whole at once.
    void PaintOver(std::optional<double> seconds) { painting_.SetSeconds(seconds); }
    // Plays the picture into the image, `from` milliseconds into its painting, and asks for a
    // repaint.
    void Show(const RecordedPicture& picture, qint64 from = 0);
    // The picture shown paints itself again from its background.
    void PaintAgain();
    // Plays what is left of the painting at once.
    void FinishPainting() { painting_.Finish(); }
    // Milliseconds into the painting under way, or PicturePainting::kFinished.
    [[nodiscard]] qint64 PaintedFor() const { return painting_.Elapsed(); }
    // Plays the picture again when the screen's pixel density has changed.
    void MatchDevicePixelRatio();
    [[nodiscard]] const QImage& Image() const { return player_.Image(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    // Shift+F10 opens the context menu, as the Menu key does.
    void keyPressEvent(QKeyEvent* event) override;

private:
    RecordedPicture picture_;
    RasterPlayer player_;
    PicturePainting painting_;
};

}  // namespace lorvane
