#include "tflatprogressbar.h"

#include <QPainter>

#include <algorithm>

namespace {
// Frame plus one pixel of air on each side of the block row.
constexpr int Inset = 2;
} // namespace

TFlatProgressBar::TFlatProgressBar(QWidget *parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TFlatProgressBar::setMin(int value)
{
    FMin = value;
    update();
}

void TFlatProgressBar::setMax(int value)
{
    FMax = value;
    update();
}

void TFlatProgressBar::setPosition(int value)
{
    FPosition = value;
    update();
}

void TFlatProgressBar::setColorElement(const QColor &color)
{
    FColorElement = color;
    update();
}

void TFlatProgressBar::setColorBorder(const QColor &color)
{
    FColorBorder = color;
    update();
}

int TFlatProgressBar::BlockCapacity() const
{
    const int room = width() - 2 * Inset;
    return room < BlockWidth ? 0 : (room + BlockGap) / (BlockWidth + BlockGap);
}

int TFlatProgressBar::FilledBlocks() const
{
    if (FMax <= FMin)
        return 0;
    const qint64 share = std::clamp<qint64>(qint64(FPosition) - FMin, 0, qint64(FMax) - FMin);
    return int(share * BlockCapacity() / (qint64(FMax) - FMin));
}

QSize TFlatProgressBar::sizeHint() const
{
    return {129, 16};
}

void TFlatProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    painter.setPen(FColorBorder);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    const int blockHeight = height() - 2 * Inset;
    if (blockHeight <= 0)
        return;
    const int blocks = FilledBlocks();
    for (int i = 0; i < blocks; ++i)
        painter.fillRect(Inset + i * (BlockWidth + BlockGap), Inset, BlockWidth, blockHeight,
                         FColorElement);
}
