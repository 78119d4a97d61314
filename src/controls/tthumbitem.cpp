#include "tthumbitem.h"

#include <algorithm>
#include <stdexcept>

#include <QFile>
#include <QImageReader>

#include "jpegloader.h"
#include "scalebitmap.h"

using namespace Qt::StringLiterals;

namespace {

constexpr quint16 ThumbnailSize = 100;

[[noreturn]] void FailBmp(const QString &fileName, const QString &reason)
{
    throw std::runtime_error(
        u"Cannot read the bitmap picture \"%1\": %2"_s.arg(fileName, reason).toStdString());
}

QImage LoadBmpFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        FailBmp(fileName, file.errorString());
    QImageReader reader(&file, "bmp");
    // Only a real Windows bitmap is accepted, whatever the content of a misnamed file is.
    reader.setAutoDetectImageFormat(false);
    QImage image;
    if (!reader.read(&image))
        FailBmp(fileName, reader.errorString());
    return image;
}

} // namespace

QString TThumbItem::PictureExtension(const QString &fileName)
{
    const qsizetype nameStart = 1
        + std::max({fileName.lastIndexOf(u'/'), fileName.lastIndexOf(u'\\'),
                    fileName.lastIndexOf(u':')});
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot >= nameStart ? fileName.mid(dot) : QString();
}

void TThumbItem::setFileName(const QString &fileName)
{
    FFileName = fileName;
    const QString extension = PictureExtension(fileName);
    QImage picture;
    if (extension == u".jpg"_s)
        picture = LoadJpegFile(fileName);
    else if (extension == u".bmp"_s)
        picture = LoadBmpFile(fileName);
    ScaleBitmap(picture, FBitmap, ThumbnailSize);
}
