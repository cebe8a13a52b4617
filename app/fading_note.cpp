#include "app/fading_note.h"

#include <algorithm>

#include <QEvent>
#include <QGraphicsOpacityEffect>

namespace lorvane {

FadingNote::FadingNote(QWidget* parent, Qt::Alignment alignment)
    : QLabel(parent), alignment_(alignment), opacity_(new QGraphicsOpacityEffect(this)), fade_(opacity_, "opacity")
{
    setObjectName(QStringLiteral("Note"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(QStringLiteral("color: white; background-color: rgba(0, 0, 0, 215); border-radius: 8px;"));
    setGraphicsEffect(opacity_);
    hide();
    hold_.setSingleShot(true);
    connect(&hold_, &QTimer::timeout, &fade_, [this] { fade_.start(); });
    fade_.setDuration(kFadeMilliseconds);
    fade_.setStartValue(1.0);
    fade_.setEndValue(0.0);
    connect(&fade_, &QPropertyAnimation::finished, this, &QWidget::hide);
    parent->installEventFilter(this);
}

void FadingNote::Show(const QString& text, int milliseconds)
{
    fade_.stop();
    opacity_->setOpacity(1.0);
    setText(text);
    Place();
    show();
    raise();
    hold_.start(milliseconds);
}

bool FadingNote::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == parent() && event->type() == QEvent::Resize && isVisible()) {
        Place();
    }
    return QLabel::eventFilter(watched, event);
}

void FadingNote::Place()
{
    const QSize area = parentWidget()->size();
    // Readable from a sofa on a large screen, and still small in the window's drawing area; a
    // single word larger than a table.
    const bool word = (alignment_ & Qt::AlignTop) != 0;
    QFont larger = font();
    larger.setPixelSize(std::clamp(area.height() / (word ? 18 : 40), 13, word ? 48 : 28));
    setFont(larger);
    const int margin = larger.pixelSize() / 2;
    setContentsMargins(margin, margin / 2, margin, margin / 2);
    adjustSize();
    const int left = (area.width() - width()) / 2;
    const int top = word ? area.height() / 12 : (area.height() - height()) / 2;
    move(left, top);
}

}  // namespace lorvane
