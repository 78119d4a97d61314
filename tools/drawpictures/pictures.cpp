#include "pictures.h"

#include <functional>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include "handheld.h"
#include "painthelpers.h"
#include "palette.h"

using namespace Qt::StringLiterals;

namespace {

QPainterPath RoundedPath(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

constexpr qreal PanelRadius = 12;
constexpr qreal WhiteRadius = 10;

// ---------------------------------------------------------------------------------------------
// Window background

QImage DrawBackground()
{
    QImage image = NewCanvas(Place::Window);
    QPainter p(&image);
    const QRectF all(QPointF(0, 0), QSizeF(Place::Window));

    // The casing: pink, finely striped, brightest at the top where the caption sits.
    FillStripedPink(p, all, QColor(0xFA, 0x9C, 0xCA), QColor(0xE2, 0x5E, 0x9E));
    p.setRenderHint(QPainter::Antialiasing);
    // A light rim along the top and a dark one around, since the window has no frame.
    p.fillRect(QRectF(0, 0, all.width(), 1), QColor(255, 255, 255, 110));
    p.setPen(QPen(Palette::PinkDark, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(all.adjusted(0.5, 0.5, -0.5, -0.5));

    // Caption: the icon and the program's name, above the tabs.
    // The icon's handheld is lost at caption size; its play mark on the dark tile is not.
    const QRectF mark(9.5, 5.5, 16, 16);
    QLinearGradient markFill(mark.topLeft(), mark.bottomLeft());
    markFill.setColorAt(0, Palette::PanelTop);
    markFill.setColorAt(1, Palette::NearBlack);
    p.setPen(QPen(Palette::PinkDark, 1));
    p.setBrush(markFill);
    p.drawRoundedRect(mark, 4, 4);
    DrawPlayMark(p, mark.adjusted(4, 4, -4, -4), Palette::Pink);
    DrawTextAt(p, QPointF(31, 19), u"Ostrel Quenbry"_s, SansFont(12, true), Qt::black);

    // The dark panel, with a soft shadow on the casing below it.
    const QRectF panel(Place::Panel);
    {
        QImage shadow = NewCanvas(Place::Window);
        QPainter sp(&shadow);
        sp.setRenderHint(QPainter::Antialiasing);
        sp.setPen(Qt::NoPen);
        sp.setBrush(QColor(0x5A, 0x0C, 0x34, 120));
        sp.drawPath(RoundedPath(panel.translated(0, 3), PanelRadius));
        sp.end();
        p.drawImage(0, 0, Blurred(shadow, 6));
    }
    QLinearGradient panelFill(panel.topLeft(), panel.bottomLeft());
    panelFill.setColorAt(0, Palette::PanelTop);
    panelFill.setColorAt(1, Palette::PanelBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(panelFill);
    p.drawPath(RoundedPath(panel, PanelRadius));

    // The white work area with its grey status strip.
    const QRectF white(Place::WhiteArea);
    const QPainterPath whitePath = RoundedPath(white, WhiteRadius);
    p.setPen(QPen(QColor(0x0E, 0x0E, 0x11), 1.2));
    p.setBrush(Qt::white);
    p.drawPath(whitePath);
    p.save();
    p.setClipPath(whitePath);
    const QRectF strip(white.left(), Place::StripTop, white.width(),
                       white.bottom() - Place::StripTop + 1);
    QLinearGradient stripFill(strip.topLeft(), strip.bottomLeft());
    stripFill.setColorAt(0, Palette::StripTop);
    stripFill.setColorAt(1, Palette::StripBottom);
    p.fillRect(strip, stripFill);
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(QRect(Place::WhiteArea.left(), Place::StripTop, Place::WhiteArea.width(), 1),
               Palette::StripLine);
    p.fillRect(QRect(Place::WhiteArea.left(), Place::StripTop + 1, Place::WhiteArea.width(), 1),
               QColor(255, 255, 255, 200));
    p.restore();
    DrawPersonBubbleIcon(p, QRectF(24, 417, 48, 35));

    // The product's mark in the free corner of the right column, above the buttons.
    p.drawImage(QPointF(454, 101), AppIcon(44));
    DrawTextAt(p, QPointF(507, 124), u"Quenbry"_s, SansFont(20, true), Qt::white);
    DrawTextAt(p, QPointF(508, 141), u"video for your PSP"_s, SansFont(10, false), Palette::Pink);
    p.end();
    return image;
}

// ---------------------------------------------------------------------------------------------
// Tabs

enum class TTabIcon { Plus, Pen };

QImage DrawTab(const QImage &shownBackground, const QRect &place, bool down, int figure,
               TTabIcon icon, const QString &label)
{
    const int width = down ? Place::TabDownWidth : place.width();
    // Start from the background under the tab, so its rounded corners blend into the band.
    QImage image = shownBackground.copy(QRect(place.topLeft(), QSize(width, place.height())));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal h = place.height();
    const QRectF shapeRect(0.5, 0.5, width - 1.0, h + 12);
    const QPainterPath shape = RoundedPath(shapeRect, 9);

    QLinearGradient fill(0, 0, 0, h);
    if (down) {
        // The active tab is cut from the panel itself: it ends in the panel's own colour.
        fill.setColorAt(0, QColor(0x50, 0x50, 0x58));
        fill.setColorAt(0.35, QColor(0x2A, 0x2A, 0x30));
        fill.setColorAt(1, Palette::PanelTop);
    } else {
        fill.setColorAt(0, QColor(0xFF, 0xE4, 0xF1));
        fill.setColorAt(0.5, Palette::PinkLight);
        fill.setColorAt(1, QColor(0xF4, 0x8A, 0xBE));
    }
    p.setPen(QPen(down ? QColor(0x14, 0x14, 0x17) : Palette::PinkDark, 1));
    p.setBrush(fill);
    p.drawPath(shape);
    // A highlight along the top edge, inside the outline.
    p.setPen(QPen(QColor(255, 255, 255, down ? 40 : 160), 1));
    p.setBrush(Qt::NoBrush);
    p.drawPath(RoundedPath(shapeRect.adjusted(1, 1, -1, 0), 8));

    const QColor ink = down ? Qt::white : Palette::Ink;
    const QColor figureInk = down ? Palette::Pink : Palette::PinkDark;
    DrawTextAt(p, QPointF(10, 40), QString::number(figure), SansFont(36, true), figureInk);
    const QRectF iconBox(38, 9, 16, 16);
    if (icon == TTabIcon::Plus)
        DrawPlusBadge(p, iconBox, down ? Palette::Pink : Palette::Ink,
                      down ? Palette::NearBlack : Qt::white);
    else
        DrawPenIcon(p, iconBox.adjusted(-1, -1, 1, 1), ink,
                    down ? Palette::Pink : Palette::PinkDark);
    DrawTextAt(p, QPointF(38, 40), label, SansFont(11, true), ink);
    p.end();
    return image;
}

// ---------------------------------------------------------------------------------------------
// Command buttons

using TIconPainter = std::function<void(QPainter &, const QRectF &, const QColor &)>;

void DrawPinkBar(QPainter &p, const QRectF &bar, qreal radius, bool bright)
{
    QLinearGradient fill(bar.topLeft(), bar.bottomLeft());
    if (bright) {
        fill.setColorAt(0, QColor(0xFF, 0xEC, 0xF5));
        fill.setColorAt(0.5, QColor(0xFF, 0xC6, 0xE1));
        fill.setColorAt(1, QColor(0xF7, 0x9C, 0xC8));
    } else {
        fill.setColorAt(0, QColor(0xFF, 0xC4, 0xE0));
        fill.setColorAt(0.5, Palette::Pink);
        fill.setColorAt(1, QColor(0xE2, 0x5C, 0x9C));
    }
    p.setPen(QPen(QColor(0x0C, 0x0C, 0x0E), 1));
    p.setBrush(fill);
    p.drawPath(RoundedPath(bar, radius));
    // Gloss on the upper half.
    const QRectF top = bar.adjusted(1.5, 1.5, -1.5, -bar.height() / 2);
    QLinearGradient gloss(top.topLeft(), top.bottomLeft());
    gloss.setColorAt(0, QColor(255, 255, 255, 150));
    gloss.setColorAt(1, QColor(255, 255, 255, 30));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawPath(RoundedPath(top, radius - 1.5));
}

QImage DrawCommandButton(const QImage &shownBackground, const QRect &place,
                         const TIconPainter &icon, const QString &label, bool over)
{
    QImage image = shownBackground.copy(place);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bar(0.5, 0.5, place.width() - 1.0, place.height() - 1.0);
    DrawPinkBar(p, bar, 7, over);
    const QColor ink = over ? Palette::HoverGreen : Palette::Ink;
    icon(p, QRectF(14, (place.height() - 18) / 2.0, 18, 18), ink);
    DrawTextAt(p, QPointF(44, place.height() / 2.0 + 4.5), label, SansFont(12, true), ink);
    p.end();
    return image;
}

QImage DrawGoButton(const QImage &shownBackground, const QRect &place, bool over)
{
    QImage image = shownBackground.copy(place);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF bar(0.5, 0.5, place.width() - 1.0, place.height() - 1.0);
    const QString word = u"GO"_s;
    const QFont font = SansFont(22, true);
    const qreal baseline = place.height() / 2.0 + 8;
    const qreal left = (place.width() - TextWidth(word, font)) / 2.0;
    if (!over) {
        DrawPinkBar(p, bar, 9, false);
        DrawTextAt(p, QPointF(left, baseline + 1), word, font, QColor(255, 255, 255, 110));
        DrawTextAt(p, QPointF(left, baseline), word, font, Palette::Ink);
    } else {
        // Deeper pink under white letters that glow: a blurred white halo, then the letters.
        QLinearGradient fill(bar.topLeft(), bar.bottomLeft());
        fill.setColorAt(0, QColor(0xF0, 0x6C, 0xAE));
        fill.setColorAt(0.5, Palette::PinkDeep);
        fill.setColorAt(1, QColor(0xB0, 0x2E, 0x72));
        p.setPen(QPen(QColor(0x0C, 0x0C, 0x0E), 1));
        p.setBrush(fill);
        p.drawPath(RoundedPath(bar, 9));
        const QRectF top = bar.adjusted(1.5, 1.5, -1.5, -bar.height() / 2);
        QLinearGradient gloss(top.topLeft(), top.bottomLeft());
        gloss.setColorAt(0, QColor(255, 255, 255, 110));
        gloss.setColorAt(1, QColor(255, 255, 255, 15));
        p.setPen(Qt::NoPen);
        p.setBrush(gloss);
        p.drawPath(RoundedPath(top, 7.5));

        QPainterPath letters;
        letters.addText(QPointF(left, baseline), font, word);
        auto layer = [&](const QColor &color, qreal spread, int blur) {
            QImage soft = NewCanvas(image.size());
            QPainter lp(&soft);
            lp.setRenderHint(QPainter::Antialiasing);
            lp.setPen(QPen(color, spread, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            lp.setBrush(color);
            lp.drawPath(letters);
            lp.end();
            return Blurred(soft, blur);
        };
        p.save();
        p.setClipPath(RoundedPath(bar, 9));
        // A dark rim keeps the white letters readable; the white halo makes them glow.
        p.drawImage(0, 0, layer(QColor(0x6A, 0x0E, 0x40, 170), 2.5, 2));
        p.drawImage(0, 0, layer(QColor(255, 255, 255, 120), 4, 8));
        p.restore();
        DrawTextAt(p, QPointF(left, baseline), word, font, Qt::white);
    }
    p.end();
    return image;
}

// ---------------------------------------------------------------------------------------------
// Minimise and close marks

QImage DrawMark(const QImage &shownBackground, const QRect &place, bool close)
{
    QImage image = shownBackground.copy(place);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(5.0, 5.5);
    const QColor base = close ? Palette::MarkRed : Palette::MarkGreen;
    QLinearGradient fill(0, 1, 0, 10);
    fill.setColorAt(0, base.lighter(135));
    fill.setColorAt(1, base.darker(115));
    p.setPen(QPen(base.darker(170), 0.9));
    p.setBrush(fill);
    p.drawEllipse(c, 4.45, 4.45);
    p.setPen(QPen(Qt::white, 1.3, Qt::SolidLine, Qt::RoundCap));
    if (close) {
        p.drawLine(c + QPointF(-1.7, -1.7), c + QPointF(1.7, 1.7));
        p.drawLine(c + QPointF(-1.7, 1.7), c + QPointF(1.7, -1.7));
    } else {
        p.drawLine(c + QPointF(-2.0, 0.4), c + QPointF(2.0, 0.4));
    }
    p.end();
    return image;
}

// ---------------------------------------------------------------------------------------------
// Placeholder of the empty video list

struct TSpan
{
    QString Text;
    bool Bold = false;
};

QImage DrawPlaceholder(const QImage &shownBackground)
{
    const QRect place = Place::Placeholder;
    // Cut from the background, so the white area's corners and edges line up exactly.
    QImage image = shownBackground.copy(place);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(-place.topLeft());
    p.setClipPath(RoundedPath(QRectF(Place::WhiteArea).adjusted(1, 1, -1, -1), WhiteRadius - 1));
    p.setClipRect(QRect(Place::WhiteArea.left(), Place::WhiteArea.top(), Place::WhiteArea.width(),
                        Place::StripTop - Place::WhiteArea.top()),
                  Qt::IntersectClip);
    const qreal cx = place.left() + place.width() / 2.0;

    DrawHandheld(p, QRectF(cx - 105, place.top() + 28, 210, 90), DarkHandheld());

    DrawTextCentred(p, cx, place.top() + 160, u"Quenbry"_s, SansFont(26, true), Palette::Ink);
    DrawTextCentred(p, cx, place.top() + 180, u"Your videos, ready for the PSP"_s,
                    SansFont(12, false), Palette::TextGrey);

    const QList<QList<TSpan>> steps = {
        {{u"Add videos"_s, true}, {u" with the Add file button"_s}},
        {{u"Set output parameters"_s, true}, {u" on the Output tab"_s}},
        {{u"Click "_s}, {u"GO"_s, true}, {u" to convert the videos to PSP (MP4)"_s}},
    };
    const QFont regular = SansFont(13, false);
    const QFont bold = SansFont(13, true);
    auto spanFont = [&](const TSpan &span) { return span.Bold ? bold : regular; };
    qreal widest = 0;
    for (const auto &step : steps) {
        qreal width = 0;
        for (const TSpan &span : step)
            width += TextWidth(span.Text, spanFont(span));
        widest = std::max(widest, width);
    }
    const qreal badge = 22;
    const qreal gap = 10;
    const qreal left = cx - (badge + gap + widest) / 2.0;
    for (int i = 0; i < steps.size(); ++i) {
        const qreal rowCentre = place.top() + 216 + i * 34;
        p.setPen(Qt::NoPen);
        QLinearGradient badgeFill(0, rowCentre - badge / 2, 0, rowCentre + badge / 2);
        badgeFill.setColorAt(0, Palette::Pink);
        badgeFill.setColorAt(1, Palette::PinkDeep);
        p.setBrush(badgeFill);
        p.drawEllipse(QPointF(left + badge / 2, rowCentre), badge / 2, badge / 2);
        DrawTextCentred(p, left + badge / 2, rowCentre + 5, QString::number(i + 1),
                        SansFont(13, true), Qt::white);
        qreal x = left + badge + gap;
        for (const TSpan &span : steps.at(i)) {
            DrawTextAt(p, QPointF(x, rowCentre + 5), span.Text, spanFont(span),
                       span.Bold ? Palette::Ink : Palette::TextGrey);
            x += TextWidth(span.Text, spanFont(span));
        }
    }
    p.end();
    return image;
}

// ---------------------------------------------------------------------------------------------
// About picture

QImage DrawAboutPicture()
{
    QImage image = NewCanvas(AboutPlace::Picture);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF all(QPointF(0, 0), QSizeF(AboutPlace::Picture));
    QLinearGradient fill(all.topLeft(), all.bottomLeft());
    fill.setColorAt(0, Palette::PanelTop);
    fill.setColorAt(1, QColor(0x10, 0x10, 0x13));
    p.fillRect(all, fill);
    // The casing's pink stripe along the top edge ties the dialog to the window.
    FillStripedPink(p, QRectF(0, 0, all.width(), 6), QColor(0xFA, 0x9C, 0xCA), Palette::PinkDeep);

    // Title: icon and name, centred as one group.
    const QFont titleFont = SansFont(28, true);
    const QString title = u"Quenbry"_s;
    const int iconSize = 36;
    const qreal groupWidth = iconSize + 10 + TextWidth(title, titleFont);
    const qreal groupLeft = (all.width() - groupWidth) / 2.0;
    p.drawImage(QPointF(groupLeft, 15), AppIcon(iconSize));
    DrawTextAt(p, QPointF(groupLeft + iconSize + 10, 44), title, titleFont, Qt::white);
    DrawTextCentred(p, all.width() / 2.0, 60, u"PSP VIDEO CONVERTER"_s, SansFont(9, true),
                    Palette::Pink);

    DrawHandheld(p, QRectF(95, 96, 110, 47), PinkHandheld());

    // Little marks before the e-mail and home-page lines.
    DrawEnvelopeIcon(p, QRectF(12, AboutPlace::Mail.top() + 0.5, 14, 12), Palette::Pink);
    DrawGlobeIcon(p, QRectF(12.5, AboutPlace::Url.top() + 0.5, 13, 13), Palette::Pink);

    // Below the dialog's rule, a light footer for the Continue button, where its green
    // caption reads well.
    const QRectF footer(0, AboutPlace::Bevel.bottom() + 1, all.width(),
                        all.height() - AboutPlace::Bevel.bottom() - 1);
    QLinearGradient footerFill(footer.topLeft(), footer.bottomLeft());
    footerFill.setColorAt(0, QColor(0xF2, 0xF2, 0xF5));
    footerFill.setColorAt(1, QColor(0xDE, 0xDE, 0xE4));
    p.fillRect(footer, footerFill);
    DrawTextAt(p, QPointF(14, 242), u"\u00A9 Ostrel. All rights reserved."_s, SansFont(9, false),
               QColor(0x70, 0x70, 0x7A));
    p.end();
    return image;
}

// ---------------------------------------------------------------------------------------------
// Output

QByteArray Encoded(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    // BMPs are written from an opaque 32-bit image, which Qt stores as 24 bits per pixel.
    const QImage source
        = qstrcmp(format, "bmp") == 0 ? image.convertToFormat(QImage::Format_RGB32) : image;
    writer.write(source);
    return bytes;
}

void AddJpeg(TPictureSet &set, const QString &name, const QImage &image)
{
    QByteArray bytes;
    set.Shown.insert(name, JpegRoundTrip(image, &bytes));
    set.Files.insert(name, bytes);
}

void AddBmp(TPictureSet &set, const QString &name, const QImage &image)
{
    const QImage opaque = image.convertToFormat(QImage::Format_RGB32);
    set.Shown.insert(name, opaque);
    set.Files.insert(name, Encoded(opaque, "bmp"));
}

} // namespace

TPictureSet DrawAllPictures()
{
    TPictureSet set;
    AddJpeg(set, u"background.jpg"_s, DrawBackground());
    const QImage back = set.Shown.value(u"background.jpg"_s);

    AddJpeg(set, u"placeholder.jpg"_s, DrawPlaceholder(back));

    AddBmp(set, u"tab_add_up.bmp"_s,
           DrawTab(back, Place::TabAdd, false, 1, TTabIcon::Plus, u"Add Video"_s));
    AddBmp(set, u"tab_add_down.bmp"_s,
           DrawTab(back, Place::TabAdd, true, 1, TTabIcon::Plus, u"Add Video"_s));
    AddBmp(set, u"tab_output_up.bmp"_s,
           DrawTab(back, Place::TabOutput, false, 2, TTabIcon::Pen, u"Output"_s));
    AddBmp(set, u"tab_output_down.bmp"_s,
           DrawTab(back, Place::TabOutput, true, 2, TTabIcon::Pen, u"Output"_s));

    const struct
    {
        QString Name;
        QRect Place;
        TIconPainter Icon;
        QString Label;
    } buttons[] = {
        {u"btn_add"_s, Place::BtnAdd, DrawPlusPageIcon, u"Add file"_s},
        {u"btn_delete"_s, Place::BtnDelete, DrawMinusIcon, u"Delete"_s},
        {u"btn_delall"_s, Place::BtnDelAll, DrawCircleArrowIcon, u"Delete all"_s},
    };
    for (const auto &button : buttons) {
        AddBmp(set, button.Name + u".bmp"_s,
               DrawCommandButton(back, button.Place, button.Icon, button.Label, false));
        AddBmp(set, button.Name + u"_over.bmp"_s,
               DrawCommandButton(back, button.Place, button.Icon, button.Label, true));
    }
    AddBmp(set, u"btn_go.bmp"_s, DrawGoButton(back, Place::BtnGo, false));
    AddBmp(set, u"btn_go_over.bmp"_s, DrawGoButton(back, Place::BtnGo, true));

    AddBmp(set, u"minimize.bmp"_s, DrawMark(back, Place::Minimise, false));
    AddBmp(set, u"close.bmp"_s, DrawMark(back, Place::Close, true));

    AddJpeg(set, u"about.jpg"_s, DrawAboutPicture());

    for (const int size : {256, 128, 64, 48}) {
        const QString name = u"quenbry-%1.png"_s.arg(size);
        const QImage icon = AppIcon(size);
        set.Shown.insert(name, icon);
        set.Files.insert(name, Encoded(icon, "png"));
    }
    set.Files.insert(u"quenbry.svg"_s, AppIconSvg().toUtf8());
    return set;
}

bool SavePictures(const TPictureSet &set, const QString &folder, QString *error)
{
    if (!QDir().mkpath(folder)) {
        *error = u"cannot create %1"_s.arg(folder);
        return false;
    }
    for (auto it = set.Files.cbegin(); it != set.Files.cend(); ++it) {
        QFile file(QDir(folder).filePath(it.key()));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(it.value()) != it.value().size()) {
            *error = u"cannot write %1: %2"_s.arg(file.fileName(), file.errorString());
            return false;
        }
    }
    return true;
}
