#include "jpegloader.h"
#include "testsupport.h"

#include <QImageReader>
#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

// Four flat quadrants: JPEG keeps flat areas within a step or two at top quality.
QImage Quadrants(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    const QRgb colours[4]
        = {qRgb(200, 30, 30), qRgb(30, 200, 30), qRgb(30, 30, 200), qRgb(240, 240, 240)};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, colours[(y >= height / 2) * 2 + (x >= width / 2)]);
    return image;
}

bool Near(QRgb a, QRgb b)
{
    return qAbs(qRed(a) - qRed(b)) <= 3 && qAbs(qGreen(a) - qGreen(b)) <= 3
        && qAbs(qBlue(a) - qBlue(b)) <= 3;
}

QString ErrorOf(const QString &fileName)
{
    try {
        LoadJpegFile(fileName);
    } catch (const std::runtime_error &error) {
        return QString::fromUtf8(error.what());
    }
    return QString();
}

} // namespace

class TestJpegLoader : public QObject
{
    Q_OBJECT

private slots:
    void decodes_data();
    void decodes();
    void truncatedFileDecodes();
    void failures_data();
    void failures();
};

void TestJpegLoader::decodes_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<QString>("name");
    QTest::newRow("colour picture") << QImage::Format_RGB32 << u"colour.jpg"_s;
    QTest::newRow("grey picture") << QImage::Format_Grayscale8 << u"grey.jpg"_s;
    QTest::newRow("name with blanks and accents") << QImage::Format_RGB32 << u"été 1 .jpg"_s;
}

// Guards against swapped channels, a wrong row pitch and grey pictures that fail to widen.
void TestJpegLoader::decodes()
{
    QFETCH(QImage::Format, format);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    const QImage picture = Quadrants(62, 47).convertToFormat(format);
    QVERIFY(picture.save(path, "JPG", 100));

    const QImage decoded = LoadJpegFile(path);
    QCOMPARE(decoded.size(), QSize(62, 47));
    QCOMPARE(decoded.format(), QImage::Format_RGB888);
    for (const QPoint p : {QPoint(10, 10), QPoint(50, 10), QPoint(10, 40), QPoint(50, 40)})
        QVERIFY2(Near(decoded.pixel(p), picture.pixel(p)),
                 qPrintable(u"at %1,%2"_s.arg(p.x()).arg(p.y())));
}

// Guards against treating libjpeg's warning about a cut-off file as fatal, or crashing on it.
void TestJpegLoader::truncatedFileDecodes()
{
    QTemporaryDir dir;
    const QString whole = dir.filePath(u"whole.jpg"_s);
    QVERIFY(Quadrants(320, 240).save(whole, "JPG", 90));
    const QByteArray bytes = ReadFile(whole);
    const QString cut = dir.filePath(u"cut.jpg"_s);
    QVERIFY(WriteFile(cut, bytes.left(bytes.size() / 2)));
    const QImage decoded = LoadJpegFile(cut);
    QCOMPARE(decoded.size(), QSize(320, 240));
    QVERIFY(Near(decoded.pixel(10, 10), qRgb(200, 30, 30)));
}

void TestJpegLoader::failures_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");

    QTest::newRow("missing file") << u"missing ü.jpg"_s << QByteArray() << u"No such file"_s;
    QTest::newRow("empty file") << u"empty.jpg"_s << QByteArray("") << u"Empty input file"_s;
    QTest::newRow("text file") << u"text.jpg"_s << QByteArray("hello, not a picture")
                               << u"Not a JPEG file"_s;
    // A 4x4 picture whose frame header claims 60000 x 60000 pixels (10 GB decoded).
    QTest::newRow("header claims a huge picture")
        << u"bomb.jpg"_s << QByteArray("bomb") << u"larger than the limit"_s;
}

// Guards against failures that give no file name or no reason, and against decoding pictures
// that would exhaust the memory.
void TestJpegLoader::failures()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (content == "bomb") {
        QVERIFY(Quadrants(4, 4).save(path, "JPG"));
        content = ReadFile(path);
        const qsizetype frame = content.indexOf("\xFF\xC0", 0);
        QVERIFY(frame > 0);
        // Marker, length (2), precision (1), then height and width, big-endian.
        for (const int at : {5, 7}) {
            content[frame + at] = char(0xEA);
            content[frame + at + 1] = char(0x60);
        }
    }
    if (!content.isNull())
        QVERIFY(WriteFile(path, content));

    const QString message = ErrorOf(path);
    QVERIFY2(message.contains(path), qPrintable(message));
    QVERIFY2(message.contains(reason), qPrintable(message));
}

QTEST_GUILESS_MAIN(TestJpegLoader)
#include "tst_jpegloader.moc"
