#include "timage.h"

#include <QMouseEvent>
#include <QPainter>

TImage::TImage(QWidget *parent)
    : QWidget(parent)
{
    // Hover handlers (status-line hints, over pictures) need moves without a button held.
    setMouseTracking(true);
}

void TImage::setPicture(const QPixmap &picture)
{
    FPicture = picture;
    ApplyAutoSize();
    update();
}

void TImage::setAutoSize(bool autoSize)
{
    FAutoSize = autoSize;
    ApplyAutoSize();
}

QSize TImage::sizeHint() const
{
    return FPicture.isNull() ? QWidget::sizeHint() : FPicture.deviceIndependentSize().toSize();
}

void TImage::ApplyAutoSize()
{
    if (FAutoSize && !FPicture.isNull())
        resize(FPicture.deviceIndependentSize().toSize());
}

void TImage::Click()
{
    emit Clicked();
}

void TImage::paintEvent(QPaintEvent *)
{
    if (FPicture.isNull())
        return;
    QPainter painter(this);
    painter.drawPixmap(0, 0, FPicture);
}

void TImage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        FClickPending = true;
    emit MousePressed(event->button(), event->modifiers(), event->position().toPoint());
}

void TImage::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = event->button() == Qt::LeftButton && FClickPending
                       && rect().contains(event->position().toPoint());
    if (event->button() == Qt::LeftButton)
        FClickPending = false;
    emit MouseReleased(event->button(), event->modifiers(), event->position().toPoint());
    if (click)
        Click();
}

void TImage::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() != Qt::NoButton) {
        const bool inside = rect().contains(event->position().toPoint());
        if (inside && !FPointerInside)
            MouseEnter();
        else if (!inside && FPointerInside)
            MouseLeave();
    }
    emit MouseMoved(event->buttons(), event->modifiers(), event->position().toPoint());
}

void TImage::enterEvent(QEnterEvent *)
{
    if (!FPointerInside)
        MouseEnter();
}

void TImage::leaveEvent(QEvent *)
{
    if (FPointerInside)
        MouseLeave();
}

void TImage::MouseEnter()
{
    FPointerInside = true;
    emit MouseEntered();
}

void TImage::MouseLeave()
{
    FPointerInside = false;
    emit MouseLeft();
}
