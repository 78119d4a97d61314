#include "painthelpers.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QBuffer>
#include <QFontMetricsF>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include "palette.h"

using namespace Qt::StringLiterals;

QFont SansFont(qreal pixelSize, bool bold)
{
    QFont font(u"DejaVu Sans"_s);
    font.setPixelSize(qRound(pixelSize));
    font.setBold(bold);
    font.setStyleStrategy(QFont::PreferAntialias);
    // Hinting would snap strokes differently from machine to machine; the pictures are
    // committed, so they should come out the same wherever they are redrawn.
    font.setHintingPreference(QFont::PreferVerticalHinting);
    return font;
}

QImage NewCanvas(QSize size, const QColor &fill)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

void FillStripedPink(QPainter &p, const QRectF &rect, const QColor &top, const QColor &bottom)
{
    QLinearGradient gradient(rect.topLeft(), rect.bottomLeft());
    gradient.setColorAt(0.0, top);
    gradient.setColorAt(1.0, bottom);
    p.fillRect(rect, gradient);
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    const QColor shade(0x80, 0x10, 0x48, 26);
    for (int y = qCeil(rect.top()) + 1; y < rect.bottom(); y += 2)
        p.fillRect(QRectF(rect.left(), y, rect.width(), 1), shade);
    p.restore();
}

namespace {

// One box pass along rows (horizontal) or columns, on premultiplied ARGB.
void BoxPass(QImage &image, int radius, bool horizontal)
{
    const int w = image.width();
    const int h = image.height();
    const int lines = horizontal ? h : w;
    const int length = horizontal ? w : h;
    std::vector<QRgb> line(static_cast<size_t>(length));
    for (int l = 0; l < lines; ++l) {
        auto at = [&](int i) -> QRgb & {
            return horizontal ? reinterpret_cast<QRgb *>(image.scanLine(l))[i]
                              : reinterpret_cast<QRgb *>(image.scanLine(i))[l];
        };
        for (int i = 0; i < length; ++i)
            line[size_t(i)] = at(i);
        int sum[4] = {0, 0, 0, 0};
        auto add = [&](int i, int sign) {
            if (i < 0 || i >= length)
                return;
            const QRgb c = line[size_t(i)];
            sum[0] += sign * qAlpha(c);
            sum[1] += sign * qRed(c);
            sum[2] += sign * qGreen(c);
            sum[3] += sign * qBlue(c);
        };
        for (int i = -radius; i <= radius; ++i)
            add(i, 1);
        const int n = 2 * radius + 1;
        for (int i = 0; i < length; ++i) {
            at(i) = qRgba(sum[1] / n, sum[2] / n, sum[3] / n, sum[0] / n);
            add(i - radius, -1);
            add(i + radius + 1, 1);
        }
    }
}

} // namespace

QImage Blurred(const QImage &image, int radius)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int box = std::max(1, radius / 2);
    for (int pass = 0; pass < 3; ++pass) {
        BoxPass(result, box, true);
        BoxPass(result, box, false);
    }
    return result;
}

QImage JpegRoundTrip(const QImage &image, QByteArray *bytes)
{
    QByteArray coded;
    QBuffer buffer(&coded);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(95);
    // Baseline, not progressive: the program's JPEG reader is libjpeg, and old baseline files
    // are what every decoder reads.
    writer.setProgressiveScanWrite(false);
    writer.setOptimizedWrite(true);
    writer.write(image.convertToFormat(QImage::Format_RGB32));
    if (bytes)
        *bytes = coded;
    return QImage::fromData(coded, "JPEG").convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

qreal TextWidth(const QString &text, const QFont &font)
{
    return QFontMetricsF(font).horizontalAdvance(text);
}

void DrawTextAt(QPainter &p, QPointF baseline, const QString &text, const QFont &font,
                const QColor &color)
{
    p.save();
    p.setFont(font);
    p.setPen(color);
    p.drawText(baseline, text);
    p.restore();
}

void DrawTextCentred(QPainter &p, qreal centreX, qreal baseline, const QString &text,
                     const QFont &font, const QColor &color)
{
    DrawTextAt(p, QPointF(centreX - TextWidth(text, font) / 2.0, baseline), text, font, color);
}

namespace {

QPen RoundPen(const QColor &color, qreal width)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

} // namespace

void DrawPlusPageIcon(QPainter &p, const QRectF &box, const QColor &color)
{
    // A page with a folded corner, and a plus badge over its lower right.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = box.width();
    const QPointF o = box.topLeft();
    QPainterPath page;
    page.moveTo(o + QPointF(0.16 * s, 0.06 * s));
    page.lineTo(o + QPointF(0.56 * s, 0.06 * s));
    page.lineTo(o + QPointF(0.76 * s, 0.26 * s));
    page.lineTo(o + QPointF(0.76 * s, 0.50 * s));
    page.moveTo(o + QPointF(0.50 * s, 0.94 * s));
    page.lineTo(o + QPointF(0.16 * s, 0.94 * s));
    page.lineTo(o + QPointF(0.16 * s, 0.06 * s));
    p.setPen(RoundPen(color, std::max(1.4, s * 0.085)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(page);
    QPainterPath fold;
    fold.moveTo(o + QPointF(0.56 * s, 0.06 * s));
    fold.lineTo(o + QPointF(0.56 * s, 0.26 * s));
    fold.lineTo(o + QPointF(0.76 * s, 0.26 * s));
    p.drawPath(fold);
    const QPointF c = o + QPointF(0.76 * s, 0.76 * s);
    const qreal arm = 0.19 * s;
    p.setPen(RoundPen(color, std::max(1.8, s * 0.12)));
    p.drawLine(c - QPointF(arm, 0), c + QPointF(arm, 0));
    p.drawLine(c - QPointF(0, arm), c + QPointF(0, arm));
    p.restore();
}

void DrawMinusIcon(QPainter &p, const QRectF &box, const QColor &color)
{
    // A ring with a bar across: reads as "take away" even at 18 pixels.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = box.width();
    const QPointF c = box.center();
    p.setPen(RoundPen(color, std::max(1.4, s * 0.085)));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 0.42 * s, 0.42 * s);
    p.setPen(RoundPen(color, std::max(1.8, s * 0.13)));
    p.drawLine(c - QPointF(0.22 * s, 0), c + QPointF(0.22 * s, 0));
    p.restore();
}

void DrawCircleArrowIcon(QPainter &p, const QRectF &box, const QColor &color)
{
    // An almost closed circle whose end carries an arrow head: "clear everything".
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = box.width();
    const QPointF c = box.center();
    const qreal r = 0.38 * s;
    const QRectF ring(c - QPointF(r, r), QSizeF(2 * r, 2 * r));
    p.setPen(RoundPen(color, std::max(1.6, s * 0.1)));
    p.setBrush(Qt::NoBrush);
    p.drawArc(ring, 100 * 16, 290 * 16);
    // The arrow head sits on the arc's start (100 degrees), pointing along the turn.
    const qreal a = qDegreesToRadians(100.0);
    const QPointF tip = c + QPointF(r * std::cos(a), -r * std::sin(a));
    QPainterPath head;
    head.moveTo(tip + QPointF(0.24 * s, -0.02 * s));
    head.lineTo(tip + QPointF(-0.02 * s, -0.17 * s));
    head.lineTo(tip + QPointF(0.02 * s, 0.16 * s));
    head.closeSubpath();
    p.setPen(RoundPen(color, std::max(1.0, s * 0.05)));
    p.setBrush(color);
    p.drawPath(head);
    p.restore();
}

void DrawPlusBadge(QPainter &p, const QRectF &box, const QColor &ring, const QColor &mark)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = box.width();
    const QPointF c = box.center();
    p.setPen(Qt::NoPen);
    p.setBrush(ring);
    p.drawEllipse(c, 0.5 * s, 0.5 * s);
    p.setPen(RoundPen(mark, std::max(1.6, s * 0.14)));
    p.drawLine(c - QPointF(0.25 * s, 0), c + QPointF(0.25 * s, 0));
    p.drawLine(c - QPointF(0, 0.25 * s), c + QPointF(0, 0.25 * s));
    p.restore();
}

void DrawPenIcon(QPainter &p, const QRectF &box, const QColor &body, const QColor &tip)
{
    // A pencil lying at 45 degrees, point to the lower left.
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = box.width();
    p.translate(box.center());
    p.rotate(-45);
    const qreal len = 1.05 * s;
    const qreal half = 0.13 * s;
    const QRectF shaft(-len / 2 + 0.26 * s, -half, len - 0.36 * s, 2 * half);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(shaft, 0.04 * s, 0.04 * s);
    // Eraser band at the back end.
    p.setBrush(tip);
    p.drawRect(QRectF(shaft.right() - 0.08 * s, -half, 0.08 * s, 2 * half));
    QPainterPath point;
    point.moveTo(shaft.left(), -half);
    point.lineTo(-len / 2, 0);
    point.lineTo(shaft.left(), half);
    point.closeSubpath();
    p.setBrush(body);
    p.drawPath(point);
    p.setBrush(tip);
    QPainterPath lead;
    lead.moveTo(-len / 2 + 0.09 * s, -0.045 * s);
    lead.lineTo(-len / 2, 0);
    lead.lineTo(-len / 2 + 0.09 * s, 0.045 * s);
    lead.closeSubpath();
    p.drawPath(lead);
    p.restore();
}

void DrawPersonBubbleIcon(QPainter &p, const QRectF &box)
{
    // A person in grey talking, with a pink bubble at the upper right: "the program says".
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = box.width();
    const qreal h = box.height();
    const QPointF o = box.topLeft();
    const QColor person(0x7C, 0x7C, 0x86);
    p.setPen(Qt::NoPen);
    QLinearGradient personFill(o, o + QPointF(0, h));
    personFill.setColorAt(0, person.lighter(118));
    personFill.setColorAt(1, person.darker(112));
    p.setBrush(personFill);
    const QPointF head = o + QPointF(0.27 * w, 0.40 * h);
    p.drawEllipse(head, 0.13 * w, 0.13 * w * 1.05);
    QPainterPath shoulders;
    const qreal sy = 0.63 * h;
    shoulders.moveTo(o + QPointF(0.04 * w, h));
    shoulders.cubicTo(o + QPointF(0.04 * w, sy), o + QPointF(0.12 * w, sy),
                      o + QPointF(0.27 * w, sy));
    shoulders.cubicTo(o + QPointF(0.42 * w, sy), o + QPointF(0.50 * w, sy),
                      o + QPointF(0.50 * w, h));
    shoulders.closeSubpath();
    p.drawPath(shoulders);

    const QRectF bubble(o + QPointF(0.46 * w, 0.02 * h), QSizeF(0.52 * w, 0.46 * h));
    QPainterPath speech;
    speech.addRoundedRect(bubble, 0.12 * w, 0.12 * w);
    QPainterPath tail;
    tail.moveTo(bubble.left() + 0.08 * w, bubble.bottom() - 0.06 * h);
    tail.lineTo(bubble.left() - 0.04 * w, bubble.bottom() + 0.12 * h);
    tail.lineTo(bubble.left() + 0.20 * w, bubble.bottom() - 0.02 * h);
    tail.closeSubpath();
    speech = speech.united(tail);
    QLinearGradient bubbleFill(bubble.topLeft(), bubble.bottomLeft());
    bubbleFill.setColorAt(0, Palette::Pink.lighter(108));
    bubbleFill.setColorAt(1, Palette::PinkDeep);
    p.setBrush(bubbleFill);
    p.drawPath(speech);
    p.setBrush(Qt::white);
    const qreal dotY = bubble.center().y();
    for (int i = -1; i <= 1; ++i)
        p.drawEllipse(QPointF(bubble.center().x() + i * 0.13 * w, dotY), 0.035 * w, 0.035 * w);
    p.restore();
}

void DrawEnvelopeIcon(QPainter &p, const QRectF &box, const QColor &color)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = box.adjusted(0.5, 1.5, -0.5, -1.5);
    p.setPen(RoundPen(color, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(r, 1.5, 1.5);
    QPainterPath flap;
    flap.moveTo(r.topLeft() + QPointF(0.8, 0.8));
    flap.lineTo(r.center().x(), r.top() + r.height() * 0.58);
    flap.lineTo(r.topRight() + QPointF(-0.8, 0.8));
    p.drawPath(flap);
    p.restore();
}

void DrawGlobeIcon(QPainter &p, const QRectF &box, const QColor &color)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c = box.center();
    const qreal r = std::min(box.width(), box.height()) / 2.0 - 0.7;
    p.setPen(RoundPen(color, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r, r);
    p.drawEllipse(c, r * 0.42, r);
    p.drawLine(c - QPointF(r, 0), c + QPointF(r, 0));
    p.restore();
}

void DrawPlayMark(QPainter &p, const QRectF &box, const QColor &color)
{
    // A triangle with softly rounded corners, optically centred (nudged right).
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = std::min(box.width(), box.height());
    const QPointF c = box.center() + QPointF(s * 0.06, 0);
    QPainterPath tri;
    tri.moveTo(c + QPointF(-0.34 * s, -0.40 * s));
    tri.lineTo(c + QPointF(0.42 * s, 0));
    tri.lineTo(c + QPointF(-0.34 * s, 0.40 * s));
    tri.closeSubpath();
    p.setPen(QPen(color, s * 0.08, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(color);
    p.drawPath(tri);
    p.restore();
}
