#pragma once

#include "timage.h"

// A picture tab with an up and a down look. A completed click flips DownState and shows the
// matching picture before the owner's Clicked handler runs; there is no pressed look.
class TTwoStatesPicButton : public TImage
{
    Q_OBJECT
    Q_PROPERTY(QPixmap UpPicture READ UpPicture WRITE setUpPicture)
    Q_PROPERTY(QPixmap DownPicture READ DownPicture WRITE setDownPicture)
    Q_PROPERTY(bool DownState READ DownState WRITE setDownState)

public:
    explicit TTwoStatesPicButton(QWidget *parent = nullptr);

    QPixmap UpPicture() const { return FUpPicture; }
    // Shows the new up picture at once, whatever the state.
    void setUpPicture(const QPixmap &picture);

    QPixmap DownPicture() const { return FDownPicture; }
    void setDownPicture(const QPixmap &picture) { FDownPicture = picture; }

    bool DownState() const { return FDownState; }
    // Always puts the matching picture in place, also when the state does not change.
    void setDownState(bool down);

    void Click() override;

private:
    bool FDownState = false;
    QPixmap FUpPicture;
    QPixmap FDownPicture;
};
