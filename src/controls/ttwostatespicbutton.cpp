#include "ttwostatespicbutton.h"

TTwoStatesPicButton::TTwoStatesPicButton(QWidget *parent)
    : TImage(parent)
{
    setAutoSize(true);
}

void TTwoStatesPicButton::setUpPicture(const QPixmap &picture)
{
    FUpPicture = picture;
    setPicture(FUpPicture);
}

void TTwoStatesPicButton::setDownState(bool down)
{
    FDownState = down;
    setPicture(FDownState ? FDownPicture : FUpPicture);
}

void TTwoStatesPicButton::Click()
{
    setDownState(!FDownState);
    TImage::Click();
}
