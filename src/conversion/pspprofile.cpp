#include "pspprofile.h"

#include <QFile>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

// Only the first atoms are read: ftyp and the profile atom are a few hundred bytes.
constexpr qint64 HeadBytes = 4096;

constexpr qsizetype BoxHeader = 8;            // size (32 bits) and type
constexpr qsizetype UserTypeSize = 16;        // a uuid atom's user type
constexpr qsizetype VideoBitrateOffset = 28;  // from the start of VPRF: two 32-bit bit rates
constexpr qsizetype VideoProfileMinSize = 36; // VPRF up to and including both bit rates

quint32 ReadBig32(const QByteArray &data, qsizetype at)
{
    return qFromBigEndian<quint32>(data.constData() + at);
}

bool Fail(QString *reason, const QString &why)
{
    if (reason)
        *reason = why;
    return false;
}

} // namespace

bool PatchPspVideoBitrate(const QString &fileName, quint32 kbps, QString *reason)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return Fail(reason, u"cannot open %1: %2"_s.arg(fileName, file.errorString()));
    const QByteArray head = file.read(HeadBytes);

    // ftyp first, then the profile atom; sizes are checked against what was read, so a damaged
    // or foreign file can never send the write elsewhere.
    if (head.size() < BoxHeader || head.mid(4, 4) != "ftyp")
        return Fail(reason, u"%1 does not start with a file type atom"_s.arg(fileName));
    const qsizetype profile = ReadBig32(head, 0);
    if (profile < BoxHeader || profile + BoxHeader + UserTypeSize > head.size())
        return Fail(reason, u"%1 has no PSP profile atom after its file type atom"_s.arg(fileName));
    const qsizetype profileSize = ReadBig32(head, profile);
    if (head.mid(profile + 4, 4) != "uuid" || head.mid(profile + 8, 4) != "PROF"
        || profileSize < BoxHeader + UserTypeSize || profile + profileSize > head.size())
        return Fail(reason, u"%1 has no PSP profile atom after its file type atom"_s.arg(fileName));

    const QByteArray atom = head.mid(profile, profileSize);
    const qsizetype tag = atom.indexOf("VPRF", BoxHeader + UserTypeSize);
    const qsizetype video = tag - 4;
    if (tag < 0 || video < BoxHeader + UserTypeSize)
        return Fail(reason, u"the PSP profile atom of %1 has no video part"_s.arg(fileName));
    const qsizetype videoSize = ReadBig32(atom, video);
    if (videoSize < VideoProfileMinSize || video + videoSize > atom.size())
        return Fail(reason,
                    u"the video part of the PSP profile atom of %1 is damaged"_s.arg(fileName));

    QByteArray rates(8, '\0');
    qToBigEndian<quint32>(kbps, rates.data());
    qToBigEndian<quint32>(kbps, rates.data() + 4);
    if (!file.seek(profile + video + VideoBitrateOffset) || file.write(rates) != rates.size()
        || !file.flush())
        return Fail(reason, u"cannot write %1: %2"_s.arg(fileName, file.errorString()));
    return true;
}
