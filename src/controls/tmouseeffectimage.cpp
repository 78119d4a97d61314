#include "tmouseeffectimage.h"

#include <QMouseEvent>

TMouseEffectImage::TMouseEffectImage(QWidget *parent)
    : TImage(parent)
{
    setAutoSize(true);
}

void TMouseEffectImage::setOriginPicture(const QPixmap &picture)
{
    FOriginPicture = picture;
    setPicture(FOriginPicture);
}

void TMouseEffectImage::MouseEnter()
{
    setPicture(FOverPicture);
    TImage::MouseEnter();
}

void TMouseEffectImage::MouseLeave()
{
    setPicture(FOriginPicture);
    TImage::MouseLeave();
}

void TMouseEffectImage::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        setPicture(FDownPicture);
    TImage::mousePressEvent(event);
}

void TMouseEffectImage::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && !FRevertOnLeave)
        setPicture(FOriginPicture);
    TImage::mouseReleaseEvent(event);
}
