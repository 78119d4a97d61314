// MP4 files of any content given to the profile patcher. A refused file must stay byte for byte
// as it was; a patched one may differ only in the eight bytes of the two video bit rates.
#include "pspprofile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

[[noreturn]] void Fault(const char *what)
{
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QTemporaryDir folder;
    const QByteArray before(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString path = folder.filePath(u"output.mp4"_s);
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(before) != before.size())
            std::abort();
    }

    QString reason;
    const bool patched = PatchPspVideoBitrate(path, PspMuxVideoBitrate, &reason);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        std::abort();
    const QByteArray after = file.readAll();

    if (after.size() != before.size())
        Fault("the patch changed the file's size");
    if (!patched) {
        if (reason.isEmpty())
            Fault("a refusal without a reason");
        if (after != before)
            Fault("a refused file was changed");
        return 0;
    }
    qsizetype first = 0;
    while (first < after.size() && after[first] == before[first])
        ++first;
    qsizetype last = after.size() - 1;
    while (last >= first && after[last] == before[last])
        --last;
    if (last - first >= 8)
        Fault("the patch changed more than the two bit rates");
    // The changed bytes lie inside two consecutive big-endian copies of the new rate.
    QByteArray rates(8, '\0');
    qToBigEndian<quint32>(PspMuxVideoBitrate, rates.data());
    qToBigEndian<quint32>(PspMuxVideoBitrate, rates.data() + 4);
    bool inside = first > last; // nothing changed: the rates were already right
    for (qsizetype at = std::max<qsizetype>(0, last - 7); !inside && at <= first; ++at)
        inside = at + 8 <= after.size() && after.mid(at, 8) == rates;
    if (!inside)
        Fault("the patch wrote something else than the two bit rates");
    return 0;
}
