#include "full_screen_view.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>

namespace lorvane {

FullScreenView::FullScreenView(QWidget* parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("FullScreen"));
    setWindowTitle(QStringLiteral("Form1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    cursorTimer_.setSingleShot(true);
    cursorTimer_.setInterval(kCursorHideMilliseconds);
    connect(&cursorTimer_, &QTimer::timeout, this, [this] { setCursor(Qt::BlankCursor); });
}

void FullScreenView::Show(const RecordedPicture& picture)
{
    picture_.Resize(size(), devicePixelRatioF());
    picture_.Show(picture);
    update();
}

void FullScreenView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    picture_.Paint(painter);
}

void FullScreenView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    picture_.Resize(size(), devicePixelRatioF());
    update();
}

void FullScreenView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F11 || event->matches(QKeySequence::FullScreen)) {
        emit LeaveWanted();
    } else if (event->matches(QKeySequence::Back)) {
        emit BackWanted();
    } else if (event->matches(QKeySequence::Forward)) {
        emit ForwardWanted();
    } else if ((event->key() == Qt::Key_Space || event->key() == Qt::Key_Right) &&
               event->modifiers() == Qt::NoModifier) {
        emit NextWanted();
    } else {
        QWidget::keyPressEvent(event);
    }
}

void FullScreenView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        emit NextWanted();
    } else if (event->button() == Qt::BackButton) {
        emit BackWanted();
    } else if (event->button() == Qt::ForwardButton) {
        emit ForwardWanted();
    } else {
        QWidget::mousePressEvent(event);
    }
}

void FullScreenView::mouseMoveEvent(QMouseEvent* event)
{
    unsetCursor();
    cursorTimer_.start();
    QWidget::mouseMoveEvent(event);
}

void FullScreenView::showEvent(QShowEvent* event)
{
    // A mouse left still from the moment the view appears hides too, as in a slideshow.
    unsetCursor();
    cursorTimer_.start();
    QWidget::showEvent(event);
}

void FullScreenView::closeEvent(QCloseEvent* event)
{
    // Closed by the window manager: back to the normal window, which stays the program's.
    event->ignore();
    emit LeaveWanted();
}

}  // namespace lorvane
