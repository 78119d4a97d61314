#pragma once

#include "timage.h"

// A button drawn entirely from pictures: the origin picture at rest, the over picture while the
// pointer is over it, the down picture while the left button is held on it. The look changes
// before any handler of the owner runs. With RevertOnLeave off the release shows the rest picture
// at once; with it on the down picture stays until the pointer leaves.
class TMouseEffectImage : public TImage
{
    Q_OBJECT
    Q_PROPERTY(QPixmap OriginPicture READ OriginPicture WRITE setOriginPicture)
    Q_PROPERTY(QPixmap OverPicture READ OverPicture WRITE setOverPicture)
    Q_PROPERTY(QPixmap DownPicture READ DownPicture WRITE setDownPicture)
    Q_PROPERTY(bool RevertOnLeave READ RevertOnLeave WRITE setRevertOnLeave)

public:
    explicit TMouseEffectImage(QWidget *parent = nullptr);

    QPixmap OriginPicture() const { return FOriginPicture; }
    // Shows the new rest picture at once, whatever the current look.
    void setOriginPicture(const QPixmap &picture);

    QPixmap OverPicture() const { return FOverPicture; }
    void setOverPicture(const QPixmap &picture) { FOverPicture = picture; }

    QPixmap DownPicture() const { return FDownPicture; }
    void setDownPicture(const QPixmap &picture) { FDownPicture = picture; }

    bool RevertOnLeave() const { return FRevertOnLeave; }
    void setRevertOnLeave(bool revert) { FRevertOnLeave = revert; }

protected:
    void MouseEnter() override;
    void MouseLeave() override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QPixmap FOverPicture;
    QPixmap FOriginPicture;
    QPixmap FDownPicture;
    bool FRevertOnLeave = false;
};
