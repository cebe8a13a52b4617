#include "form1.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

#include "clock.h"
#include "picture_size.h"
#include "picture_box.h"
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
      command2_(MakeButton(QStringLiteral("Command2"), QStringLiteral("exit"), kCommand2Geometry, this))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Form1"));
    resize(kClientSize);
    picture1_->setGeometry(kPicture1Geometry);
    setTabOrder(picture1_, command1_);
    setTabOrder(command1_, command2_);
    connect(command1_, &QPushButton::clicked, this, &Form1::Command1Click);
    connect(command2_, &QPushButton::clicked, this, &Form1::Command2Click);
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
    random_.Seed(clock_.Timer());
    state_.SetCaptions();
    update();
    state_.SetDrawingSize();
    composer_.DrawPicture();
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
