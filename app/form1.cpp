#include "form1.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "clock.h"
#include "picture_box.h"
#include "picture_size.h"
#include "random_source.h"
#include "recording.h"

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

}  // namespace

Form1::Form1(Recording& picture, RandomSource& random, Clock& clock, QWidget* parent)
    : QWidget(parent),
      recording_(picture),
      random_(random),
      clock_(clock),
      composer_(state_, picture, random, clock),
      picture1_(new PictureBox(picture, this)),
      command1_(MakeButton(QStringLiteral("Command1"), QStringLiteral("next"), kCommand1Geometry, this)),
      command2_(MakeButton(QStringLiteral("Command2"), QStringLiteral("exit"), kCommand2Geometry, this)),
      saver_(picture, [this] { return ShownRecipe(); })
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
}

std::optional<Recipe> Form1::ShownRecipe() const
{
    return RecipeOfPicture(seed_, pictures_, state_.imeslike);
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
    for (QAction* action : {copy, save}) {
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action);
        picture1_->addAction(action);
    }
    picture1_->setContextMenuPolicy(Qt::ActionsContextMenu);
}

void Form1::Load()
{
    // Black before the window is first shown, so that it never flashes another colour.
    SetBlackBackground();
    show();
    picture1_->setFocus();
    picture1_->MatchDevicePixelRatio();
    if (QWindow* window = windowHandle()) {
        connect(window, &QWindow::screenChanged, picture1_, &PictureBox::MatchDevicePixelRatio);
    }
    seed_ = clock_.Timer();
    random_.Seed(seed_);
    state_.SetCaptions();
    update();
    state_.SetDrawingSize();
    composer_.DrawPicture();
    ++pictures_;
    picture1_->ShowRecording();
}

void Form1::Command1Click()
{
    if (ending_) {
        return;
    }
    recording_.Cls();
    update();
    composer_.DrawPicture();
    ++pictures_;
    picture1_->ShowRecording();
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
