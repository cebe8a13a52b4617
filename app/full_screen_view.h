#pragma once

#include <QTimer>
#include <QWidget>

#include "fitted_picture.h"

namespace lorvane {

// The picture alone on black, filling the screen: played at the largest scale that fits the
// screen's device pixels and centred, so its squares and captions are drawn at that resolution,
// not enlarged. A window of its own, so the normal window's layout never changes.
class FullScreenView : public QWidget {
    Q_OBJECT

public:
    // The mouse cursor hides after this long still.
    static constexpr int kCursorHideMilliseconds = 2000;

    explicit FullScreenView(QWidget* parent = nullptr);

    // Plays the picture for the view's present size and asks for a repaint.
    void Show(const RecordedPicture& picture);
    // The picture as played and where it stands, in device pixels.
    [[nodiscard]] const QImage& Image() const { return picture_.Image(); }
    [[nodiscard]] const PictureFit& Fit() const { return picture_.Fit(); }

signals:
    // Space, Right or a click: draw the next picture.
    void NextWanted();
    // Escape, F11 or closing the view.
    void LeaveWanted();
    // Alt+Left and Alt+Right, or the mouse's back and forward buttons.
    void BackWanted();
    void ForwardWanted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    FittedPicture picture_;
    QTimer cursorTimer_;
};

}  // namespace lorvane
