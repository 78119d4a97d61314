#include "tflatprogressbar.h"

#include <QTest>

namespace {

// Counts the runs of element-coloured pixels along the middle row and checks their widths.
struct TBlockScan
{
    int Blocks = 0;
    QList<int> Widths;
    QList<int> Gaps;
};

TBlockScan Scan(const QImage &image, QColor element)
{
    TBlockScan scan;
    const int y = image.height() / 2;
    int run = 0;
    int gap = -1;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, y) == element) {
            if (run == 0 && gap >= 0)
                scan.Gaps << gap;
            ++run;
            gap = 0;
        } else {
            if (run) {
                scan.Widths << run;
                ++scan.Blocks;
            }
            run = 0;
            if (gap >= 0)
                ++gap;
        }
    }
    return scan;
}

} // namespace

class TestFlatProgressBar : public QObject
{
    Q_OBJECT

private slots:
    void blocks_data();
    void blocks();
};

void TestFlatProgressBar::blocks_data()
{
    QTest::addColumn<int>("min");
    QTest::addColumn<int>("max");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("expectedBlocks");
    // 129 wide: the 125 pixels inside the frame and its one-pixel air hold 14 blocks (14 x 9 - 1).
    QTest::newRow("empty") << 0 << 100 << 0 << 0;
    QTest::newRow("half") << 0 << 100 << 50 << 7;
    QTest::newRow("95 percent") << 0 << 100 << 95 << 13;
    QTest::newRow("full") << 0 << 100 << 100 << 14;
    QTest::newRow("beyond max is full") << 0 << 100 << 150 << 14;
    QTest::newRow("below min is empty") << 10 << 20 << 5 << 0;
    QTest::newRow("offset range") << 10 << 20 << 15 << 7;
    QTest::newRow("max equals min") << 5 << 5 << 5 << 0;
}

// Guards against a bar whose blocks do not follow the share of Position, lose their 8+1 rhythm,
// or overrun the frame.
void TestFlatProgressBar::blocks()
{
    QFETCH(int, min);
    QFETCH(int, max);
    QFETCH(int, position);
    QFETCH(int, expectedBlocks);

    TFlatProgressBar bar;
    bar.resize(129, 16);
    bar.setMin(min);
    bar.setMax(max);
    bar.setPosition(position);
    bar.setColorElement(QColor(128, 0, 128));
    bar.setColorBorder(QColor(128, 0, 0));
    QImage image(bar.size(), QImage::Format_RGB32);
    bar.render(&image);

    const TBlockScan scan = Scan(image, bar.ColorElement());
    QCOMPARE(scan.Blocks, expectedBlocks);
    for (int width : scan.Widths)
        QCOMPARE(width, 8);
    for (int gap : scan.Gaps)
        QCOMPARE(gap, 1);
    for (const QPoint corner : {QPoint(0, 0), QPoint(128, 0), QPoint(0, 15), QPoint(128, 15),
                                QPoint(64, 0), QPoint(0, 8)})
        QCOMPARE(image.pixelColor(corner), bar.ColorBorder());
    if (expectedBlocks)
        QCOMPARE(image.pixelColor(2, 2), bar.ColorElement());
    QVERIFY(image.pixelColor(127, 8) != bar.ColorElement()); // the air inside the frame
}

QTEST_MAIN(TestFlatProgressBar)
#include "tst_tflatprogressbar.moc"
