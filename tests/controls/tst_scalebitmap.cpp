#include "scalebitmap.h"

#include <QTest>

#include <functional>

using namespace Qt::StringLiterals;

using TPixelFunction = std::function<QRgb(int x, int y)>;
Q_DECLARE_METATYPE(TPixelFunction)

namespace {

QImage MakePicture(int width, int height, const TPixelFunction &pixel,
                   QImage::Format format = QImage::Format_RGB888)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, pixel(x, y));
    return image.convertToFormat(format);
}

QImage Uniform(int width, int height, int value)
{
    return MakePicture(width, height, [value](int, int) { return qRgb(value, value, value); });
}

// A picture in which every pixel differs from its neighbours, so a sharpening or a shift
// cannot go unseen.
QImage Noise(int width, int height)
{
    return MakePicture(width, height, [](int x, int y) {
        const uint v = uint(x * 7919 + y * 104729) * 2654435761u;
        return qRgb(int(v >> 24), int((v >> 16) & 0xff), int((v >> 8) & 0xff));
    });
}

QList<int> Counts(const std::vector<TScaleSpan> &spans)
{
    QList<int> counts;
    for (const TScaleSpan &span : spans)
        counts << span.Count;
    return counts;
}

// Every channel of every pixel of the picture.
QList<int> Channel(const QImage &image, int channel)
{
    QList<int> values;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            values << image.constScanLine(y)[x * 3 + channel];
    return values;
}

} // namespace

class TestScaleBitmap : public QObject
{
    Q_OBJECT

private slots:
    void spans_data();
    void spans();
    void blockAverage_data();
    void blockAverage();
    void copyWhenItFits_data();
    void copyWhenItFits();
    void sharpenReadsRowAboveSharpened();
    void unusedLastSource_data();
    void unusedLastSource();
    void shorterThanSize_data();
    void shorterThanSize();
    void eightBitSource_data();
    void eightBitSource();
};

void TestScaleBitmap::spans_data()
{
    QTest::addColumn<int>("length");
    QTest::addColumn<QList<int>>("start");
    QTest::addColumn<QList<int>>("shortAt");
    QTest::addColumn<int>("used");

    // The run boundaries are the exact products length x k / 100, truncated, except where the
    // ratio rounded to a float falls just short of a product that is a whole number: there the
    // boundary is one less. 3.2, 2.4 and 1.5 round up or exactly; 1.76 and 1.01 round down.
    QTest::newRow("320 wide: ratio 3.2000000477")
        << 320 << QList<int> {3, 3, 3, 3, 4, 3, 3, 3, 3, 4} << QList<int> {} << 320;
    QTest::newRow("240 high: ratio 2.4000000954")
        << 240 << QList<int> {2, 2, 3, 2, 3} << QList<int> {} << 240;
    QTest::newRow("176 wide: ratio 1.7599999905, last column unused")
        << 176 << QList<int> {1, 2, 2, 2, 1} << QList<int> {25, 50, 75, 100} << 175;
    QTest::newRow("101 wide: every run 1, last column unused")
        << 101 << QList<int> {1, 1, 1, 1, 1} << QList<int> {100} << 100;
    QTest::newRow("150 high: runs alternate 1, 2")
        << 150 << QList<int> {1, 2, 1, 2, 1, 2} << QList<int> {} << 150;
}

// Guards against computing the runs in double or integer arithmetic instead of reproducing the
// float ratio, which moves run ends and the unused last column.
void TestScaleBitmap::spans()
{
    QFETCH(int, length);
    QFETCH(QList<int>, start);
    QFETCH(QList<int>, shortAt);
    QFETCH(int, used);

    QList<int> expected;
    int previous = 0;
    for (int k = 1; k <= 100; ++k) {
        const int boundary = length * k / 100 - (shortAt.contains(k) ? 1 : 0);
        expected << boundary - previous;
        previous = boundary;
    }
    const std::vector<TScaleSpan> spans = ScaleSpans(length, 100);
    const QList<int> counts = Counts(spans);
    QCOMPARE(counts.first(start.size()), start);
    QCOMPARE(counts, expected);
    int first = 0;
    for (const TScaleSpan &span : spans) {
        QCOMPARE(span.First, first);
        first += span.Count;
    }
    QCOMPARE(first, used);
}

void TestScaleBitmap::blockAverage_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("expected");

    QTest::newRow("2x2 blocks of 200 give 199, too small to sharpen")
        << QSize(4, 4) << 200 << 2 << 199;
    QTest::newRow("blocks of 6 pixels of 255 give 254") << QSize(300, 200) << 255 << 100 << 254;
    QTest::newRow("blocks of 6 to 12 pixels of 200 give 199")
        << QSize(320, 240) << 200 << 100 << 199;
    QTest::newRow("blocks of zeros give 0") << QSize(320, 240) << 0 << 100 << 0;
    QTest::newRow("blocks of 300 rows of 200 give 199 (32-bit column sums)")
        << QSize(2, 600) << 200 << 2 << 199;
    // 65535 div n would be 0 (a black thumbnail) for blocks of more than 65535 pixels.
    QTest::newRow("a block of 200,000 pixels of 200 gives 200")
        << QSize(2000, 100) << 200 << 1 << 200;
    QTest::newRow("a block of 90,000 pixels of 200 gives 200 (32-bit column sums)")
        << QSize(300, 300) << 200 << 1 << 200;
    QTest::newRow("single-pixel blocks of 77 give 76") << QSize(101, 101) << 77 << 100 << 76;
}

// Guards against a true average (rounding or exact division) where the weight 65535 div n
// truncates one step low, against sharpening changing a uniform picture, and against huge
// blocks overflowing or coming out black.
void TestScaleBitmap::blockAverage()
{
    QFETCH(QSize, source);
    QFETCH(int, value);
    QFETCH(int, size);
    QFETCH(int, expected);

    QImage picture = Uniform(source.width(), source.height(), value);
    QImage thumb;
    ScaleBitmap(picture, thumb, quint16(size));
    QCOMPARE(thumb.size(), QSize(size, size));
    QCOMPARE(thumb.format(), ThumbnailFormat);
    const QList<int> all = Channel(thumb, 0) + Channel(thumb, 1) + Channel(thumb, 2);
    QCOMPARE(all, QList<int>(all.size(), expected));
}

void TestScaleBitmap::copyWhenItFits_data()
{
    QTest::addColumn<QSize>("source");
    QTest::newRow("80x60 inside 100") << QSize(80, 60);
    QTest::newRow("100x100 equal to the size") << QSize(100, 100);
    QTest::newRow("100x1 on the edge") << QSize(100, 1);
    QTest::newRow("empty picture") << QSize(0, 0);
}

// Guards against shrinking, sharpening or padding a picture that already fits.
void TestScaleBitmap::copyWhenItFits()
{
    QFETCH(QSize, source);
    QImage picture = source.isEmpty() ? QImage() : Noise(source.width(), source.height());
    const QImage original = picture.copy();
    QImage thumb = Uniform(5, 5, 9);
    ScaleBitmap(picture, thumb, 100);
    QCOMPARE(thumb.size(), source);
    QCOMPARE(thumb.isNull(), source.isEmpty());
    QCOMPARE(thumb, original);
}

// Guards against sharpening from a copy, bottom-up, or without clamping: red shows the row above
// read already sharpened, green the row below read not yet sharpened, blue the clamping.
void TestScaleBitmap::sharpenReadsRowAboveSharpened()
{
    // 8x8 into 4x4: every destination pixel averages one 2x2 block, and a block of v gives v - 1.
    QImage picture = MakePicture(8, 8, [](int x, int y) {
        const int bx = x / 2, by = y / 2;
        const int red = (bx == 2 && by == 1) ? 101 : 81;
        const int green = (bx == 2 && by == 2) ? 101 : 81;
        const int blue = (bx == 1 && by == 1) ? 251 : 0;
        return qRgb(red, green, blue);
    });
    QImage thumb;
    ScaleBitmap(picture, thumb, 4);
    QCOMPARE(thumb.size(), QSize(4, 4));

    // Red: (2,1) becomes (12 x 100 - 4 x 80) / 8 = 110; (1,2) then reads it as 110 above:
    // (960 - 80 - 110 - 80 - 80) / 8 = 76.25 -> 76 (77 if it read the unsharpened 100).
    QCOMPARE(Channel(thumb, 0),
             QList<int>({80, 80, 80, 80, 80, 80, 110, 80, 80, 76, 80, 80, 80, 80, 80, 80}));
    // Green: (1,1) reads the unsharpened 100 below it: (960 - 340) / 8 = 77.5 -> 77.
    QCOMPARE(Channel(thumb, 1),
             QList<int>({80, 80, 80, 80, 80, 77, 80, 80, 80, 80, 110, 80, 80, 80, 80, 80}));
    // Blue: 12 x 250 / 8 = 375 clamps to 255; the negative values next to it clamp to 0.
    QCOMPARE(Channel(thumb, 2), QList<int>({0, 0, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

void TestScaleBitmap::unusedLastSource_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<bool>("lastColumn");
    QTest::addColumn<int>("rightEdge");

    QTest::newRow("176x120: the last column is left out") << QSize(176, 120) << true << 0;
    QTest::newRow("101x150: the last column is left out") << QSize(101, 150) << true << 0;
    // The last run is 4 columns wide, so one white column in it gives 255 x 2 x 8191 >> 16 = 63.
    QTest::newRow("320x240: the last column counts") << QSize(320, 240) << true << 63;
    QTest::newRow("120x176: the last row is left out") << QSize(120, 176) << false << 0;
}

// Guards against spreading the whole source over the runs when the float ratio falls short.
void TestScaleBitmap::unusedLastSource()
{
    QFETCH(QSize, source);
    QFETCH(bool, lastColumn);
    QFETCH(int, rightEdge);

    const int w = source.width(), h = source.height();
    QImage picture = MakePicture(w, h, [&](int x, int y) {
        const bool white = lastColumn ? x == w - 1 : y == h - 1;
        return white ? qRgb(255, 255, 255) : qRgb(0, 0, 0);
    });
    QImage thumb;
    ScaleBitmap(picture, thumb, 100);
    QCOMPARE(thumb.size(), QSize(100, 100));
    const QImage edge = lastColumn ? thumb.copy(99, 0, 1, 100) : thumb.copy(0, 99, 100, 1);
    QCOMPARE(Channel(edge, 1), QList<int>(100, rightEdge));
    const QImage rest = lastColumn ? thumb.copy(0, 0, 99, 100) : thumb.copy(0, 0, 100, 99);
    QCOMPARE(Channel(rest, 1), QList<int>(rest.width() * rest.height(), 0));
}

void TestScaleBitmap::shorterThanSize_data()
{
    QTest::addColumn<QSize>("source");
    QTest::newRow("200x50: wider, less high") << QSize(200, 50);
    QTest::newRow("50x200: higher, less wide") << QSize(50, 200);
    QTest::newRow("1000x1: a single row") << QSize(1000, 1);
    QTest::newRow("1x1000: a single column") << QSize(1, 1000);
}

// Guards against empty blocks (a division by zero) and reads outside the source when one side
// is shorter than the thumbnail: every thumbnail pixel takes at least one source pixel, so the
// short side is stretched.
void TestScaleBitmap::shorterThanSize()
{
    QFETCH(QSize, source);
    const bool wide = source.width() > source.height();
    const int shortSide = wide ? source.height() : source.width();
    // Stripes across the short side, each of its own value 10 + 4 i.
    QImage picture = MakePicture(source.width(), source.height(), [wide](int x, int y) {
        const int v = 10 + 4 * (wide ? y : x);
        return qRgb(v, v, v);
    });
    QImage thumb;
    ScaleBitmap(picture, thumb, 100);
    QCOMPARE(thumb.size(), QSize(100, 100));

    // Along the unsharpened first column (or row) thumbnail pixel i shows stripe i x short / 100;
    // each block holds one stripe pixel per long-side run (2 or 10 of them), so it comes out one
    // step low.
    QList<int> expected;
    for (int i = 0; i < 100; ++i)
        expected << 10 + 4 * (i * shortSide / 100) - 1;
    const QImage edge = wide ? thumb.copy(0, 0, 1, 100) : thumb.copy(0, 0, 100, 1);
    QCOMPARE(Channel(edge, 0), expected);
}

void TestScaleBitmap::eightBitSource_data()
{
    QTest::addColumn<QSize>("source");
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("palette picture that fits") << QSize(60, 40) << QImage::Format_Indexed8;
    QTest::newRow("palette picture to shrink") << QSize(300, 200) << QImage::Format_Indexed8;
    QTest::newRow("grey picture to shrink") << QSize(300, 200) << QImage::Format_Grayscale8;
    QTest::newRow("32-bit picture to shrink") << QSize(300, 200) << QImage::Format_RGB32;
}

// Guards against handing 8- or 32-bit pixels to byte-wise code and against leaving the caller's
// picture in its old format.
void TestScaleBitmap::eightBitSource()
{
    QFETCH(QSize, source);
    QFETCH(QImage::Format, format);
    QImage picture = MakePicture(
        source.width(), source.height(), [](int, int) { return qRgb(120, 120, 120); }, format);
    QCOMPARE(picture.format(), format);
    QImage thumb;
    ScaleBitmap(picture, thumb, 100);
    QCOMPARE(picture.format(), ThumbnailFormat);
    QCOMPARE(picture.size(), source);
    QCOMPARE(thumb.format(), ThumbnailFormat);
    const int expected = source.width() <= 100 ? 120 : 119;
    QCOMPARE(Channel(thumb, 2), QList<int>(thumb.width() * thumb.height(), expected));
}

QTEST_GUILESS_MAIN(TestScaleBitmap)
#include "tst_scalebitmap.moc"
