#include "tphotothumbpanel.h"

#include <algorithm>
#include <limits>

#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QtMath>

namespace {

int ClampToInt(qint64 value)
{
    return static_cast<int>(std::clamp<qint64>(value, std::numeric_limits<int>::min(),
                                               std::numeric_limits<int>::max()));
}

int CellSize(int value)
{
    return std::clamp(value, 1, QWIDGETSIZE_MAX);
}

} // namespace

TPhotoThumbPanel::TPhotoThumbPanel(QWidget *parent)
    : QWidget(parent)
{
    // Every pixel is painted by paintEvent, so Qt need not clear the background first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TPhotoThumbPanel::setCellWidth(int cellWidth)
{
    FCellWidth = CellSize(cellWidth);
}

void TPhotoThumbPanel::setCellHeight(int cellHeight)
{
    FCellHeight = CellSize(cellHeight);
}

void TPhotoThumbPanel::setSelectedIndex(int index)
{
    FSelectedIndex = index;
    DrawThumbs();
}

bool TPhotoThumbPanel::UpdateLayout()
{
    const int pitchX = FCellWidth + Gap;
    const int pitchY = FCellHeight + Gap;
    FColCount = width() / pitchX;
    // Every row pitch that the height touches, the partly visible last one included.
    FRowCount = ClampToInt((qint64(height()) + FCellHeight + Gap - 1) / pitchY);
    // Without a column nothing is drawn and nothing grows.
    return FColCount > 0 && qint64(FRowCount - 1) * FColCount < FThumbItems.Count();
}

void TPhotoThumbPanel::DrawThumbs()
{
    if (UpdateLayout()) {
        const qint64 rows = (qint64(FThumbItems.Count()) + FColCount - 1) / FColCount;
        const qint64 needed = rows * (FCellHeight + Gap) + Gap;
        const int grown = int(std::min<qint64>(needed, QWIDGETSIZE_MAX));
        // Only ever taller: after removals the control keeps its largest height.
        if (grown > height())
            resize(width(), grown);
    }
    // Synchronous, so the new selection shows before the caller goes on. Does nothing while
    // the control is hidden.
    repaint();
}

void TPhotoThumbPanel::KeyUp(int key, Qt::KeyboardModifiers)
{
    if (FThumbItems.Count() == 0)
        return;
    switch (key) {
    case Qt::Key_Delete:
        if (FSelectedIndex < 0 || FSelectedIndex >= FThumbItems.Count())
            return;
        FThumbItems.Delete(FSelectedIndex);
        break;
    case Qt::Key_Left:
        if (FSelectedIndex > 0)
            setSelectedIndex(FSelectedIndex - 1);
        break;
    case Qt::Key_Right:
        if (FSelectedIndex < std::numeric_limits<int>::max())
            setSelectedIndex(FSelectedIndex + 1);
        break;
    default:
        return;
    }
    if (FSelectedIndex >= FThumbItems.Count())
        setSelectedIndex(FThumbItems.Count() - 1);
    DrawThumbs();
}

QSize TPhotoThumbPanel::sizeHint() const
{
    const int pitchX = FCellWidth + Gap;
    const int w = std::max(width(), pitchX + Gap);
    const qint64 columns = std::max(1, w / pitchX);
    const qint64 rows = std::max<qint64>(1, (FThumbItems.Count() + columns - 1) / columns);
    const qint64 h = rows * (FCellHeight + Gap) + Gap;
    return {w, std::max(height(), int(std::min<qint64>(h, QWIDGETSIZE_MAX)))};
}

void TPhotoThumbPanel::paintEvent(QPaintEvent *event)
{
    if (UpdateLayout() && !FGrowthPending) {
        // The list changed without a redraw; grow after this paint, not in the middle of it.
        FGrowthPending = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                FGrowthPending = false;
                DrawThumbs();
            },
            Qt::QueuedConnection);
    }

    // Only the area being painted is composed (inside a scroll area, the visible part), so a
    // long list costs no more than a short one. Composing off-screen and copying the result
    // out in one operation keeps the drawing free of flicker.
    const QRect area = event->rect() & rect();
    if (area.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    QImage buffer((QSizeF(area.size()) * ratio).toSize(), QImage::Format_RGB32);
    if (buffer.isNull())
        return;
    buffer.setDevicePixelRatio(ratio);
    buffer.fill(BackgroundColor);
    {
        QPainter painter(&buffer);
        painter.translate(-area.topLeft());
        Compose(painter, area);
    }
    QPainter(this).drawImage(area.topLeft(), buffer);
}

void TPhotoThumbPanel::Compose(QPainter &painter, const QRect &area) const
{
    if (FColCount <= 0)
        return;
    const int pitchX = FCellWidth + Gap;
    const int pitchY = FCellHeight + Gap;
    const qint64 count = FThumbItems.Count();
    // The cells whose picture or frame (2 pixels outside the cell) reach into the area.
    const qint64 firstRow = std::max<qint64>(1, (qint64(area.top()) - FCellHeight - 2) / pitchY);
    const qint64 lastRow = std::min<qint64>(
        {FRowCount, (qint64(area.bottom()) + 2) / pitchY + 1, (count + FColCount - 1) / FColCount});
    const qint64 firstCol = std::max<qint64>(1, (qint64(area.left()) - FCellWidth - 2) / pitchX);
    const qint64 lastCol = std::min<qint64>(FColCount, (qint64(area.right()) + 2) / pitchX + 1);

    for (qint64 b = firstRow; b <= lastRow; ++b) {
        for (qint64 e = firstCol; e <= lastCol; ++e) {
            const qint64 index = (b - 1) * FColCount + (e - 1);
            if (index >= count)
                break;
            const int x = int(Gap * e + (e - 1) * FCellWidth);
            const int y = int(Gap * b + (b - 1) * FCellHeight);
            const QImage &picture = FThumbItems.Items(int(index))->Bitmap();
            // A plain pixel stretch, aspect not kept: no smoothing hint is set.
            if (!picture.isNull())
                painter.drawImage(QRect(x, y, FCellWidth, FCellHeight), picture);
            if (index == FSelectedIndex) {
                // A 2-pixel frame just outside the cell, leaving the picture whole.
                const QColor frame = QColor::fromRgb(FrameColor);
                painter.fillRect(x - 2, y - 2, FCellWidth + 4, 2, frame);
                painter.fillRect(x - 2, y + FCellHeight, FCellWidth + 4, 2, frame);
                painter.fillRect(x - 2, y, 2, FCellHeight, frame);
                painter.fillRect(x + FCellWidth, y, 2, FCellHeight, frame);
            }
        }
    }
}

void TPhotoThumbPanel::mouseReleaseEvent(QMouseEvent *event)
{
    // Every button selects. The hit area of a cell is its pitch, the gap left of and above it
    // included; there are no bounds, so a release past the last item selects no item.
    const QPointF position = event->position();
    const qint64 column = qint64(qFloor(position.x())) / (FCellWidth + Gap);
    const qint64 row = qint64(qFloor(position.y())) / (FCellHeight + Gap);
    event->accept();
    setSelectedIndex(ClampToInt(row * FColCount + column));
}

void TPhotoThumbPanel::keyReleaseEvent(QKeyEvent *event)
{
    // Auto-repeat sends a release with every repeated press; act on the real release only.
    if (!event->isAutoRepeat())
        KeyUp(event->key(), event->modifiers());
    QWidget::keyReleaseEvent(event);
}
