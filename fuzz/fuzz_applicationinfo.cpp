// config.ini files of any content, read as the program reads the one beside it.
#include "tapplicationinfo.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QFile>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir folder;
    static quint64 count = 0;
    // A new name for every input: QSettings keeps what it read per file name.
    const QString path = folder.filePath(u"config%1.ini"_s.arg(++count));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly)
        || file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        std::abort();
    file.close();

    const TApplicationInfo info = ReadApplicationInfo(path);
    QFile::remove(path);
    if (info.Homepage.size() > MaxConfigValueLength) {
        std::fprintf(stderr, "homepage of %lld characters\n", qlonglong(info.Homepage.size()));
        std::abort();
    }
    return 0;
}
