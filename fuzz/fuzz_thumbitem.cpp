// Picture files of any content, loaded the way the list loads an added file: a name ending in
// ".bmp" when the bytes start like a Windows bitmap, ".jpg" otherwise.
#include "scalebitmap.h"
#include "tthumbitem.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir folder;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path
        = folder.filePath(bytes.startsWith("BM") ? u"picture.bmp"_s : u"picture.jpg"_s);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort();
    file.close();

    TThumbItem item;
    try {
        item.setFileName(path);
    } catch (const std::runtime_error &) {
        return 0; // an unreadable picture is refused with a message, as it should be
    } catch (const std::bad_alloc &) {
        return 0; // so is one too large for memory
    }
    // Whatever was read, the item holds a thumbnail, never the full picture.
    const QImage &bitmap = item.Bitmap();
    if (!bitmap.isNull()
        && (bitmap.width() > 100 || bitmap.height() > 100 || bitmap.format() != ThumbnailFormat)) {
        std::fprintf(stderr, "thumbnail of %d x %d pixels in format %d\n", bitmap.width(),
                     bitmap.height(), int(bitmap.format()));
        std::abort();
    }
    return 0;
}
