#include "app/full_screen_view.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QHideEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QShowEvent>

#include "app/fading_note.h"
#include "app/spoken_picture.h"

namespace lorvane {

FullScreenView::FullScreenView(QWidget* parent)
    : QWidget(parent, Qt::Window),
      picture_([this](const QRect& changed) { update(changed); }),
      keys_(new FadingNote(this, Qt::AlignCenter)),
      note_(new FadingNote(this, Qt::AlignTop)),
      actions_(kFullScreenKeys, this, [this](ViewCommand command) { Run(command); })
{
    setObjectName(QStringLiteral("FullScreen"));
    SetAccessibleRole(this, QAccessible::Graphic);
    setWindowTitle(QStringLiteral("Form1"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    keys_->setObjectName(QStringLiteral("Keys"));
    cursorTimer_.setSingleShot(true);
    cursorTimer_.setInterval(kCursorHideMilliseconds);
    connect(&cursorTimer_, &QTimer::timeout, this, [this] { setCursor(Qt::BlankCursor); });
}

void FullScreenView::Show(const RecordedPicture& picture, qint64 from)
{
    picture_.Resize(size(), devicePixelRatioF());
    picture_.Show(picture, from, screen());
    update();
}

void FullScreenView::PaintAgain()
{
    picture_.PaintAgain(screen());
    update();
}

void FullScreenView::ShowNote(const QString& text)
{
    note_->Show(text, kNoteMilliseconds);
}

void FullScreenView::Run(ViewCommand command)
{
    if (command == ViewCommand::ShowKeys) {
        keys_->Show(KeysTable(kFullScreenKeys), kKeysMilliseconds);
        return;
    }
    emit CommandWanted(command);
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

void FullScreenView::mousePressEvent(QMouseEvent* event)
{
    const std::optional<ViewCommand> command = ButtonCommand(kFullScreenKeys, event->button());
    QAction* action = command ? Action(*command) : nullptr;
    if (action == nullptr) {
        QWidget::mousePressEvent(event);
        return;
    }
    // As its keys do: nothing where the command can do nothing.
    if (action->isEnabled()) {
        action->trigger();
    }
}

void FullScreenView::mouseMoveEvent(QMouseEvent* event)
{
    unsetCursor();
    cursorTimer_.start();
    QWidget::mouseMoveEvent(event);
}

void FullScreenView::contextMenuEvent(QContextMenuEvent* event)
{
    unsetCursor();
    QMenu::exec(actions_.Menu(), event->globalPos(), nullptr, this);
}

void FullScreenView::showEvent(QShowEvent* event)
{
    // A mouse left still from the moment the view appears hides too, as in a slideshow.
    unsetCursor();
    cursorTimer_.start();
    QWidget::showEvent(event);
}

void FullScreenView::hideEvent(QHideEvent* event)
{
    picture_.FinishPainting();
    QWidget::hideEvent(event);
}

void FullScreenView::closeEvent(QCloseEvent* event)
{
    // Closed by the window manager: back to the normal window, which stays the program's.
    event->ignore();
    emit CommandWanted(ViewCommand::LeaveFullScreen);
}

}  // namespace lorvane
