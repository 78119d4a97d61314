#include "tphotothumbpanel.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

constexpr QRgb Grey = qRgb(216, 216, 216);

// A colour of its own for every item, never the background or the frame.
QRgb ItemColour(int index)
{
    return qRgb(index % 200, (index / 200) % 200, 240);
}

QImage Flat(QRgb colour)
{
    QImage image(10, 10, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

// The panel as the main window's form sets it up: 384 x 260, cells of 110 x 90.
void SetUpAsForm(TPhotoThumbPanel &panel)
{
    panel.resize(384, 260);
    panel.setCellWidth(110);
    panel.setCellHeight(90);
}

void AddItems(TPhotoThumbPanel &panel, int count)
{
    for (int i = panel.ThumbItems().Count(); i < count; ++i) {
        TThumbItem *item = panel.ThumbItems().Add();
        item->setFileName(u"clip%1.avi"_s.arg(i));
        item->setBitmap(Flat(ItemColour(i)));
    }
}

QImage Render(TPhotoThumbPanel &panel)
{
    QImage image(panel.size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    panel.render(&image);
    return image;
}

int CountColour(const QImage &image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}

QStringList Names(const TPhotoThumbPanel &panel)
{
    QStringList names;
    for (int i = 0; i < panel.ThumbItems().Count(); ++i)
        names << panel.ThumbItems().Items(i)->FileName();
    return names;
}

void Release(QWidget *widget, QPoint position, Qt::MouseButton button)
{
    QMouseEvent event(QEvent::MouseButtonRelease, QPointF(position),
                      widget->mapToGlobal(QPointF(position)), button, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Records the rectangle of every paint event a widget receives.
class TPaintSpy : public QObject
{
public:
    explicit TPaintSpy(QWidget *widget) { widget->installEventFilter(this); }
    QList<QRect> Rects;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            Rects << static_cast<QPaintEvent *>(event)->rect();
        return false;
    }
};

} // namespace

class TestPhotoThumbPanel : public QObject
{
    Q_OBJECT

private slots:
    void defaults();
    void emptyListIsPlainGrey();
    void cellOrigins_data();
    void cellOrigins();
    void stretchWithoutSmoothing();
    void selectionFrame_data();
    void selectionFrame();
    void growth_data();
    void growth();
    void neverShrinks();
    void paintAfterUnannouncedAddsGrows();
    void growthReachesScrollBar();
    void narrowerThanOnePitch();
    void cellSizeStaysPositive();
    void hitTest_data();
    void hitTest();
    void keys_data();
    void keys();
    void keyReleaseActs();
    void everyWriteRepaintsAtOnce();
    void longListComposesVisibleAreaOnly();
};

// Guards against constructor values that differ from what the form expects to override.
void TestPhotoThumbPanel::defaults()
{
    TPhotoThumbPanel panel;
    QCOMPARE(panel.CellWidth(), 40);
    QCOMPARE(panel.CellHeight(), 30);
    QCOMPARE(panel.SelectedIndex(), -1);
    QCOMPARE(panel.ThumbItems().Count(), 0);
    QVERIFY(panel.testAttribute(Qt::WA_OpaquePaintEvent));
    // The form sets these through the property system, by name.
    QVERIFY(panel.setProperty("CellWidth", 110));
    QVERIFY(panel.setProperty("SelectedIndex", 1));
    QCOMPARE(panel.CellWidth(), 110);
    QCOMPARE(panel.SelectedIndex(), 1);
}

// Guards against leftover pixels or a frame on an empty list (the erase is suppressed).
void TestPhotoThumbPanel::emptyListIsPlainGrey()
{
    TPhotoThumbPanel panel;
    SetUpAsForm(panel);
    panel.setSelectedIndex(0);
    const QImage image = Render(panel);
    QCOMPARE(CountColour(image, Grey), 384 * 260);
}

void TestPhotoThumbPanel::cellOrigins_data()
{
    QTest::addColumn<QSize>("cell");
    QTest::addColumn<int>("index");
    QTest::addColumn<QPoint>("origin");
    QTest::newRow("form cells, first") << QSize(110, 90) << 0 << QPoint(5, 5);
    QTest::newRow("form cells, second column") << QSize(110, 90) << 1 << QPoint(120, 5);
    QTest::newRow("form cells, third column") << QSize(110, 90) << 2 << QPoint(235, 5);
    QTest::newRow("form cells, second row") << QSize(110, 90) << 4 << QPoint(120, 100);
    QTest::newRow("form cells, third row") << QSize(110, 90) << 8 << QPoint(235, 195);
    QTest::newRow("default cells: 8 columns") << QSize(40, 30) << 9 << QPoint(50, 40);
}

// Guards against an off-by-one in the pitch, the gaps or the column count.
void TestPhotoThumbPanel::cellOrigins()
{
    QFETCH(QSize, cell);
    QFETCH(int, index);
    QFETCH(QPoint, origin);
    TPhotoThumbPanel panel;
    panel.resize(384, 260);
    panel.setCellWidth(cell.width());
    panel.setCellHeight(cell.height());
    AddItems(panel, 10);
    panel.DrawThumbs();
    const QImage image = Render(panel);
    const QRgb colour = ItemColour(index);
    const QPoint last = origin + QPoint(cell.width() - 1, cell.height() - 1);
    QCOMPARE(image.pixel(origin), colour);
    QCOMPARE(image.pixel(last), colour);
    QCOMPARE(image.pixel(origin - QPoint(1, 1)), Grey);
    QCOMPARE(image.pixel(last + QPoint(1, 1)), Grey);
    QCOMPARE(CountColour(image, colour), cell.width() * cell.height());
    if (cell == QSize(110, 90)) {
        // The 39 pixels right of the third column stay background.
        QCOMPARE(CountColour(image.copy(345, 0, 39, 260), Grey), 39 * 260);
    }
}

// Guards against a smoothed stretch that blends neighbouring pixels.
void TestPhotoThumbPanel::stretchWithoutSmoothing()
{
    TPhotoThumbPanel panel;
    SetUpAsForm(panel);
    QImage picture(2, 1, QImage::Format_RGB888);
    picture.setPixel(0, 0, qRgb(0, 0, 0));
    picture.setPixel(1, 0, qRgb(255, 255, 255));
    panel.ThumbItems().Add()->setBitmap(picture);
    panel.DrawThumbs();
    const QImage cell = Render(panel).copy(5, 5, 110, 90);
    QCOMPARE(CountColour(cell.copy(0, 0, 55, 90), qRgb(0, 0, 0)), 55 * 90);
    QCOMPARE(CountColour(cell.copy(55, 0, 55, 90), qRgb(255, 255, 255)), 55 * 90);
}

void TestPhotoThumbPanel::selectionFrame_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("framed");
    QTest::newRow("second item framed") << 1 << true;
    QTest::newRow("-1 frames nothing") << -1 << false;
    QTest::newRow("5 with 3 items frames nothing") << 5 << false;
}

// Guards against a frame on a non-item, a frame that covers the picture, and an index that the
// drawing changes.
void TestPhotoThumbPanel::selectionFrame()
{
    QFETCH(int, selected);
    QFETCH(bool, framed);
    TPhotoThumbPanel panel;
    SetUpAsForm(panel);
    AddItems(panel, 3);
    panel.setSelectedIndex(selected);
    const QImage image = Render(panel);
    QCOMPARE(panel.SelectedIndex(), selected);
    const QRgb frame = TPhotoThumbPanel::FrameColor;
    if (!framed) {
        QCOMPARE(CountColour(image, frame), 0);
        return;
    }
    // A 2-pixel ring just outside the 110 x 90 cell at (120, 5).
    QCOMPARE(CountColour(image, frame), 114 * 94 - 110 * 90);
    QCOMPARE(CountColour(image.copy(118, 3, 114, 94), frame), 114 * 94 - 110 * 90);
    QCOMPARE(CountColour(image.copy(120, 5, 110, 90), ItemColour(1)), 110 * 90);
}

void TestPhotoThumbPanel::growth_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("height");
    QTest::newRow("6 items fit") << 6 << 260;
    QTest::newRow("7th item grows to 290") << 7 << 290;
    QTest::newRow("9 items still 290") << 9 << 290;
    QTest::newRow("10th item grows to 385") << 10 << 385;
    QTest::newRow("13th item grows to 480") << 13 << 480;
}

// Guards against growing too early, too late, or by the wrong amount.
void TestPhotoThumbPanel::growth()
{
    QFETCH(int, count);
    QFETCH(int, height);
    TPhotoThumbPanel panel;
    SetUpAsForm(panel);
    for (int i = 1; i <= count; ++i) {
        AddItems(panel, i);
        panel.setSelectedIndex(0);
    }
    QCOMPARE(panel.height(), height);
    QCOMPARE(panel.width(), 384);
    // The last item is drawn in its row.
    const int row = (count - 1) / 3, column = (count - 1) % 3;
    QCOMPARE(Render(panel).pixel(5 + 115 * column, 5 + 95 * row), ItemColour(count - 1));
}

// Guards against shrinking after removals, which would make the scroll area jump.
void TestPhotoThumbPanel::neverShrinks()
{
    TPhotoThumbPanel panel;
    SetUpAsForm(panel);
    AddItems(panel, 13);
    panel.DrawThumbs();
    QCOMPARE(panel.height(), 480);
    panel.ThumbItems().Delete(12);
    panel.ThumbItems().Delete(0);
    panel.setSelectedIndex(0);
    QCOMPARE(panel.height(), 480);
    panel.ThumbItems().Clear();
    panel.DrawThumbs();
    QCOMPARE(panel.height(), 480);
    QCOMPARE(CountColour(Render(panel), Grey), 384 * 480);
}

// Guards against rows that stay out of reach when the list grew without a redraw and a paint
// comes first (the growth follows the paint instead of resizing inside it).
void TestPhotoThumbPanel::paintAfterUnannouncedAddsGrows()
{
    TPhotoThumbPanel panel;
    SetUpAsForm(panel);
    AddItems(panel, 7);
    Render(panel);
    QCOMPARE(panel.height(), 260);
    QTRY_COMPARE(panel.height(), 290);
}

// Guards against a growth that the surrounding scroll area does not see.
void TestPhotoThumbPanel::growthReachesScrollBar()
{
    QScrollArea area;
    area.resize(400, 270);
    auto *panel = new TPhotoThumbPanel;
    SetUpAsForm(*panel);
    area.setWidget(panel);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    AddItems(*panel, 7);
    panel->setSelectedIndex(0);
    QCOMPARE(panel->height(), 290);
    QTRY_COMPARE(area.verticalScrollBar()->maximum(), 290 - area.viewport()->height());
    QVERIFY(area.verticalScrollBar()->maximum() > 0);
}

// Guards against a division by zero when not even one column fits.
void TestPhotoThumbPanel::narrowerThanOnePitch()
{
    TPhotoThumbPanel panel;
    panel.resize(114, 100);
    panel.setCellWidth(110);
    panel.setCellHeight(90);
    AddItems(panel, 4);
    panel.setSelectedIndex(0);
    QCOMPARE(panel.height(), 100);
    QCOMPARE(CountColour(Render(panel), Grey), 114 * 100);
    Release(&panel, QPoint(50, 150), Qt::LeftButton);
    QCOMPARE(panel.SelectedIndex(), 0);
}

// Guards against a zero or negative cell size reaching a division.
void TestPhotoThumbPanel::cellSizeStaysPositive()
{
    TPhotoThumbPanel panel;
    panel.resize(100, 10);
    panel.setCellWidth(0);
    panel.setCellHeight(-5);
    QCOMPARE(panel.CellWidth(), 1);
    QCOMPARE(panel.CellHeight(), 1);
    AddItems(panel, 40);
    panel.setSelectedIndex(0);
    Release(&panel, QPoint(20, 20), Qt::LeftButton);
    // 16 columns of pitch 6; row 3, column 3.
    QCOMPARE(panel.SelectedIndex(), 3 * 16 + 3);
    QCOMPARE(panel.height(), 3 * 6 + 5);
}

void TestPhotoThumbPanel::hitTest_data()
{
    QTest::addColumn<QPoint>("position");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<int>("selected");
    QTest::newRow("gap above the first cell") << QPoint(3, 3) << Qt::LeftButton << 0;
    QTest::newRow("gap left of the second cell") << QPoint(117, 3) << Qt::LeftButton << 1;
    QTest::newRow("strip right of the third column") << QPoint(350, 3) << Qt::LeftButton << 3;
    QTest::newRow("inside the fifth cell") << QPoint(150, 150) << Qt::LeftButton << 4;
    QTest::newRow("below the last item") << QPoint(10, 250) << Qt::LeftButton << 6;
    QTest::newRow("right button") << QPoint(240, 10) << Qt::RightButton << 2;
    QTest::newRow("middle button") << QPoint(130, 10) << Qt::MiddleButton << 1;
}

// Guards against hit areas that leave out the gaps, bounds that the control does not have, and
// buttons that do not select.
void TestPhotoThumbPanel::hitTest()
{
    QFETCH(QPoint, position);
    QFETCH(Qt::MouseButton, button);
    QFETCH(int, selected);
    TPhotoThumbPanel panel;
    SetUpAsForm(panel);
    AddItems(panel, 5);
    panel.DrawThumbs();
    Release(&panel, position, button);
    QCOMPARE(panel.SelectedIndex(), selected);
}

void TestPhotoThumbPanel::keys_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("selectedAfter");
    QTest::addColumn<QStringList>("namesAfter");

    const QStringList three = {u"clip0.avi"_s, u"clip1.avi"_s, u"clip2.avi"_s};
    QTest::newRow("Right moves on") << 3 << 0 << int(Qt::Key_Right) << 1 << three;
    QTest::newRow("Right stops at the last") << 3 << 2 << int(Qt::Key_Right) << 2 << three;
    QTest::newRow("Right from -1 selects the first") << 3 << -1 << int(Qt::Key_Right) << 0 << three;
    QTest::newRow("Right from beyond selects the last")
        << 3 << 7 << int(Qt::Key_Right) << 2 << three;
    QTest::newRow("Left moves back") << 3 << 2 << int(Qt::Key_Left) << 1 << three;
    QTest::newRow("Left stays at 0") << 3 << 0 << int(Qt::Key_Left) << 0 << three;
    QTest::newRow("Left keeps -1") << 3 << -1 << int(Qt::Key_Left) << -1 << three;
    QTest::newRow("Left from beyond selects the last") << 3 << 5 << int(Qt::Key_Left) << 2 << three;
    QTest::newRow("Delete keeps the position")
        << 3 << 1 << int(Qt::Key_Delete) << 1 << QStringList {u"clip0.avi"_s, u"clip2.avi"_s};
    QTest::newRow("Delete on the last item selects the new last")
        << 3 << 2 << int(Qt::Key_Delete) << 1 << QStringList {u"clip0.avi"_s, u"clip1.avi"_s};
    QTest::newRow("Delete of the only item leaves -1")
        << 1 << 0 << int(Qt::Key_Delete) << -1 << QStringList();
    QTest::newRow("Delete with -1 does nothing") << 3 << -1 << int(Qt::Key_Delete) << -1 << three;
    QTest::newRow("Delete beyond the items does nothing")
        << 3 << 5 << int(Qt::Key_Delete) << 5 << three;
    QTest::newRow("Delete on an empty list does nothing")
        << 0 << -1 << int(Qt::Key_Delete) << -1 << QStringList();
    QTest::newRow("Right on an empty list does nothing")
        << 0 << 4 << int(Qt::Key_Right) << 4 << QStringList();
    QTest::newRow("Up does nothing") << 3 << 1 << int(Qt::Key_Up) << 1 << three;
    QTest::newRow("Down does nothing") << 3 << 1 << int(Qt::Key_Down) << 1 << three;
    QTest::newRow("other keys do nothing") << 3 << 9 << int(Qt::Key_A) << 9 << three;
}

// Guards against wrapping, missing clamps, deleting a non-item and acting on an empty list.
void TestPhotoThumbPanel::keys()
{
    QFETCH(int, count);
    QFETCH(int, selected);
    QFETCH(int, key);
    QFETCH(int, selectedAfter);
    QFETCH(QStringList, namesAfter);
    TPhotoThumbPanel panel;
    SetUpAsForm(panel);
    AddItems(panel, count);
    panel.setSelectedIndex(selected);
    panel.KeyUp(key, Qt::NoModifier);
    QCOMPARE(panel.SelectedIndex(), selectedAfter);
    QCOMPARE(Names(panel), namesAfter);
    // The drawing shows the new state: the frame sits on the selected item, if any.
    const QImage image = Render(panel);
    const bool framed = selectedAfter >= 0 && selectedAfter < namesAfter.size();
    QCOMPARE(CountColour(image, TPhotoThumbPanel::FrameColor) > 0, framed);
    if (framed) {
        const QPoint origin(5 + 115 * (selectedAfter % 3), 5 + 95 * (selectedAfter / 3));
        QCOMPARE(image.pixel(origin - QPoint(1, 1)), TPhotoThumbPanel::FrameColor);
    }
}

// Guards against key releases sent to the control itself being lost, or acted on at every
// auto-repeat.
void TestPhotoThumbPanel::keyReleaseActs()
{
    TPhotoThumbPanel panel;
    SetUpAsForm(panel);
    AddItems(panel, 3);
    panel.setSelectedIndex(0);
    QKeyEvent repeat(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(&panel, &repeat);
    QCOMPARE(panel.SelectedIndex(), 0);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(&panel, &release);
    QCOMPARE(panel.SelectedIndex(), 1);
}

// Guards against a deferred update where the selection must show at once, and against a write
// of the same value being skipped.
void TestPhotoThumbPanel::everyWriteRepaintsAtOnce()
{
    TPhotoThumbPanel hidden;
    SetUpAsForm(hidden);
    AddItems(hidden, 3);
    hidden.setSelectedIndex(1);
    hidden.DrawThumbs();

    TPhotoThumbPanel panel;
    SetUpAsForm(panel);
    AddItems(panel, 3);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    TPaintSpy spy(&panel);
    panel.setSelectedIndex(1);
    QCOMPARE(spy.Rects.size(), 1);
    panel.setSelectedIndex(1);
    QCOMPARE(spy.Rects.size(), 2);
    QCOMPARE(spy.Rects.last(), panel.rect());
}

// Guards against composing the whole control (hundreds of megabytes for a long list) when only
// the visible part is painted, and against misplacing cells far down the list.
void TestPhotoThumbPanel::longListComposesVisibleAreaOnly()
{
    QScrollArea area;
    area.resize(384, 260);
    auto *panel = new TPhotoThumbPanel;
    SetUpAsForm(*panel);
    area.setWidget(panel);
    AddItems(*panel, 10000);
    area.show();
    QVERIFY(QTest::qWaitForWindowExposed(&area));
    panel->setSelectedIndex(9999);
    QCOMPARE(panel->height(), 3334 * 95 + 5);

    TPaintSpy spy(panel);
    area.verticalScrollBar()->setValue(area.verticalScrollBar()->maximum());
    panel->DrawThumbs();
    QVERIFY(!spy.Rects.isEmpty());
    const QSize viewport = area.viewport()->size();
    for (const QRect &rect : std::as_const(spy.Rects))
        QVERIFY2(rect.width() <= viewport.width() && rect.height() <= viewport.height(),
                 qPrintable(u"painted %1 x %2"_s.arg(rect.width()).arg(rect.height())));

    // The last item, first column of the last row, at y = 5 x 3334 + 90 x 3333 in the panel.
    const QImage shown = area.viewport()->grab().toImage();
    const int top = 5 * 3334 + 90 * 3333 - area.verticalScrollBar()->value();
    QVERIFY(top > 0 && top + 90 <= shown.height());
    QCOMPARE(shown.pixel(5 + 50, top + 45), ItemColour(9999));
    QCOMPARE(shown.pixel(4, top - 1), TPhotoThumbPanel::FrameColor);
    QCOMPARE(shown.pixel(120 + 50, top + 45), Grey);
}

QTEST_MAIN(TestPhotoThumbPanel)
#include "tst_photothumbpanel.moc"
