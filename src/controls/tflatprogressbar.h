#pragma once

#include <QColor>
#include <QWidget>

// A flat block progress bar: a 1-pixel frame in ColorBorder around a row of solid blocks in
// ColorElement, 8 pixels wide with 1-pixel gaps, as many as the share of Position between Min and
// Max gives of the blocks that fit.
class TFlatProgressBar : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int Min READ Min WRITE setMin)
    Q_PROPERTY(int Max READ Max WRITE setMax)
    Q_PROPERTY(int Position READ Position WRITE setPosition)
    Q_PROPERTY(QColor ColorElement READ ColorElement WRITE setColorElement)
    Q_PROPERTY(QColor ColorBorder READ ColorBorder WRITE setColorBorder)

public:
    static constexpr int BlockWidth = 8;
    static constexpr int BlockGap = 1;

    explicit TFlatProgressBar(QWidget *parent = nullptr);

    int Min() const { return FMin; }
    void setMin(int value);
    int Max() const { return FMax; }
    void setMax(int value);
    int Position() const { return FPosition; }
    void setPosition(int value);
    QColor ColorElement() const { return FColorElement; }
    void setColorElement(const QColor &color);
    QColor ColorBorder() const { return FColorBorder; }
    void setColorBorder(const QColor &color);

    // How many blocks fit inside the frame, and how many the current position fills.
    int BlockCapacity() const;
    int FilledBlocks() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int FMin = 0;
    int FMax = 100;
    int FPosition = 0;
    QColor FColorElement = Qt::black;
    QColor FColorBorder = Qt::black;
};
