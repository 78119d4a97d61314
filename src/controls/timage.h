#pragma once

#include <QPixmap>
#include <QWidget>

// A windowless-looking picture control: draws its Picture at its top-left corner and nothing
// else, so whatever lies below shows through where the picture does not reach. With AutoSize on
// it takes the size of every non-empty picture it is given, keeping its left and top edges.
// A click is a left press followed by a left release inside the control.
class TImage : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QPixmap Picture READ Picture WRITE setPicture)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)

public:
    explicit TImage(QWidget *parent = nullptr);

    QPixmap Picture() const { return FPicture; }
    void setPicture(const QPixmap &picture);

    bool AutoSize() const { return FAutoSize; }
    void setAutoSize(bool autoSize);

    QSize sizeHint() const override;

    // Raises Clicked; a derived control that must change its own look first overrides it. Also
    // called by code that clicks the control.
    virtual void Click();

signals:
    void Clicked();
    void MouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void MousePressed(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void MouseReleased(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, QPoint pos);
    void MouseEntered();
    void MouseLeft();

protected:
    // The pointer came over the control or left it. Also called while a button is held and the
    // pointer crosses the control's edge, which Qt reports only after the release.
    virtual void MouseEnter();
    virtual void MouseLeave();

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void ApplyAutoSize();

    QPixmap FPicture;
    bool FAutoSize = false;
    bool FClickPending = false;
    bool FPointerInside = false;
};
