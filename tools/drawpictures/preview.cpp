#include "preview.h"

#include <QDir>
#include <QPainter>
#include <QPainterPath>

#include "painthelpers.h"
#include "palette.h"
#include "pictures.h"

using namespace Qt::StringLiterals;

namespace {

// Stand-in for the window font (8 points at 96 dpi).
QFont WindowFont()
{
    return SansFont(11, false);
}

void Put(QPainter &p, const TPictureSet &set, const QString &name, QPoint at)
{
    p.drawImage(at, set.Shown.value(name));
}

void DrawCombo(QPainter &p, const QRect &r, const QString &text)
{
    p.setPen(QColor(0x7A, 0x7A, 0x80));
    p.setBrush(Qt::white);
    p.drawRect(r.adjusted(0, 0, -1, -1));
    const QRect arrow(r.right() - 16, r.top() + 2, 15, r.height() - 4);
    p.fillRect(arrow, QColor(0xE4, 0xE4, 0xE8));
    QPainterPath tri;
    const QPointF c = QRectF(arrow).center();
    tri.moveTo(c + QPointF(-3.5, -1.5));
    tri.lineTo(c + QPointF(3.5, -1.5));
    tri.lineTo(c + QPointF(0, 2.5));
    tri.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x30, 0x30, 0x30));
    p.drawPath(tri);
    DrawTextAt(p, QPointF(r.left() + 4, r.top() + 15), text, WindowFont(), Qt::black);
}

void DrawGroupBox(QPainter &p, const QRect &r, const QString &caption)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(r, Qt::white);
    const QRect frame = r.adjusted(0, 6, -1, -1);
    p.setPen(QColor(0xA0, 0xA0, 0xA6));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    p.setPen(Qt::white);
    p.drawRect(frame.adjusted(1, 1, 1, 1));
    const qreal w = TextWidth(caption, WindowFont());
    p.fillRect(QRectF(r.left() + 8, r.top(), w, 13), Qt::white);
    DrawTextAt(p, QPointF(r.left() + 8, r.top() + 11), caption, WindowFont(),
               QColor(0, 0x40, 0xA0));
    p.restore();
}

void DrawPushButton(QPainter &p, const QRect &r, const QString &text)
{
    p.setPen(QColor(0x70, 0x70, 0x76));
    p.setBrush(QColor(0xEC, 0xEC, 0xEE));
    p.drawRect(r.adjusted(0, 0, -1, -1));
    DrawTextCentred(p, r.left() + r.width() / 2.0, r.top() + r.height() / 2.0 + 4, text,
                    WindowFont(), Qt::black);
}

QImage ComposeWindow(const TPictureSet &set, int view, bool withList, const QString &hover,
                     const QString &status, bool converting)
{
    QImage image = set.Shown.value(u"background.jpg"_s).convertToFormat(QImage::Format_RGB32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    Put(p, set, u"minimize.bmp"_s, Place::Minimise.topLeft());
    Put(p, set, u"close.bmp"_s, Place::Close.topLeft());
    Put(p, set, view == 1 ? u"tab_output_down.bmp"_s : u"tab_output_up.bmp"_s,
        Place::TabOutput.topLeft());
    Put(p, set, view == 0 ? u"tab_add_down.bmp"_s : u"tab_add_up.bmp"_s, Place::TabAdd.topLeft());
    DrawTextAt(p, QPointF(Place::About.x(), Place::About.y() + 11), u"About "_s, WindowFont(),
               Qt::white);
    DrawTextAt(p, QPointF(Place::Status.x(), Place::Status.y() + 11), status, WindowFont(),
               Qt::black);
    if (converting) {
        const QRect bar = Place::Progress;
        p.save();
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QColor(0x80, 0, 0));
        p.setBrush(Qt::NoBrush);
        p.drawRect(bar.adjusted(0, 0, -1, -1));
        for (int x = bar.left() + 2; x + 8 < bar.left() + 2 + (bar.width() - 4) * 45 / 100; x += 9)
            p.fillRect(QRect(x, bar.top() + 2, 8, bar.height() - 4), QColor(0x80, 0, 0x80));
        p.restore();
    }
    if (view == 0) {
        auto button = [&](const QString &name, const QRect &place) {
            Put(p, set, name + (hover == name ? u"_over.bmp"_s : u".bmp"_s), place.topLeft());
        };
        button(u"btn_add"_s, Place::BtnAdd);
        button(u"btn_delete"_s, Place::BtnDelete);
        button(u"btn_delall"_s, Place::BtnDelAll);
        if (!withList) {
            Put(p, set, u"placeholder.jpg"_s, Place::Placeholder.topLeft());
        } else {
            const QRect box = Place::ScrollBox;
            p.save();
            p.setRenderHint(QPainter::Antialiasing, false);
            p.setPen(QColor(0x80, 0x80, 0x86));
            p.setBrush(Qt::white);
            p.drawRect(box.adjusted(0, 0, -1, -1));
            const QRect grid(box.left() + 7, box.top() + 8, 384, 260);
            for (int i = 0; i < 7; ++i) {
                const QRect cell(grid.left() + 4 + (i % 4) * 95, grid.top() + 4 + (i / 4) * 92, 88,
                                 84);
                if (i == 0)
                    p.fillRect(cell.adjusted(-2, -2, 2, 2), QColor(0x33, 0x66, 0xCC));
                QLinearGradient sky(cell.topLeft(), cell.bottomLeft());
                sky.setColorAt(0, QColor::fromHsv((i * 47) % 360, 90, 220));
                sky.setColorAt(1, QColor::fromHsv((i * 47 + 30) % 360, 160, 120));
                p.fillRect(cell.adjusted(0, 0, 0, -16), sky);
                p.fillRect(QRect(cell.left(), cell.bottom() - 15, cell.width(), 16),
                           QColor(0xF2, 0xF2, 0xF4));
                DrawTextAt(p, QPointF(cell.left() + 3, cell.bottom() - 3),
                           u"clip%1.avi"_s.arg(i + 1), WindowFont(), Qt::black);
            }
            p.restore();
        }
    } else {
        DrawGroupBox(p, Place::GroupOptions, u" Output Settings "_s);
        const QPoint o = Place::GroupOptions.topLeft();
        const struct
        {
            QPoint Label;
            QString Caption;
            QRect Box;
            QString Value;
        } rows[] = {
            {{14, 35}, u"Displaying Title:"_s, {101, 25, 293, 21}, QString()},
            {{14, 61}, u"Video Resolution:"_s, {101, 53, 97, 21}, u"320 x 240"_s},
            {{224, 57}, u"Video Aspect:"_s, {296, 51, 97, 21}, u"4:3"_s},
            {{14, 90}, u"Frame Rate::"_s, {101, 82, 97, 21}, u"15 fps"_s},
            {{224, 85}, u"Video Quality:"_s, {296, 79, 97, 21}, u"576 kbps"_s},
            {{14, 125}, u"Audio Quality:"_s, {101, 117, 97, 21}, u"128 kbps"_s},
            {{14, 153}, u"Sample Rate:"_s, {101, 145, 97, 21}, u"44100 HZ"_s},
            {{224, 123}, u"Channels:"_s, {296, 117, 97, 21}, u"Stereo"_s},
            {{224, 151}, u"Volume:"_s, {296, 145, 97, 21}, u"100%"_s},
        };
        for (const auto &row : rows) {
            DrawTextAt(p, QPointF(o + row.Label + QPoint(0, 11)), row.Caption, WindowFont(),
                       Qt::black);
            if (row.Value.isNull()) {
                p.setPen(QColor(0x7A, 0x7A, 0x80));
                p.setBrush(Qt::white);
                p.drawRect(row.Box.translated(o).adjusted(0, 0, -1, -1));
            } else {
                DrawCombo(p, row.Box.translated(o), row.Value);
            }
        }
        DrawGroupBox(p, Place::GroupPath, u" Output Folder :  "_s);
        const QPoint q = Place::GroupPath.topLeft();
        p.setPen(QColor(0x7A, 0x7A, 0x80));
        p.setBrush(Qt::white);
        p.drawRect(QRect(q + QPoint(11, 28), QSize(271, 21)).adjusted(0, 0, -1, -1));
        DrawTextAt(p, QPointF(q + QPoint(15, 43)), u"c:\\My_PSP\\"_s, WindowFont(), Qt::black);
        DrawPushButton(p, QRect(q + QPoint(287, 25), QSize(23, 23)), u"..."_s);
        DrawPushButton(p, QRect(q + QPoint(313, 25), QSize(75, 23)), u"Open"_s);
        Put(p, set, hover == u"btn_go"_s ? u"btn_go_over.bmp"_s : u"btn_go.bmp"_s,
            Place::BtnGo.topLeft());
    }
    p.end();
    return image;
}

QImage ComposeAbout(const TPictureSet &set)
{
    QImage image = set.Shown.value(u"about.jpg"_s).convertToFormat(QImage::Format_RGB32);
    QPainter p(&image);
    const QFont font = WindowFont();
    DrawTextAt(p, QPointF(AboutPlace::Version.left(), AboutPlace::Version.top() + 11),
               u"Version 2.00"_s, font, Qt::white);
    DrawTextAt(p, QPointF(AboutPlace::Mail.left(), AboutPlace::Mail.top() + 11),
               u"support@quenbry.example"_s, font, Qt::white);
    DrawTextAt(p, QPointF(AboutPlace::Url.left(), AboutPlace::Url.top() + 11),
               u"https://quenbry.example/"_s, font, Qt::white);
    // The bevel's lower edge: a dark line over a light one.
    const QRect bevel = AboutPlace::Bevel;
    p.fillRect(QRect(bevel.left(), bevel.bottom() - 1, bevel.width(), 1), QColor(0x80, 0x80, 0x80));
    p.fillRect(QRect(bevel.left(), bevel.bottom(), bevel.width(), 1), Qt::white);
    const QRect button = AboutPlace::Continue;
    DrawTextCentred(p, button.left() + button.width() / 2.0, button.top() + 17, u"Continue"_s, font,
                    QColor(0, 0x80, 0));
    p.end();
    return image;
}

// Every small picture enlarged without smoothing, on a neutral ground, with its name.
QImage ComposeSheet(const TPictureSet &set, int zoom)
{
    const QStringList names = {
        u"tab_add_up.bmp"_s,      u"tab_add_down.bmp"_s,    u"tab_output_up.bmp"_s,
        u"tab_output_down.bmp"_s, u"btn_add.bmp"_s,         u"btn_add_over.bmp"_s,
        u"btn_delete.bmp"_s,      u"btn_delete_over.bmp"_s, u"btn_delall.bmp"_s,
        u"btn_delall_over.bmp"_s, u"btn_go.bmp"_s,          u"btn_go_over.bmp"_s,
        u"minimize.bmp"_s,        u"close.bmp"_s,
    };
    const int columnWidth = 170 * zoom + 20;
    int height = 10;
    QList<QPoint> places;
    for (int i = 0; i < names.size(); i += 2) {
        const int rowHeight = std::max(set.Shown.value(names.at(i)).height(),
                                       set.Shown.value(names.value(i + 1)).height());
        places << QPoint(10, height + 16) << QPoint(10 + columnWidth, height + 16);
        height += 16 + rowHeight * zoom + 12;
    }
    QImage sheet = NewCanvas(QSize(2 * columnWidth + 10, height), QColor(0x80, 0x80, 0x88));
    QPainter p(&sheet);
    for (int i = 0; i < names.size(); ++i) {
        const QImage picture = set.Shown.value(names.at(i));
        DrawTextAt(p, QPointF(places.at(i) + QPoint(0, -4)),
                   u"%1  %2 x %3"_s.arg(names.at(i)).arg(picture.width()).arg(picture.height()),
                   SansFont(11, false), Qt::white);
        p.drawImage(places.at(i), picture.scaled(picture.size() * zoom));
    }
    p.end();
    return sheet;
}

// The icon at every size on a light and on a dark ground, as a desktop would show it.
QImage ComposeIcons(const TPictureSet &set)
{
    const QList<int> sizes = {256, 128, 64, 48};
    QImage sheet = NewCanvas(QSize(2 * (256 + 128 + 64 + 48 + 50), 276));
    QPainter p(&sheet);
    const int half = sheet.width() / 2;
    p.fillRect(QRect(0, 0, half, sheet.height()), QColor(0xF4, 0xF4, 0xF6));
    p.fillRect(QRect(half, 0, half, sheet.height()), QColor(0x30, 0x30, 0x36));
    for (const int ground : {0, half}) {
        int x = ground + 10;
        for (const int size : sizes) {
            p.drawImage(QPoint(x, 10), set.Shown.value(u"quenbry-%1.png"_s.arg(size)));
            x += size + 10;
        }
    }
    p.end();
    return sheet;
}

} // namespace

bool WritePreviews(const TPictureSet &set, const QString &folder, QString *error)
{
    if (!QDir().mkpath(folder)) {
        *error = u"cannot create %1"_s.arg(folder);
        return false;
    }
    const struct
    {
        QString Name;
        QImage Image;
    } previews[] = {
        {u"view0-empty.png"_s,
         ComposeWindow(set, 0, false, QString(), u"Add or delete video files. "_s, false)},
        {u"view0-list-hover.png"_s,
         ComposeWindow(set, 0, true, u"btn_add"_s, u"Add video(s)"_s, false)},
        {u"view1.png"_s,
         ComposeWindow(set, 1, false, QString(), u"Output settings view. "_s, false)},
        {u"view1-converting-hover.png"_s,
         ComposeWindow(set, 1, false, u"btn_go"_s, u"Generating c:\\My_PSP\\holiday.mp4 ..."_s,
                       true)},
        {u"about.png"_s, ComposeAbout(set)},
        {u"sheet-x4.png"_s, ComposeSheet(set, 4)},
        {u"icons.png"_s, ComposeIcons(set)},
    };
    for (const auto &preview : previews) {
        const QString path = QDir(folder).filePath(preview.Name);
        if (!preview.Image.save(path, "PNG")) {
            *error = u"cannot write %1"_s.arg(path);
            return false;
        }
    }
    return true;
}
