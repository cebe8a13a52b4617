#pragma once

#include <QWidget>

#include "raster_player.h"
#include "recorded_picture.h"

namespace lorvane {

// The drawing area: holds the picture it shows and that picture as an image at the screen's pixel
// ratio, one device pixel for one image pixel.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    // Plays the picture into the image and asks for a repaint.
    void Show(const RecordedPicture& picture);
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
};

}  // namespace lorvane
