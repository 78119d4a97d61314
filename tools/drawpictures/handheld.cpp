#include "handheld.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "painthelpers.h"
#include "palette.h"

using namespace Qt::StringLiterals;

THandheldLook DarkHandheld()
{
    return {QColor(0x4A, 0x4A, 0x52), QColor(0x17, 0x17, 0x1B), QColor(0x0C, 0x0C, 0x0E),
            QColor(0xB8, 0xB8, 0xC2), true};
}

THandheldLook PinkHandheld()
{
    return {Palette::PinkLight, Palette::PinkDeep, Palette::PinkDark, QColor(0x5A, 0x14, 0x38),
            false};
}

namespace {

void DrawScreen(QPainter &p, const QRectF &screen)
{
    const qreal h = screen.height();
    QLinearGradient glow(screen.topLeft(), screen.bottomRight());
    glow.setColorAt(0.0, QColor(0xFF, 0x8E, 0xC6));
    glow.setColorAt(0.55, QColor(0xD6, 0x3C, 0x8C));
    glow.setColorAt(1.0, QColor(0x6E, 0x1A, 0x5C));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawRoundedRect(screen, h * 0.05, h * 0.05);

    // A slanted sheen across the upper half, as on glass.
    QPainterPath sheen;
    sheen.moveTo(screen.topLeft());
    sheen.lineTo(screen.left() + screen.width() * 0.62, screen.top());
    sheen.lineTo(screen.left() + screen.width() * 0.38, screen.bottom());
    sheen.lineTo(screen.left(), screen.bottom());
    sheen.closeSubpath();
    QPainterPath clip;
    clip.addRoundedRect(screen, h * 0.05, h * 0.05);
    p.setBrush(QColor(255, 255, 255, 26));
    p.drawPath(sheen.intersected(clip));

    const qreal mark = h * 0.46;
    DrawPlayMark(
        p, QRectF(screen.center() - QPointF(mark / 2, mark / 2 + h * 0.06), QSizeF(mark, mark)),
        Qt::white);
    // A time line along the foot of the screen, a third played.
    const qreal lineY = screen.bottom() - h * 0.13;
    const qreal left = screen.left() + screen.width() * 0.1;
    const qreal right = screen.right() - screen.width() * 0.1;
    const qreal thick = std::max(1.0, h * 0.035);
    p.setBrush(QColor(255, 255, 255, 90));
    p.drawRoundedRect(QRectF(left, lineY - thick / 2, right - left, thick), thick / 2, thick / 2);
    p.setBrush(Qt::white);
    const qreal played = left + (right - left) * 0.34;
    p.drawRoundedRect(QRectF(left, lineY - thick / 2, played - left, thick), thick / 2, thick / 2);
    p.drawEllipse(QPointF(played, lineY), thick * 1.4, thick * 1.4);
}

} // namespace

void DrawHandheld(QPainter &p, const QRectF &body, const THandheldLook &look)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const qreal w = body.width();
    const qreal h = body.height();
    const QPointF o = body.topLeft();
    const qreal radius = h * 0.44;

    if (look.Shadow) {
        // A soft contact shadow, drawn blurred on its own layer.
        const int pad = qRound(h * 0.3);
        QImage shadow = NewCanvas(QSize(qCeil(w) + 2 * pad, qCeil(h * 0.5) + 2 * pad));
        {
            QPainter sp(&shadow);
            sp.setRenderHint(QPainter::Antialiasing);
            sp.setPen(Qt::NoPen);
            sp.setBrush(QColor(0, 0, 0, 70));
            sp.drawEllipse(QRectF(pad + w * 0.06, pad, w * 0.88, h * 0.22));
        }
        shadow = Blurred(shadow, qRound(h * 0.12));
        p.drawImage(QPointF(o.x() - pad, o.y() + h * 0.86 - pad), shadow);
    }

    QPainterPath shape;
    shape.addRoundedRect(body, radius, radius);
    QLinearGradient fill(o, o + QPointF(0, h));
    fill.setColorAt(0.0, look.BodyTop);
    fill.setColorAt(0.55, look.BodyBottom.lighter(112));
    fill.setColorAt(1.0, look.BodyBottom);
    p.setPen(QPen(look.Rim, std::max(1.0, h * 0.012)));
    p.setBrush(fill);
    p.drawPath(shape);

    // Gloss over the upper part of the body.
    QLinearGradient gloss(o, o + QPointF(0, h * 0.5));
    gloss.setColorAt(0.0, QColor(255, 255, 255, 70));
    gloss.setColorAt(1.0, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawPath(shape.intersected([&] {
        QPainterPath upper;
        upper.addRect(QRectF(o, QSizeF(w, h * 0.5)));
        return upper;
    }()));

    // Screen: a black glass bezel with the picture inside.
    const QRectF bezel(o.x() + w * 0.205, o.y() + h * 0.10, w * 0.59, h * 0.80);
    p.setBrush(QColor(0x0A, 0x0A, 0x0C));
    p.drawRoundedRect(bezel, h * 0.06, h * 0.06);
    DrawScreen(p, bezel.adjusted(h * 0.05, h * 0.05, -h * 0.05, -h * 0.05));

    // D-pad: four rounded arms around a hub.
    const QPointF pad(o.x() + w * 0.105, o.y() + h * 0.40);
    const qreal arm = h * 0.15;
    const qreal thick = h * 0.085;
    p.setBrush(look.Controls);
    p.drawRoundedRect(QRectF(pad.x() - arm, pad.y() - thick / 2, 2 * arm, thick), thick * 0.3,
                      thick * 0.3);
    p.drawRoundedRect(QRectF(pad.x() - thick / 2, pad.y() - arm, thick, 2 * arm), thick * 0.3,
                      thick * 0.3);

    // Analogue nub below the d-pad.
    const QPointF nub(o.x() + w * 0.125, o.y() + h * 0.75);
    QRadialGradient nubFill(nub - QPointF(h * 0.02, h * 0.02), h * 0.08);
    nubFill.setColorAt(0, look.Controls.lighter(125));
    nubFill.setColorAt(1, look.Controls.darker(125));
    p.setBrush(nubFill);
    p.drawEllipse(nub, h * 0.075, h * 0.075);

    // Face buttons in a diamond.
    const QPointF face(o.x() + w * 0.895, o.y() + h * 0.40);
    const qreal step = h * 0.125;
    const qreal button = h * 0.058;
    p.setBrush(look.Controls);
    for (const QPointF d : {QPointF(0, -1), QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0)})
        p.drawEllipse(face + d * step, button, button);

    // Small start/select keys below the face buttons.
    const qreal keyW = h * 0.09;
    const qreal keyH = h * 0.035;
    for (int i = 0; i < 2; ++i) {
        const QPointF key(o.x() + w * (0.865 + 0.06 * i), o.y() + h * 0.77);
        p.drawRoundedRect(QRectF(key.x() - keyW / 2, key.y() - keyH / 2, keyW, keyH), keyH / 2,
                          keyH / 2);
    }
    p.restore();
}

namespace {

// The icon's shapes in a 256 x 256 box; the PNGs and the SVG are both drawn from these.
constexpr QRectF IconTile {12, 12, 232, 232};
constexpr qreal IconTileRadius = 52;
constexpr QRectF IconBody {16, 76, 224, 104};
constexpr qreal IconBodyRadius = 46;
constexpr QRectF IconGloss {28, 80, 200, 46}; // light on the upper half of the body
constexpr qreal IconGlossRadius = 23;
constexpr QRectF IconScreen {66, 90, 124, 76};
constexpr qreal IconScreenRadius = 9;
constexpr QPointF IconPad {42, 122};
constexpr qreal IconPadArm = 17;
constexpr qreal IconPadThick = 11;
constexpr QPointF IconFace {214, 122};
constexpr qreal IconFaceStep = 13;
constexpr qreal IconFaceDot = 6;
const QColor IconControls(0x5A, 0x14, 0x38);

// The play triangle on the icon's screen.
QPolygonF IconPlay()
{
    const QPointF c = IconScreen.center() + QPointF(3, 0);
    const qreal s = 40;
    return QPolygonF({c + QPointF(-0.34 * s, -0.40 * s), c + QPointF(0.42 * s, 0),
                      c + QPointF(-0.34 * s, 0.40 * s)});
}

} // namespace

QImage AppIcon(int size)
{
    QImage image = NewCanvas(QSize(size, size));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 256.0, size / 256.0);

    QLinearGradient tile(IconTile.topLeft(), IconTile.bottomLeft());
    tile.setColorAt(0, Palette::PanelTop);
    tile.setColorAt(1, Palette::NearBlack);
    p.setPen(QPen(QColor(0x55, 0x55, 0x5E), 2));
    p.setBrush(tile);
    p.drawRoundedRect(IconTile, IconTileRadius, IconTileRadius);

    QLinearGradient body(IconBody.topLeft(), IconBody.bottomLeft());
    body.setColorAt(0, Palette::PinkLight);
    body.setColorAt(1, Palette::PinkDeep);
    p.setPen(Qt::NoPen);
    p.setBrush(body);
    p.drawRoundedRect(IconBody, IconBodyRadius, IconBodyRadius);
    QLinearGradient gloss(IconGloss.topLeft(), IconGloss.bottomLeft());
    gloss.setColorAt(0, QColor(255, 255, 255, 110));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawRoundedRect(IconGloss, IconGlossRadius, IconGlossRadius);

    p.setBrush(Palette::NearBlack);
    p.drawRoundedRect(IconScreen, IconScreenRadius, IconScreenRadius);
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::white, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolygon(IconPlay());

    p.setPen(Qt::NoPen);
    p.setBrush(IconControls);
    p.drawRoundedRect(QRectF(IconPad.x() - IconPadArm, IconPad.y() - IconPadThick / 2,
                             2 * IconPadArm, IconPadThick),
                      3, 3);
    p.drawRoundedRect(QRectF(IconPad.x() - IconPadThick / 2, IconPad.y() - IconPadArm, IconPadThick,
                             2 * IconPadArm),
                      3, 3);
    for (const QPointF d : {QPointF(0, -1), QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0)})
        p.drawEllipse(IconFace + d * IconFaceStep, IconFaceDot, IconFaceDot);
    return image;
}

QString AppIconSvg()
{
    auto n = [](qreal v) -> QString { return QString::number(v, 'g', 6); };
    auto hex = [](const QColor &c) -> QString { return c.name(QColor::HexRgb); };
    auto roundedRect = [&](const QRectF &r, qreal radius, const QString &paint) -> QString {
        return u"  <rect x=\""_s + n(r.x()) + u"\" y=\""_s + n(r.y()) + u"\" width=\""_s
            + n(r.width()) + u"\" height=\""_s + n(r.height()) + u"\" rx=\""_s + n(radius)
            + u"\" "_s + paint + u"/>\n"_s;
    };
    QString play;
    for (const QPointF &pt : IconPlay())
        play += n(pt.x()) + u","_s + n(pt.y()) + u" "_s;

    QString svg = u"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                  "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"256\" height=\"256\" "
                  "viewBox=\"0 0 256 256\">\n"
                  "  <defs>\n"
                  "    <linearGradient id=\"tile\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"_s
        + u"      <stop offset=\"0\" stop-color=\""_s + hex(Palette::PanelTop)
        + u"\"/>\n      <stop offset=\"1\" stop-color=\""_s + hex(Palette::NearBlack)
        + u"\"/>\n    </linearGradient>\n"_s
        + u"    <linearGradient id=\"body\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"_s
        + u"      <stop offset=\"0\" stop-color=\""_s + hex(Palette::PinkLight)
        + u"\"/>\n      <stop offset=\"1\" stop-color=\""_s + hex(Palette::PinkDeep)
        + u"\"/>\n    </linearGradient>\n"_s
        + u"    <linearGradient id=\"gloss\" x1=\"0\" y1=\"0\" x2=\"0\" y2=\"1\">\n"
          "      <stop offset=\"0\" stop-color=\"#ffffff\" stop-opacity=\"0.43\"/>\n"
          "      <stop offset=\"1\" stop-color=\"#ffffff\" stop-opacity=\"0\"/>\n"
          "    </linearGradient>\n  </defs>\n"_s;
    svg += roundedRect(IconTile, IconTileRadius,
                       u"fill=\"url(#tile)\" stroke=\"#55555e\" stroke-width=\"2\""_s);
    svg += roundedRect(IconBody, IconBodyRadius, u"fill=\"url(#body)\""_s);
    svg += roundedRect(IconGloss, IconGlossRadius, u"fill=\"url(#gloss)\""_s);
    svg += roundedRect(IconScreen, IconScreenRadius,
                       u"fill=\""_s + hex(Palette::NearBlack) + u"\""_s);
    svg += u"  <polygon points=\""_s + play.trimmed()
        + u"\" fill=\"#ffffff\" stroke=\"#ffffff\" stroke-width=\"3\" "
          "stroke-linejoin=\"round\"/>\n"_s;
    const QString controls = u"fill=\""_s + hex(IconControls) + u"\""_s;
    svg += roundedRect(QRectF(IconPad.x() - IconPadArm, IconPad.y() - IconPadThick / 2,
                              2 * IconPadArm, IconPadThick),
                       3, controls);
    svg += roundedRect(QRectF(IconPad.x() - IconPadThick / 2, IconPad.y() - IconPadArm,
                              IconPadThick, 2 * IconPadArm),
                       3, controls);
    for (const QPointF d : {QPointF(0, -1), QPointF(1, 0), QPointF(0, 1), QPointF(-1, 0)}) {
        const QPointF c = IconFace + d * IconFaceStep;
        svg += u"  <circle cx=\""_s + n(c.x()) + u"\" cy=\""_s + n(c.y()) + u"\" r=\""_s
            + n(IconFaceDot) + u"\" "_s + controls + u"/>\n"_s;
    }
    svg += u"</svg>\n"_s;
    return svg;
}
