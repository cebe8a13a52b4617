#include "app/form1.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QFutureWatcher>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <utility>
#include <variant>

#include "app/fading_note.h"
#include "app/full_screen_view.h"
#include "app/picture_box.h"
#include "app/picture_painting.h"
#include "app/spoken_picture.h"
#include "formats/recipe_file.h"
#include "platform/clock.h"
#include "platform/picture_size.h"

namespace lorvane {

namespace {

constexpr QRect kPicture1Geometry(32, 80, kPictureWidth, kPictureHeight);
constexpr QRect kCommand1Geometry(480, 560, 65, 25);
constexpr QRect kCommand2Geometry(560, 560, 49, 25);
// The controls end at (632, 585); the right and bottom margins match the left one.
constexpr QSize kClientSize(664, 617);

// The caption is the button's accessible name; the description says what it does.
QPushButton* MakeButton(const QString& name, const QString& caption, const QString& description, const QRect& geometry,
                        QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
    button->setAccessibleDescription(description);
    button->setGeometry(geometry);
    // Enter and Escape do nothing of their own: neither button is a default button.
    button->setAutoDefault(false);
    button->setDefault(false);
    return button;
}

// The one local file a drag carries, or nothing.
QString DraggedFile(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().size() != 1 || !data->urls().constFirst().isLocalFile()) {
        return {};
    }
    return data->urls().constFirst().toLocalFile();
}

}  // namespace

Form1::Form1(RandomSource& random, Clock& clock, QWidget* parent)
    : QWidget(parent),
      sequence_(random, clock),
      picture1_(new PictureBox(this)),
      command1_(MakeButton(QStringLiteral("Command1"), QStringLiteral("next"), QStringLiteral("Draws a new picture"),
                           kCommand1Geometry, this)),
      command2_(MakeButton(QStringLiteral("Command2"), QStringLiteral("exit"), QStringLiteral("Ends the program"),
                           kCommand2Geometry, this)),
      fullScreen_(new FullScreenView(this)),
      slideshow_(new QTimer(this)),
      note_(new FadingNote(picture1_, Qt::AlignTop)),
      saver_(shown_),
      actions_(kWindowKeys, this, [this](ViewCommand command) { Run(command); })
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    SetAccessibleRole(this, QAccessible::Window);
    setAccessibleDescription(QStringLiteral("lorvane01: abstract pictures, one at a time"));
    resize(kClientSize);
    picture1_->setGeometry(kPicture1Geometry);
    setTabOrder(picture1_, command1_);
    setTabOrder(command1_, command2_);
    connect(command1_, &QPushButton::clicked, this, &Form1::Command1Click);
    connect(command2_, &QPushButton::clicked, this, &Form1::Command2Click);
    // The drawing area's context menu (right button, Menu key, Shift+F10); the keys work anywhere
    // in the window.
    picture1_->addActions(actions_.Menu());
    picture1_->setContextMenuPolicy(Qt::ActionsContextMenu);
    setAcceptDrops(true);
    connect(fullScreen_, &FullScreenView::CommandWanted, this, &Form1::RunFromFullScreen);
    slideshow_->setObjectName(QStringLiteral("Slideshow"));
    connect(slideshow_, &QTimer::timeout, this, &Form1::Command1Click);
    UpdateActions();
}

void Form1::Run(ViewCommand command)
{
    // Dialogs belong to the view on the screen.
    QWidget* shown = InFullScreen() ? static_cast<QWidget*>(fullScreen_) : this;
    switch (command) {
    case ViewCommand::Copy:
        saver_.Copy();
        break;
    case ViewCommand::Save:
        saver_.AskAndSave(shown);
        break;
    case ViewCommand::Open:
        AskAndOpen();
        break;
    case ViewCommand::Back:
        Back();
        break;
    case ViewCommand::Forward:
        Forward();
        break;
    case ViewCommand::First:
        First();
        break;
    case ViewCommand::Newest:
        Newest();
        break;
    case ViewCommand::PauseOrResume:
        PauseOrResume();
        break;
    case ViewCommand::PaintAgain:
        PaintAgain();
        break;
    case ViewCommand::ToggleFullScreen:
    case ViewCommand::LeaveFullScreen:
        ToggleFullScreen();
        break;
    case ViewCommand::ShowKeys:
        break;
    }
}

void Form1::RunFromFullScreen(ViewCommand command)
{
    // Full screen goes on past the newest picture, as image viewers' slideshows do.
    if (command == ViewCommand::Forward) {
        ForwardOrNext();
    } else {
        Run(command);
    }
}

void Form1::Load(const std::optional<Recipe>& start)
{
    ShowEmpty();
    if (start) {
        GoTo(*start);
        return;
    }
    Drawing first = sequence_.DrawNext();
    history_.Add(first.recipe);
    Show(std::move(first));
}

void Form1::LoadFile(const QByteArray& path, Refusal refused)
{
    ShowEmpty();
    Open(path, std::move(refused));
}

void Form1::ShowEmpty()
{
    // Black before the window is first shown, so that it never flashes another colour.
    SetBlackBackground();
    show();
    picture1_->setFocus();
    picture1_->MatchDevicePixelRatio();
    if (QWindow* window = windowHandle()) {
        connect(window, &QWindow::screenChanged, picture1_, &PictureBox::MatchDevicePixelRatio);
    }
    sequence_.StartAtTimeOfDay();
    update();
}

void Form1::Open(const QByteArray& path, Refusal refused)
{
    // A read not yet started never starts; one under way ends unheard.
    reading_.cancel();
    const quint64 number = ++openNumber_;
    reading_ = QtConcurrent::run([path] { return RecipeReader::Read(path, RecipeReader::SpecialFiles::Refuse); });
    auto* watcher = new QFutureWatcher<std::variant<Recipe, Problem>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, number, refused = std::move(refused)] {
        watcher->deleteLater();
        if (number != openNumber_) {
            return;
        }
        const std::variant<Recipe, Problem> read = watcher->result();
        if (const auto* problem = std::get_if<Problem>(&read)) {
            refused(*problem);
        } else {
            const auto& recipe = std::get<Recipe>(read);
            GoTo(recipe);
        }
        emit OpenEnded();
    });
    watcher->setFuture(reading_);
}

void Form1::GoTo(const Recipe& recipe)
{
    // "next" then draws the picture after it, as the seed's own run would have.
    sequence_.GoTo(recipe);
    history_.Add(recipe);
    Show(sequence_.DrawNext());
}

void Form1::AskAndOpen()
{
    QWidget* shown = InFullScreen() ? static_cast<QWidget*>(fullScreen_) : this;
    const QString path = QFileDialog::getOpenFileName(shown, QStringLiteral("Open picture"), QString(),
                                                      QStringLiteral("Pictures saved by lorvane01 (*.png *.svg *.pdf);;"
                                                                     "All files (*)"));
    if (!path.isEmpty()) {
        OpenAndReport(path);
    }
}

void Form1::OpenAndReport(const QString& path)
{
    Open(QFile::encodeName(path), [this](const Problem& problem) {
        QMessageBox::warning(this, QStringLiteral("Open picture"), QString::fromStdString(problem.message));
    });
}

bool Form1::InFullScreen() const
{
    return fullScreen_->isVisible();
}

void Form1::ToggleFullScreen()
{
    // A picture painting itself goes on where it stands in the other view.
    if (InFullScreen()) {
        const qint64 painted = fullScreen_->PaintedFor();
        fullScreen_->hide();
        if (painted != PicturePainting::kFinished) {
            picture1_->Show(shown_.recording, painted);
        }
        show();
        activateWindow();
        picture1_->setFocus();
        return;
    }
    // The window steps aside, unchanged, while the picture has the screen.
    const qint64 painted = picture1_->PaintedFor();
    picture1_->FinishPainting();
    hide();
    fullScreen_->Show(shown_.recording, painted);
    fullScreen_->showFullScreen();
    fullScreen_->activateWindow();
    fullScreen_->setFocus();
}

void Form1::StartSlideshow(double seconds)
{
    hasSlideshow_ = true;
    slideshow_->setInterval(static_cast<int>(seconds * 1000.0));
    SetSlideshowPlaying(true);
}

bool Form1::SlideshowPlaying() const
{
    return slideshow_->isActive();
}

void Form1::PaintOver(double seconds)
{
    picture1_->PaintOver(seconds);
    fullScreen_->PaintOver(seconds);
    painting_ = true;
    UpdateActions();
}

void Form1::PaintAgain()
{
    if (InFullScreen()) {
        fullScreen_->PaintAgain();
    } else {
        picture1_->PaintAgain();
    }
}

void Form1::PauseOrResume()
{
    if (!hasSlideshow_) {
        return;
    }
    const bool playing = !SlideshowPlaying();
    SetSlideshowPlaying(playing);
    const QString word = playing ? QStringLiteral("Playing") : QStringLiteral("Paused");
    if (InFullScreen()) {
        fullScreen_->ShowNote(word);
    } else {
        note_->Show(word, FullScreenView::kNoteMilliseconds);
    }
}

void Form1::SetSlideshowPlaying(bool playing)
{
    if (playing) {
        slideshow_->start();
    } else {
        slideshow_->stop();
    }
    UpdateActions();
}

void Form1::Back()
{
    if (const std::optional<Recipe> previous = history_.Back()) {
        if (SlideshowPlaying()) {
            PauseOrResume();
        }
        Show(DrawRecipe(*previous));
    }
}

void Form1::First()
{
    if (const std::optional<Recipe> first = history_.First()) {
        if (SlideshowPlaying()) {
            PauseOrResume();
        }
        Show(DrawRecipe(*first));
    }
}

void Form1::Forward()
{
    if (const std::optional<Recipe> following = history_.Forward()) {
        Show(DrawRecipe(*following));
    }
}

void Form1::Newest()
{
    if (const std::optional<Recipe> newest = history_.Newest()) {
        Show(DrawRecipe(*newest));
    }
}

void Form1::ForwardOrNext()
{
    if (history_.CanGoForward()) {
        Forward();
    } else {
        Command1Click();
    }
}

void Form1::UpdateActions()
{
    const bool back = history_.CanGoBack();
    const bool forward = history_.CanGoForward();
    actions_.Action(ViewCommand::Back)->setEnabled(back);
    actions_.Action(ViewCommand::Forward)->setEnabled(forward);
    fullScreen_->Action(ViewCommand::Back)->setEnabled(back);
    fullScreen_->Action(ViewCommand::First)->setEnabled(back);
    fullScreen_->Action(ViewCommand::Newest)->setEnabled(forward);
    // Forward in full screen always does something: at the newest picture it draws a new one.
    const QString pause = hasSlideshow_ && !SlideshowPlaying() ? QStringLiteral("Resume slideshow")
                                                               : CommandText(ViewCommand::PauseOrResume);
    for (QAction* action :
         {actions_.Action(ViewCommand::PauseOrResume), fullScreen_->Action(ViewCommand::PauseOrResume)}) {
        action->setText(pause);
        action->setEnabled(hasSlideshow_);
    }
    // The window's menu offers it only while there is a slideshow; it has no key there.
    actions_.Action(ViewCommand::PauseOrResume)->setVisible(hasSlideshow_);
    // Without painting, Paint again is in neither menu and its key does nothing.
    for (QAction* action : {actions_.Action(ViewCommand::PaintAgain), fullScreen_->Action(ViewCommand::PaintAgain)}) {
        action->setVisible(painting_);
        action->setEnabled(painting_);
    }
}

void Form1::mousePressEvent(QMouseEvent* event)
{
    const std::optional<ViewCommand> command = ButtonCommand(kWindowKeys, event->button());
    if (command) {
        Run(*command);
    } else {
        QWidget::mousePressEvent(event);
    }
}

void Form1::dragEnterEvent(QDragEnterEvent* event)
{
    if (!DraggedFile(event->mimeData()).isEmpty()) {
        event->acceptProposedAction();
    }
}

void Form1::dropEvent(QDropEvent* event)
{
    const QString path = DraggedFile(event->mimeData());
    if (path.isEmpty()) {
        return;
    }
    event->acceptProposedAction();
    // Once the drag is over, so that a message does not hold the program it came from.
    QMetaObject::invokeMethod(this, "OpenAndReport", Qt::QueuedConnection, Q_ARG(QString, path));
}

void Form1::Command1Click()
{
    if (ending_) {
        return;
    }
    // The sequence clears the drawing area before it draws.
    update();
    Drawing next = sequence_.DrawNext();
    history_.Add(next.recipe);
    Show(std::move(next));
}

void Form1::Show(Drawing picture)
{
    shown_ = std::move(picture);
    // Both views, so that full screen is described before it opens.
    const SpokenPicture spoken = SpeakPicture(shown_.recipe);
    Describe(picture1_, spoken);
    Describe(fullScreen_, spoken);
    // A picture painting itself is replaced at once: only the view on the screen paints.
    if (InFullScreen()) {
        picture1_->Show(shown_.recording, PicturePainting::kFinished);
        fullScreen_->Show(shown_.recording);
    } else {
        picture1_->Show(shown_.recording);
    }
    // A picture shown by hand gets the whole interval too.
    if (SlideshowPlaying()) {
        slideshow_->start();
    }
    UpdateActions();
}

void Form1::Command2Click()
{
    // Presses already queued behind "exit" must not draw any more.
    ending_ = true;
    QCoreApplication::exit(0);
}

void Form1::SetBlackBackground()
{
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);
    setAutoFillBackground(true);
}

}  // namespace lorvane
