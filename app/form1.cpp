#include "form1.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QKeySequence>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <utility>
#include <variant>

#include "clock.h"
#include "full_screen_view.h"
#include "picture_box.h"
#include "picture_size.h"
#include "recipe_file.h"

namespace lorvane {

namespace {

constexpr QRect kPicture1Geometry(32, 80, kPictureWidth, kPictureHeight);
constexpr QRect kCommand1Geometry(480, 560, 65, 25);
constexpr QRect kCommand2Geometry(560, 560, 49, 25);
// The controls end at (632, 585); the right and bottom margins match the left one.
constexpr QSize kClientSize(664, 617);

QPushButton* MakeButton(const QString& name, const QString& caption, const QRect& geometry, QWidget* parent)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(name);
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
      clock_(clock),
      sequence_(state_, random, clock),
      picture1_(new PictureBox(this)),
      command1_(MakeButton(QStringLiteral("Command1"), QStringLiteral("next"), kCommand1Geometry, this)),
      command2_(MakeButton(QStringLiteral("Command2"), QStringLiteral("exit"), kCommand2Geometry, this)),
      fullScreen_(new FullScreenView(this)),
      slideshow_(new QTimer(this)),
      saver_([this]() -> const SequencePicture& { return shown_; })
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    resize(kClientSize);
    picture1_->setGeometry(kPicture1Geometry);
    setTabOrder(picture1_, command1_);
    setTabOrder(command1_, command2_);
    connect(command1_, &QPushButton::clicked, this, &Form1::Command1Click);
    connect(command2_, &QPushButton::clicked, this, &Form1::Command2Click);
    AddKeepActions();
    setAcceptDrops(true);
    connect(fullScreen_, &FullScreenView::NextWanted, this, &Form1::Command1Click);
    connect(fullScreen_, &FullScreenView::LeaveWanted, this, &Form1::ToggleFullScreen);
    connect(fullScreen_, &FullScreenView::BackWanted, this, &Form1::Back);
    connect(fullScreen_, &FullScreenView::ForwardWanted, this, &Form1::Forward);
    connect(slideshow_, &QTimer::timeout, this, &Form1::Command1Click);
}

void Form1::AddKeepActions()
{
    // On the drawing area's context menu (right button, Menu key, Shift+F10), and their
    // shortcuts anywhere in the window.
    auto* copy = new QAction(QStringLiteral("Copy picture"), this);
    copy->setShortcut(QKeySequence::Copy);
    connect(copy, &QAction::triggered, this, [this] { saver_.Copy(); });
    auto* save = new QAction(QStringLiteral("Save picture as\u2026"), this);
    save->setShortcut(QKeySequence::Save);
    connect(save, &QAction::triggered, this, [this] { saver_.AskAndSave(this); });
    auto* open = new QAction(QStringLiteral("Open picture\u2026"), this);
    open->setShortcut(QKeySequence::Open);
    connect(open, &QAction::triggered, this, &Form1::AskAndOpen);
    auto* back = new QAction(QStringLiteral("Back"), this);
    back->setShortcuts(QKeySequence::Back);
    connect(back, &QAction::triggered, this, &Form1::Back);
    auto* forward = new QAction(QStringLiteral("Forward"), this);
    forward->setShortcuts(QKeySequence::Forward);
    connect(forward, &QAction::triggered, this, &Form1::Forward);
    auto* fullScreen = new QAction(QStringLiteral("Full screen"), this);
    // F11 everywhere, whatever the desktop's own full-screen keys are.
    QList<QKeySequence> fullScreenKeys = QKeySequence::keyBindings(QKeySequence::FullScreen);
    if (!fullScreenKeys.contains(QKeySequence(Qt::Key_F11))) {
        fullScreenKeys.prepend(QKeySequence(Qt::Key_F11));
    }
    fullScreen->setShortcuts(fullScreenKeys);
    connect(fullScreen, &QAction::triggered, this, &Form1::ToggleFullScreen);
    for (QAction* action : {copy, save, open, back, forward, fullScreen}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        picture1_->addAction(action);
        // Full screen is a window of its own, with the same keys for keeping and opening; it
        // walks the history and leaves by keys of its own.
        if (action != fullScreen && action != back && action != forward) {
            fullScreen_->addAction(action);
        }
    }
    picture1_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void Form1::Load(const std::optional<Recipe>& start)
{
    // Black before the window is first shown, so that it never flashes another colour.
    SetBlackBackground();
    show();
    picture1_->setFocus();
    picture1_->MatchDevicePixelRatio();
    if (QWindow* window = windowHandle()) {
        connect(window, &QWindow::screenChanged, picture1_, &PictureBox::MatchDevicePixelRatio);
    }
    sequence_.Start(clock_.Timer());
    state_.SetCaptions();
    update();
    state_.SetDrawingSize();
    if (start) {
        ShowRecipe(*start);
        GoOnFrom(*start);
        return;
    }
    Show(sequence_.DrawNext());
    history_.Add(shown_.recipe);
}

std::optional<QString> Form1::Open(const QString& path)
{
    const auto read = RecipeReader::Read(QFile::encodeName(path), RecipeReader::SpecialFiles::Refuse);
    if (const auto* problem = std::get_if<RecipeProblem>(&read)) {
        return problem->message;
    }
    const auto& recipe = std::get<Recipe>(read);
    ShowRecipe(recipe);
    GoOnFrom(recipe);
    return std::nullopt;
}

void Form1::ShowRecipe(const Recipe& recipe)
{
    Show(DrawRecipe(recipe));
    history_.Add(recipe);
}

void Form1::GoOnFrom(const Recipe& recipe)
{
    // "next" then draws the picture after it, as the seed's own run would have.
    sequence_.Start(recipe.seed, std::min(recipe.picture + 1, Recipe::kLastPicture));
}

void Form1::AskAndOpen()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("Open picture"), QString(),
                                                      QStringLiteral("Pictures saved by lorvane01 (*.png *.svg *.pdf);;"
                                                                     "All files (*)"));
    if (!path.isEmpty()) {
        OpenAndReport(path);
    }
}

void Form1::OpenAndReport(const QString& path)
{
    if (const std::optional<QString> problem = Open(path)) {
        QMessageBox::warning(this, QStringLiteral("Open picture"), *problem);
    }
}

bool Form1::InFullScreen() const
{
    return fullScreen_->isVisible();
}

void Form1::ToggleFullScreen()
{
    if (InFullScreen()) {
        fullScreen_->hide();
        show();
        activateWindow();
        picture1_->setFocus();
        return;
    }
    // The window steps aside, unchanged, while the picture has the screen.
    hide();
    fullScreen_->Show(shown_.recording);
    fullScreen_->showFullScreen();
    fullScreen_->activateWindow();
    fullScreen_->setFocus();
}

void Form1::StartSlideshow(double seconds)
{
    slideshow_->start(static_cast<int>(seconds * 1000.0));
}

void Form1::Back()
{
    if (const std::optional<Recipe> previous = history_.Back()) {
        Show(DrawRecipe(*previous));
    }
}

void Form1::Forward()
{
    if (const std::optional<Recipe> following = history_.Forward()) {
        Show(DrawRecipe(*following));
    }
}

void Form1::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::BackButton) {
        Back();
    } else if (event->button() == Qt::ForwardButton) {
        Forward();
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
    Show(sequence_.DrawNext());
    history_.Add(shown_.recipe);
}

void Form1::Show(SequencePicture picture)
{
    shown_ = std::move(picture);
    picture1_->Show(shown_.recording);
    if (InFullScreen()) {
        fullScreen_->Show(shown_.recording);
    }
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
