#pragma once

#include <QColor>
#include <QLabel>

// A transparent text label that can grow with its text (AutoSize) and reports the pointer moving
// over it, leaving it, and a click (a left press and release inside), so a label can serve as a
// link.
class TLabel : public QLabel
{
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(QColor FontColor READ FontColor WRITE setFontColor)

public:
    explicit TLabel(QWidget *parent = nullptr);

    bool AutoSize() const { return FAutoSize; }
    void setAutoSize(bool autoSize);

    QColor FontColor() const;
    void setFontColor(const QColor &color);

    // Sets the text and, with AutoSize on, takes the size of the new text at once.
    void setCaption(const QString &text);

signals:
    void Clicked();
    void MouseMoved(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, QPoint pos);
    void MouseLeft();

protected:
    void showEvent(QShowEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    bool FAutoSize = true;
    bool FClickPending = false;
};
