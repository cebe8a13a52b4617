#pragma once

#include <QTimer>
#include <QWidget>

#include "app/fitted_player.h"
#include "app/view_keys.h"

class QAction;

namespace lorvane {

class FadingNote;

// The picture alone on black, filling the screen: played at the largest scale that fits the
// screen's device pixels and centred, so its squares and captions are drawn at that resolution,
// not enlarged. A window of its own, so the normal window's layout never changes. Its keys, mouse
// buttons and right-click menu are those of kFullScreenKeys; it lists them itself on ? or F1 and
// hands every other command to its owner.
class FullScreenView : public QWidget {
    Q_OBJECT

public:
    // The mouse cursor hides after this long still.
    static constexpr int kCursorHideMilliseconds = 2000;
    // How long the keys and a note stay before they fade.
    static constexpr int kKeysMilliseconds = 5000;
    static constexpr int kNoteMilliseconds = 1200;

    explicit FullScreenView(QWidget* parent = nullptr);

    // Plays the picture for the view's present size, `from` milliseconds into its painting, and
    // asks for a repaint.
    void Show(const RecordedPicture& picture, qint64 from = 0);
    // Each picture shown from now on paints itself over `seconds`; none shows it whole at once.
    void PaintOver(std::optional<double> seconds) { picture_.PaintOver(seconds); }
    // The picture shown paints itself again from its background.
    void PaintAgain();
    // Milliseconds into the painting under way, or PicturePainting::kFinished.
    [[nodiscard]] qint64 PaintedFor() const { return picture_.PaintedFor(); }
    // A brief word over the picture, such as "Paused".
    void ShowNote(const QString& text);
    // The command's action (for its state and words), or nullptr; the right-click menu's actions.
    [[nodiscard]] QAction* Action(ViewCommand command) const { return actions_.Action(command); }
    [[nodiscard]] QList<QAction*> MenuActions() const { return actions_.Menu(); }
    // The picture as played and where it stands, in device pixels.
    [[nodiscard]] const QImage& Image() const { return picture_.Image(); }
    [[nodiscard]] const PictureFit& Fit() const { return picture_.Fit(); }

signals:
    // A key, a mouse button or the menu asks for `command`; closing the view asks to leave it.
    void CommandWanted(ViewCommand command);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    // A painting under way finishes: hidden, it would only cost time.
    void hideEvent(QHideEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Run(ViewCommand command);

    FittedPlayer picture_;
    QTimer cursorTimer_;
    FadingNote* keys_;
    FadingNote* note_;
    ViewActions actions_;
};

}  // namespace lorvane
