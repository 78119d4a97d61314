#pragma once

#include <QColor>
#include <QWidget>

#include "tthumbitems.h"

// The grid of video thumbnails: fixed-size cells in rows, 5 pixels apart and from the edges,
// one cell framed as the selection. It never shrinks and grows its own height when the rows no
// longer fit, so a scroll area around it makes further rows reachable. Changing the list does
// not redraw by itself: whoever changes it writes SelectedIndex or calls DrawThumbs afterwards.
class TPhotoThumbPanel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(int CellWidth READ CellWidth WRITE setCellWidth)
    Q_PROPERTY(int CellHeight READ CellHeight WRITE setCellHeight)
    Q_PROPERTY(int SelectedIndex READ SelectedIndex WRITE setSelectedIndex)

public:
    static constexpr int Gap = 5;
    static constexpr QRgb BackgroundColor = qRgb(216, 216, 216);
    // The active title-bar blue of the desktop the program was first made for; fixed, so the
    // selection looks the same under every style and palette.
    static constexpr QRgb FrameColor = qRgb(0, 84, 227);

    explicit TPhotoThumbPanel(QWidget *parent = nullptr);

    int CellWidth() const { return FCellWidth; }
    // Stored only (used by the next drawing); values below 1 are stored as 1.
    void setCellWidth(int cellWidth);
    int CellHeight() const { return FCellHeight; }
    void setCellHeight(int cellHeight);

    int SelectedIndex() const { return FSelectedIndex; }
    // Any value is kept as given; one that designates no item frames nothing. Every write
    // redraws at once.
    void setSelectedIndex(int index);

    TThumbItems &ThumbItems() { return FThumbItems; }
    const TThumbItems &ThumbItems() const { return FThumbItems; }

    // Lays the cells out again, grows the height if the rows no longer fit and paints the
    // visible part at once.
    void DrawThumbs();

    // Delete removes the selected item, Left and Right move the selection; other keys do
    // nothing. The main window forwards every key release here.
    void KeyUp(int key, Qt::KeyboardModifiers modifiers);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    // Recomputes FColCount and FRowCount from the current size; true when the items no longer
    // fit into the rows the height gives.
    bool UpdateLayout();
    void Compose(QPainter &painter, const QRect &area) const;

    TThumbItems FThumbItems;
    int FCellWidth = 40;
    int FCellHeight = 30;
    int FSelectedIndex = -1;
    int FColCount = 0;
    int FRowCount = 0;
    bool FGrowthPending = false;
};
