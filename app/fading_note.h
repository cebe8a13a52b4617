#pragma once

#include <QLabel>
#include <QPropertyAnimation>
#include <QTimer>

class QGraphicsOpacityEffect;

namespace lorvane {

// A word or a short table over a view, on a dark box, that fades away by itself: the slideshow's
// "Paused" and "Playing", and the full-screen view's keys. It takes no focus and no clicks, and
// keeps its place in the parent (at the top or in the middle) when the parent changes size.
class FadingNote : public QLabel {
    Q_OBJECT

public:
    static constexpr int kFadeMilliseconds = 400;

    // `alignment` is Qt::AlignTop or Qt::AlignCenter, within the parent.
    FadingNote(QWidget* parent, Qt::Alignment alignment);

    // Shows `text` (plain, or rich text such as a table) for `milliseconds`, then fades it out.
    void Show(const QString& text, int milliseconds);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Place();

    Qt::Alignment alignment_;
    QGraphicsOpacityEffect* opacity_;
    QTimer hold_;
    QPropertyAnimation fade_;
};

}  // namespace lorvane
