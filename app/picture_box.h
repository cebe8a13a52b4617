#pragma once

#include <QWidget>

namespace lorvane {

class RasterSurface;

// The drawing area: shows the surface's picture, one device pixel for one image pixel.
class PictureBox : public QWidget {
    Q_OBJECT

public:
    explicit PictureBox(RasterSurface& surface, QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    // Renders the picture again when the screen's pixel density has changed.
    void MatchDevicePixelRatio();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RasterSurface& surface_;
};

}  // namespace lorvane
