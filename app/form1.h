#pragma once

#include <optional>

#include <QWidget>

#include "composer.h"
#include "picture_saver.h"
#include "picture_state.h"
#include "recipe.h"

class QPushButton;

namespace lorvane {

class Clock;
class PictureBox;
class RandomSource;
class Recording;

// The program's one window: the drawing area and the "next" and "exit" buttons. It owns the
// picture state; the recording it draws on, the random source and the clock are handed in.
class Form1 : public QWidget {
    Q_OBJECT

public:
    Form1(Recording& picture, RandomSource& random, Clock& clock, QWidget* parent = nullptr);

    // Shows the window, seeds the random source from the time of day and draws the first picture.
    void Load();
    [[nodiscard]] const PictureState& State() const { return state_; }
    // How to make the picture shown again: the seed, its number since start-up and its time.
    [[nodiscard]] std::optional<Recipe> ShownRecipe() const;
    // Copies and saves the picture shown.
    [[nodiscard]] const PictureSaver& Saver() const { return saver_; }

private:
    void Command1Click();
    void Command2Click();
    void SetBlackBackground();
    void AddKeepActions();

    Recording& recording_;
    RandomSource& random_;
    Clock& clock_;
    PictureState state_;
    Composer composer_;
    PictureBox* picture1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    bool ending_ = false;
    // What the shown picture was drawn from.
    float seed_ = 0.0F;
    int pictures_ = 0;
    PictureSaver saver_;
};

}  // namespace lorvane
