#pragma once

#include <QWidget>

#include "picture_saver.h"
#include "picture_sequence.h"
#include "picture_state.h"

class QPushButton;

namespace lorvane {

class Clock;
class PictureBox;
class RandomSource;

// The program's one window: the drawing area and the "next" and "exit" buttons. It owns the
// picture state and the sequence its pictures come from; the random source and the clock are
// handed in.
class Form1 : public QWidget {
    Q_OBJECT

public:
    Form1(RandomSource& random, Clock& clock, QWidget* parent = nullptr);

    // Shows the window, seeds the random source from the time of day and draws the first picture.
    void Load();
    [[nodiscard]] const PictureState& State() const { return state_; }
    // The picture shown, with its recipe: the seed, its number since start-up and its time.
    [[nodiscard]] const SequencePicture& Shown() const { return shown_; }
    // Copies and saves the picture shown.
    [[nodiscard]] const PictureSaver& Saver() const { return saver_; }

private:
    void Command1Click();
    void Command2Click();
    void SetBlackBackground();
    void AddKeepActions();
    void Show(SequencePicture picture);

    Clock& clock_;
    PictureState state_;
    PictureSequence sequence_;
    SequencePicture shown_;
    PictureBox* picture1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    bool ending_ = false;
    PictureSaver saver_;
};

}  // namespace lorvane
