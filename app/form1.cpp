#include "form1.h"

#include <QAction>
#include <QCoreApplication>
#include <QKeySequence>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include <utility>

#include "clock.h"
#include "picture_box.h"
#include "picture_size.h"

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

Form1::Form1(RandomSource& random, Clock& clock, QWidget* parent)
    : QWidget(parent),
      clock_(clock),
      sequence_(state_, random, clock),
      picture1_(new PictureBox(this)),
      command1_(MakeButton(QStringLiteral("Command1"), QStringLiteral("next"), kCommand1Geometry, this)),
      command2_(MakeButton(QStringLiteral("Command2"), QStringLiteral("exit"), kCommand2Geometry, this)),
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
    sequence_.Start(clock_.Timer());
    state_.SetCaptions();
    update();
    state_.SetDrawingSize();
    Show(sequence_.DrawNext());
}

void Form1::Command1Click()
{
    if (ending_) {
        return;
    }
    // The sequence clears the drawing area before it draws.
    update();
    Show(sequence_.DrawNext());
}

void Form1::Show(SequencePicture picture)
{
    shown_ = std::move(picture);
    picture1_->Show(shown_.recording);
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
