#pragma once

#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

class QPainter;

// Small drawing pieces shared by the pictures: fonts, the striped casing, glow, line icons.

// DejaVu Sans at a pixel size, so text comes out the same size on every machine.
QFont SansFont(qreal pixelSize, bool bold);

// An ARGB canvas filled with one colour.
QImage NewCanvas(QSize size, const QColor &fill = Qt::transparent);

// The pink casing: a vertical gradient crossed by fine horizontal stripes two pixels apart.
void FillStripedPink(QPainter &p, const QRectF &rect, const QColor &top, const QColor &bottom);

// A soft copy of an ARGB picture (three box passes, close to a Gaussian of the given radius).
QImage Blurred(const QImage &image, int radius);

// The picture as the window will see it after JPEG coding, and the coded bytes. Pictures that
// must meet a JPEG background seamlessly are cut from this decoded copy.
QImage JpegRoundTrip(const QImage &image, QByteArray *bytes);

// Text whose left end of the baseline is at `baseline`.
void DrawTextAt(QPainter &p, QPointF baseline, const QString &text, const QFont &font,
                const QColor &color);
// Text centred horizontally on `centreX`, on the given baseline.
void DrawTextCentred(QPainter &p, qreal centreX, qreal baseline, const QString &text,
                     const QFont &font, const QColor &color);
qreal TextWidth(const QString &text, const QFont &font);

// Line icons drawn into a square box; `weight` is the stroke width in pixels.
void DrawPlusPageIcon(QPainter &p, const QRectF &box, const QColor &color);
void DrawMinusIcon(QPainter &p, const QRectF &box, const QColor &color);
void DrawCircleArrowIcon(QPainter &p, const QRectF &box, const QColor &color);
void DrawPlusBadge(QPainter &p, const QRectF &box, const QColor &ring, const QColor &mark);
void DrawPenIcon(QPainter &p, const QRectF &box, const QColor &body, const QColor &tip);
void DrawPersonBubbleIcon(QPainter &p, const QRectF &box);
void DrawEnvelopeIcon(QPainter &p, const QRectF &box, const QColor &color);
void DrawGlobeIcon(QPainter &p, const QRectF &box, const QColor &color);
void DrawPlayMark(QPainter &p, const QRectF &box, const QColor &color);
