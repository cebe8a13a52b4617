#pragma once

#include <functional>
#include <optional>

#include <QByteArray>
#include <QFuture>
#include <QWidget>

#include "app/picture_history.h"
#include "app/picture_saver.h"
#include "app/view_keys.h"
#include "formats/recipe_file.h"
#include "picture/picture_sequence.h"
#include "picture/picture_state.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QMouseEvent;
class QPushButton;
class QTimer;

namespace lorvane {

class Clock;
class FadingNote;
class FullScreenView;
class PictureBox;
class RandomSource;

// The program's one window: the drawing area and the "next" and "exit" buttons. It owns the
// picture state and the sequence its pictures come from; the random source and the clock are
// handed in.
class Form1 : public QWidget {
    Q_OBJECT

public:
    Form1(RandomSource& random, Clock& clock, QWidget* parent = nullptr);

    // Shows the window, seeds the random source from the time of day and draws the first picture;
    // or, given a saved picture's recipe, shows that picture and goes on from its sequence.
    void Load(const std::optional<Recipe>& start = std::nullopt);
    // What is done with a file that has no sound recipe: one line naming it and the reason.
    using Refusal = std::function<void(const Problem&)>;
    // Shows the window at once with an empty drawing area, and then the picture `path` names, as
    // Open does; no picture of a new sequence is drawn before it.
    void LoadFile(const QByteArray& path, Refusal refused);
    // Reads the recipe a saved file carries in a worker, so that the window keeps answering however
    // large the file; then shows its picture and makes "next" go on from its seed's sequence. A file
    // without a sound recipe changes nothing and goes to `refused`. An open while another is still
    // reading supersedes it: only the latest one's picture or line comes. `path` is taken byte for
    // byte, as the system names files.
    void Open(const QByteArray& path, Refusal refused);
    // Walk the pictures shown since start-up, drawing each again from its recipe. Going back
    // pauses the slideshow, so that a picture a person went back to stays.
    void Back();
    void Forward();
    void First();
    void Newest();
    // Forward, or at the newest picture the next new one, as "next" draws it.
    void ForwardOrNext();
    // F11: the picture alone on the whole screen, or back to this window.
    void ToggleFullScreen();
    [[nodiscard]] bool InFullScreen() const;
    [[nodiscard]] FullScreenView* FullScreen() const { return fullScreen_; }
    // A slideshow: presses "next" every `seconds`. Each picture shown, by the timer or by hand,
    // stays the whole interval.
    void StartSlideshow(double seconds);
    // Each new picture paints itself over `seconds`, step by step, in the window and in full
    // screen; the key for Paint again paints the picture shown again. Before Load, so that the first
    // picture paints too.
    void PaintOver(double seconds);
    // Pauses a running slideshow or resumes a paused one, and says which over the picture.
    void PauseOrResume();
    [[nodiscard]] bool SlideshowPlaying() const;
    // The window's action for a command (for its state), or nullptr.
    [[nodiscard]] QAction* Action(ViewCommand command) const { return actions_.Action(command); }
    [[nodiscard]] const PictureState& State() const { return sequence_.State(); }
    // The picture shown, with its recipe: the seed, its number since start-up and its time.
    [[nodiscard]] const Drawing& Shown() const { return shown_; }
    // Copies and saves the picture shown.
    [[nodiscard]] const PictureSaver& Saver() const { return saver_; }

signals:
    // An open came to its end: its picture is shown or its line given (a superseded one never ends).
    void OpenEnded();

protected:
    // The mouse's back and forward buttons walk the history.
    void mousePressEvent(QMouseEvent* event) override;
    // A file dropped on the window is opened.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void Command1Click();
    void Run(ViewCommand command);
    void RunFromFullScreen(ViewCommand command);
    void SetSlideshowPlaying(bool playing);
    void PaintAgain();
    // The actions' state for where the walk stands and the slideshow.
    void UpdateActions();
    // Shows the recipe's picture; "next" goes on from it.
    void GoTo(const Recipe& recipe);
    void ShowEmpty();
    void AskAndOpen();
    // Opens the file, or shows what is wrong with it in a message.
    Q_INVOKABLE void OpenAndReport(const QString& path);
    void Command2Click();
    void SetBlackBackground();
    void Show(Drawing picture);

    PictureSequence sequence_;
    Drawing shown_;
    PictureHistory history_;
    PictureBox* picture1_ = nullptr;
    QPushButton* command1_ = nullptr;
    QPushButton* command2_ = nullptr;
    FullScreenView* fullScreen_ = nullptr;
    QTimer* slideshow_ = nullptr;
    bool hasSlideshow_ = false;
    bool painting_ = false;
    FadingNote* note_ = nullptr;
    bool ending_ = false;
    PictureSaver saver_;
    ViewActions actions_;
    // The file being read, if any; a newer open cancels it before it starts or drops its answer.
    QFuture<std::variant<Recipe, Problem>> reading_;
    quint64 openNumber_ = 0;
};

}  // namespace lorvane
