#include "tmouseeffectimage.h"
#include "ttwostatespicbutton.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QPixmap Solid(QColor color, QSize size)
{
    QPixmap pixmap(size);
    pixmap.fill(color);
    return pixmap;
}

// Which of the test pictures the control shows, told by the colour of its top-left pixel.
QString LookOf(const TImage &control)
{
    const QPixmap picture = control.Picture();
    if (picture.isNull())
        return u"empty"_s;
    const QColor color = picture.toImage().pixelColor(0, 0);
    if (color == Qt::red)
        return u"origin"_s;
    if (color == Qt::green)
        return u"over"_s;
    if (color == Qt::blue)
        return u"down"_s;
    if (color == Qt::yellow)
        return u"up"_s;
    return color.name();
}

// Drives a shown window: free moves go through the window (Qt's own enter and leave); presses,
// releases and moves with a button held go to the control, as Qt's implicit grab delivers them.
class TPointer
{
public:
    TPointer(QWidget *host, TImage *control)
        : FHost(host)
        , FControl(control)
    {
    }

    void Step(const QString &step)
    {
        const QPoint inside = FControl->rect().center();
        const QPoint outside = FControl->mapFrom(FHost, QPoint(5, 5));
        if (step == u"enter" || step == u"movein")
            Move(inside);
        else if (step == u"leave" || step == u"moveout")
            Move(outside);
        else if (step == u"press")
            QTest::mousePress(FControl, Qt::LeftButton, {}, inside), FHeld = true;
        else if (step == u"rightpress")
            QTest::mousePress(FControl, Qt::RightButton, {}, inside);
        else if (step == u"rightrelease")
            QTest::mouseRelease(FControl, Qt::RightButton, {}, inside);
        else if (step == u"release")
            QTest::mouseRelease(FControl, Qt::LeftButton, {}, inside), FHeld = false;
        else if (step == u"releaseout")
            QTest::mouseRelease(FControl, Qt::LeftButton, {}, outside), FHeld = false;
        else
            QFAIL(qPrintable(u"unknown step "_s + step));
    }

private:
    void Move(QPoint local)
    {
        if (!FHeld) {
            QTest::mouseMove(FHost, FControl->mapTo(FHost, local));
            return;
        }
        QMouseEvent move(QEvent::MouseMove, local, FControl->mapToGlobal(local), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(FControl, &move);
    }

    QWidget *FHost;
    TImage *FControl;
    bool FHeld = false;
};

} // namespace

class TestPictureControls : public QObject
{
    Q_OBJECT

private slots:
    void mouseEffectSequences_data();
    void mouseEffectSequences();
    void mouseEffectPictureWrites();
    void twoStatesSequences_data();
    void twoStatesSequences();
    void twoStatesPictureWrites();
};

void TestPictureControls::mouseEffectSequences_data()
{
    QTest::addColumn<bool>("revertOnLeave");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("looks");
    QTest::addColumn<int>("clicks");

    const QStringList plainClick{u"enter"_s, u"press"_s, u"release"_s, u"leave"_s};
    QTest::newRow("click, revert off") << false << plainClick
        << QStringList{u"over"_s, u"down"_s, u"origin"_s, u"origin"_s} << 1;
    QTest::newRow("click, revert on") << true << plainClick
        << QStringList{u"over"_s, u"down"_s, u"down"_s, u"origin"_s} << 1;

    const QStringList outAndBack{u"enter"_s, u"press"_s, u"moveout"_s, u"movein"_s, u"release"_s};
    QTest::newRow("out and back in, revert off") << false << outAndBack
        << QStringList{u"over"_s, u"down"_s, u"origin"_s, u"over"_s, u"origin"_s} << 1;
    QTest::newRow("out and back in, revert on") << true << outAndBack
        << QStringList{u"over"_s, u"down"_s, u"origin"_s, u"over"_s, u"over"_s} << 1;

    const QStringList releaseOutside{u"enter"_s, u"press"_s, u"moveout"_s, u"releaseout"_s};
    QTest::newRow("release outside, revert off") << false << releaseOutside
        << QStringList{u"over"_s, u"down"_s, u"origin"_s, u"origin"_s} << 0;
    QTest::newRow("release outside, revert on") << true << releaseOutside
        << QStringList{u"over"_s, u"down"_s, u"origin"_s, u"origin"_s} << 0;

    QTest::newRow("right button changes nothing") << false
        << QStringList{u"enter"_s, u"rightpress"_s, u"rightrelease"_s}
        << QStringList{u"over"_s, u"over"_s, u"over"_s} << 0;
}

// Guards against the look changing after the owner's handler, lost clicks, or clicks raised for a
// release outside the control.
void TestPictureControls::mouseEffectSequences()
{
    QFETCH(bool, revertOnLeave);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, looks);
    QFETCH(int, clicks);

    QWidget host;
    host.resize(400, 200);
    auto *button = new TMouseEffectImage(&host);
    button->move(100, 80);
    button->setOriginPicture(Solid(Qt::red, {170, 28}));
    button->setOverPicture(Solid(Qt::green, {170, 28}));
    button->setDownPicture(Solid(Qt::blue, {170, 28}));
    button->setRevertOnLeave(revertOnLeave);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QTest::mouseMove(&host, {5, 5});

    QStringList looksAtClick;
    connect(button, &TImage::Clicked, this, [&] { looksAtClick << LookOf(*button); });

    TPointer pointer(&host, button);
    QStringList seen;
    for (const QString &step : steps) {
        pointer.Step(step);
        seen << LookOf(*button);
    }
    QCOMPARE(seen, looks);
    QCOMPARE(looksAtClick.size(), clicks);
    // The handler sees the look of the release already in place.
    if (clicks)
        QCOMPARE(looksAtClick.first(), revertOnLeave ? seen.at(steps.indexOf(u"release"_s))
                                                     : u"origin"_s);
}

// Guards against picture writes that change the display when they should not, or the reverse,
// and against AutoSize moving the control.
void TestPictureControls::mouseEffectPictureWrites()
{
    TMouseEffectImage button;
    button.move(446, 183);
    QCOMPARE(button.AutoSize(), true);
    button.setOverPicture(Solid(Qt::green, {170, 28}));
    button.setDownPicture(Solid(Qt::blue, {170, 28}));
    QCOMPARE(LookOf(button), u"empty"_s);
    button.setOriginPicture(Solid(Qt::red, {120, 40}));
    QCOMPARE(LookOf(button), u"origin"_s);
    QCOMPARE(button.geometry(), QRect(446, 183, 120, 40));
    // An empty look draws nothing and keeps the size.
    button.setOriginPicture(QPixmap());
    QCOMPARE(LookOf(button), u"empty"_s);
    QCOMPARE(button.size(), QSize(120, 40));
    button.setOriginPicture(Solid(Qt::red, {170, 28}));
    QCOMPARE(button.geometry(), QRect(446, 183, 170, 28));
}

void TestPictureControls::twoStatesSequences_data()
{
    QTest::addColumn<bool>("startDown");
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("looks");
    QTest::addColumn<int>("clicks");
    QTest::newRow("click up tab") << false << QStringList{u"press"_s, u"release"_s}
                                  << QStringList{u"up"_s, u"down"_s} << 1;
    QTest::newRow("click down tab") << true << QStringList{u"press"_s, u"release"_s}
                                    << QStringList{u"down"_s, u"up"_s} << 1;
    QTest::newRow("release outside") << false
        << QStringList{u"press"_s, u"moveout"_s, u"releaseout"_s}
        << QStringList{u"up"_s, u"up"_s, u"up"_s} << 0;
}

// Guards against a tab that changes on press, fires without a completed click, or lets its owner
// see the old state.
void TestPictureControls::twoStatesSequences()
{
    QFETCH(bool, startDown);
    QFETCH(QStringList, steps);
    QFETCH(QStringList, looks);
    QFETCH(int, clicks);

    QWidget host;
    host.resize(400, 200);
    auto *tab = new TTwoStatesPicButton(&host);
    tab->move(58, 31);
    tab->setUpPicture(Solid(Qt::yellow, {113, 50}));
    tab->setDownPicture(Solid(Qt::blue, {112, 50}));
    tab->setDownState(startDown);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));

    QList<bool> statesAtClick;
    connect(tab, &TImage::Clicked, this, [&] { statesAtClick << tab->DownState(); });
    TPointer pointer(&host, tab);
    QStringList seen;
    for (const QString &step : steps) {
        pointer.Step(step);
        seen << LookOf(*tab);
    }
    QCOMPARE(seen, looks);
    QCOMPARE(statesAtClick.size(), clicks);
    if (clicks)
        QCOMPARE(statesAtClick.first(), !startDown);
    // The up and down pictures differ by a pixel in width; the left and top edges stay.
    QCOMPARE(tab->pos(), QPoint(58, 31));
    QCOMPARE(tab->width(), tab->DownState() ? 112 : 113);
}

// Guards against UpPicture writes that flip the state and DownPicture writes that show at once.
void TestPictureControls::twoStatesPictureWrites()
{
    TTwoStatesPicButton tab;
    tab.setUpPicture(Solid(Qt::yellow, {113, 50}));
    tab.setDownPicture(Solid(Qt::blue, {112, 50}));
    tab.setDownState(true);
    QCOMPARE(LookOf(tab), u"down"_s);

    tab.setUpPicture(Solid(Qt::yellow, {113, 50}));
    QCOMPARE(LookOf(tab), u"up"_s);
    QCOMPARE(tab.DownState(), true);
    QSignalSpy clicked(&tab, &TImage::Clicked);
    tab.Click(); // down -> up: the look does not change on this click
    QCOMPARE(tab.DownState(), false);
    QCOMPARE(LookOf(tab), u"up"_s);
    QCOMPARE(clicked.count(), 1);

    tab.setDownPicture(Solid(Qt::red, {112, 50}));
    QCOMPARE(LookOf(tab), u"up"_s);
    tab.setDownState(false); // same value: copies the picture again, raises nothing
    QCOMPARE(LookOf(tab), u"up"_s);
    tab.setDownState(true);
    QCOMPARE(LookOf(tab), u"origin"_s); // the red picture written above
    QCOMPARE(clicked.count(), 1);
}

QTEST_MAIN(TestPictureControls)
#include "tst_picturecontrols.moc"
