#include "tthumbitem.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QTest>

#include <stdexcept>

using namespace Qt::StringLiterals;

namespace {

QImage Flat(int width, int height, QRgb colour)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

class TestThumbItem : public QObject
{
    Q_OBJECT

private slots:
    void pictureExtension_data();
    void pictureExtension();
    void loadsPictureFiles_data();
    void loadsPictureFiles();
    void failedLoadKeepsBitmap_data();
    void failedLoadKeepsBitmap();
};

void TestThumbItem::pictureExtension_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("extension");
    QTest::newRow("plain path") << u"/home/me/clip.jpg"_s << u".jpg"_s;
    QTest::newRow("case kept") << u"/home/me/CLIP.JPG"_s << u".JPG"_s;
    QTest::newRow("last dot counts") << u"/home/me/a.tar.bmp"_s << u".bmp"_s;
    QTest::newRow("dot only in a folder name") << u"/home/me.d/clip"_s << QString();
    QTest::newRow("dot only before a backslash") << u"C:\\my.videos\\clip"_s << QString();
    QTest::newRow("Windows path") << u"C:\\videos\\clip.avi"_s << u".avi"_s;
    QTest::newRow("drive-relative name") << u"c:clip.mp4"_s << u".mp4"_s;
    QTest::newRow("dot only before a colon") << u"my.disk:clip"_s << QString();
    QTest::newRow("name that is all extension") << u"/home/me/.jpg"_s << u".jpg"_s;
}

// Guards against taking a dot of a folder name, or a lower-cased extension, as the file's type.
void TestThumbItem::pictureExtension()
{
    QFETCH(QString, fileName);
    QFETCH(QString, extension);
    QCOMPARE(TThumbItem::PictureExtension(fileName), extension);
}

void TestThumbItem::loadsPictureFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("pictureSize");
    QTest::addColumn<QSize>("bitmapSize");

    QTest::newRow("640x480 .bmp shrinks to 100x100")
        << u"big.bmp"_s << QByteArray("BMP") << QSize(640, 480) << QSize(100, 100);
    QTest::newRow("640x480 .jpg shrinks to 100x100")
        << u"big.jpg"_s << QByteArray("JPG") << QSize(640, 480) << QSize(100, 100);
    QTest::newRow("80x60 .bmp stays 80x60")
        << u"small.bmp"_s << QByteArray("BMP") << QSize(80, 60) << QSize(80, 60);
    QTest::newRow(".JPG in capitals gives no picture")
        << u"caps.JPG"_s << QByteArray("JPG") << QSize(640, 480) << QSize(0, 0);
    QTest::newRow(".jpeg gives no picture")
        << u"long.jpeg"_s << QByteArray("JPG") << QSize(640, 480) << QSize(0, 0);
    QTest::newRow("a video name gives no picture")
        << u"clip.avi"_s << QByteArray() << QSize() << QSize(0, 0);
}

// Guards against loading by content or case-blind extension, against skipping the shrink, and
// against a video name keeping the previous picture.
void TestThumbItem::loadsPictureFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(QSize, pictureSize);
    QFETCH(QSize, bitmapSize);

    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (!format.isEmpty())
        QVERIFY(Flat(pictureSize.width(), pictureSize.height(), qRgb(40, 160, 90))
                    .save(path, format.constData(), 100));
    TThumbItem item;
    item.setBitmap(Flat(7, 7, qRgb(1, 2, 3)));
    item.setFileName(path);
    QCOMPARE(item.FileName(), path);
    QCOMPARE(item.Bitmap().size(), bitmapSize);
    if (bitmapSize.isEmpty()) {
        QVERIFY(item.Bitmap().isNull());
        return;
    }
    QCOMPARE(item.Bitmap().format(), QImage::Format_RGB888);
    const QRgb centre = item.Bitmap().pixel(bitmapSize.width() / 2, bitmapSize.height() / 2);
    QVERIFY(qAbs(qRed(centre) - 40) <= 3 && qAbs(qGreen(centre) - 160) <= 3
            && qAbs(qBlue(centre) - 90) <= 3);
}

void TestThumbItem::failedLoadKeepsBitmap_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("missing .jpg") << u"missing.jpg"_s << QByteArray();
    QTest::newRow("missing .bmp") << u"missing.bmp"_s << QByteArray();
    QTest::newRow("garbage .jpg") << u"garbage.jpg"_s << QByteArray("not a picture");
    QTest::newRow("garbage .bmp") << u"garbage.bmp"_s << QByteArray("not a picture");
    QTest::newRow("PNG named .bmp") << u"png.bmp"_s << QByteArray("png");
}

// Guards against a failed load that loses the name, clears the old picture or passes silently.
void TestThumbItem::failedLoadKeepsBitmap()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    if (content == "png")
        QVERIFY(Flat(8, 8, qRgb(9, 9, 9)).save(path, "PNG"));
    else if (!content.isNull())
        QVERIFY(WriteFile(path, content));

    TThumbItem item;
    const QImage old = Flat(7, 7, qRgb(1, 2, 3));
    item.setBitmap(old);
    QString message;
    try {
        item.setFileName(path);
    } catch (const std::runtime_error &error) {
        message = QString::fromUtf8(error.what());
    }
    QVERIFY2(message.contains(path), qPrintable(message));
    QCOMPARE(item.FileName(), path);
    QCOMPARE(item.Bitmap(), old);
}

QTEST_GUILESS_MAIN(TestThumbItem)
#include "tst_thumbitem.moc"
