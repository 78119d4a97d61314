#include "tlabel.h"

#include <QMouseEvent>

TLabel::TLabel(QWidget *parent)
    : QLabel(parent)
{
    setMouseTracking(true);
}

void TLabel::setAutoSize(bool autoSize)
{
    FAutoSize = autoSize;
    if (FAutoSize)
        adjustSize();
}

QColor TLabel::FontColor() const
{
    return palette().color(QPalette::WindowText);
}

void TLabel::setFontColor(const QColor &color)
{
    QPalette colors = palette();
    colors.setColor(QPalette::WindowText, color);
    setPalette(colors);
}

void TLabel::setCaption(const QString &text)
{
    setText(text);
    if (FAutoSize)
        adjustSize();
}

void TLabel::showEvent(QShowEvent *event)
{
    // The form gives each label a design size; the shown label fits its text, font and all.
    if (FAutoSize)
        adjustSize();
    QLabel::showEvent(event);
}

void TLabel::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        FClickPending = true;
    QLabel::mousePressEvent(event);
    // QLabel lets presses through to its parent; this one is ours, and the release must come back.
    event->accept();
}

void TLabel::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = event->button() == Qt::LeftButton && FClickPending
                       && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        FClickPending = false;
    QLabel::mouseReleaseEvent(event);
    if (click)
        emit Clicked();
}

void TLabel::mouseMoveEvent(QMouseEvent *event)
{
    emit MouseMoved(event->buttons(), event->modifiers(), event->position().toPoint());
    QLabel::mouseMoveEvent(event);
}

void TLabel::leaveEvent(QEvent *event)
{
    emit MouseLeft();
    QLabel::leaveEvent(event);
}
