#pragma once

#include "runandwait.h"
#include "testsupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QtEndian>

#include <cmath>

// Makes tiny clips with the encoder's own test sources and reads outputs back with ffprobe and
// by walking their atoms, independently of the code under test.

struct TClipSpec
{
    double Seconds = 4;
    QString Size = QStringLiteral("320x240");
    int Rate = 25;
    bool Video = true;
    int AudioChannels = 2;  // 0: no audio
    double Amplitude = 0.5; // of a 100 Hz sine
};

// Writes the clip to path (format from its extension) with encoder; returns the encoder's tail
// on failure.
inline QString MakeClip(const QString &encoder, const QString &path, const TClipSpec &spec)
{
    QStringList arguments = {QStringLiteral("-nostdin"), QStringLiteral("-loglevel"),
                             QStringLiteral("error"), QStringLiteral("-y")};
    if (spec.Video)
        arguments << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
                  << QStringLiteral("testsrc2=size=%1:rate=%2:duration=%3")
                         .arg(spec.Size)
                         .arg(spec.Rate)
                         .arg(spec.Seconds);
    if (spec.AudioChannels > 0)
        arguments << QStringLiteral("-f") << QStringLiteral("lavfi") << QStringLiteral("-i")
                  << QStringLiteral("aevalsrc=%1*sin(2*PI*100*t):s=44100:c=%2:d=%3")
                         .arg(spec.Amplitude)
                         .arg(spec.AudioChannels == 1 ? QStringLiteral("mono")
                                                      : QStringLiteral("stereo"))
                         .arg(spec.Seconds);
    if (spec.Video)
        arguments << QStringLiteral("-c:v") << QStringLiteral("mpeg4") << QStringLiteral("-q:v")
                  << QStringLiteral("4");
    if (spec.AudioChannels > 0)
        arguments << QStringLiteral("-c:a") << QStringLiteral("pcm_s16le");
    arguments << QStringLiteral("file:") + path;
    const TEncoderResult run = RunAndWait(encoder, arguments, QFileInfo(path).absolutePath());
    return run.Status == TEncoderStatus::Finished && run.ExitCode == 0
               ? QString()
               : QStringLiteral("clip %1 failed: %2").arg(path, run.ErrorTail);
}

// ffprobe's view of the first stream of a kind ("v" or "a"), with the container's tags under
// "format".
inline QJsonObject ProbeStream(const QString &file, const QString &kind)
{
    QProcess probe;
    probe.start(QStringLiteral("ffprobe"),
                {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
                 kind + QStringLiteral(":0"), QStringLiteral("-show_streams"),
                 QStringLiteral("-show_format"), QStringLiteral("-of"), QStringLiteral("json"),
                 QStringLiteral("file:") + file});
    probe.waitForFinished(-1);
    const QJsonObject all = QJsonDocument::fromJson(probe.readAllStandardOutput()).object();
    QJsonObject stream = all.value(QStringLiteral("streams")).toArray().first().toObject();
    stream.insert(QStringLiteral("format"), all.value(QStringLiteral("format")));
    return stream;
}

// RMS level in dBFS of the 100 Hz fundamental of the file's audio, over all channels. Two band
// passes strip the harmonics that clipping adds, so a clipped sine and a wrapped one differ by
// far more than the codec's error.
inline double FundamentalLevel(const QString &encoder, const QString &file)
{
    QProcess measure;
    measure.start(encoder,
                  {QStringLiteral("-nostdin"), QStringLiteral("-hide_banner"),
                   QStringLiteral("-nostats"), QStringLiteral("-i"), QStringLiteral("file:") + file,
                   QStringLiteral("-map"), QStringLiteral("0:a:0"), QStringLiteral("-af"),
                   QStringLiteral("bandpass=f=100:width_type=q:width=2,"
                                  "bandpass=f=100:width_type=q:width=2,"
                                  "astats=measure_perchannel=none:measure_overall=RMS_level"),
                   QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")});
    measure.waitForFinished(-1);
    const QString log = QString::fromUtf8(measure.readAllStandardError());
    const QRegularExpressionMatch match
        = QRegularExpression(QStringLiteral("RMS level dB: (-?[0-9.]+)")).match(log);
    return match.hasMatch() ? match.captured(1).toDouble() : std::nan("");
}

// What the PSP reads from the atoms of an output file.
struct TPspAtoms
{
    QByteArray MajorBrand;
    bool ProfileAfterFileType = false;
    quint32 VideoRates[2] = {0, 0}; // the two video bit rates of VPRF, kbit/s
    bool HasTitle = false;
    QString Title;
};

namespace MediaToolsDetail {

inline quint32 Big32(const QByteArray &data, qsizetype at)
{
    return at + 4 <= data.size() ? qFromBigEndian<quint32>(data.constData() + at) : 0;
}

inline quint16 Big16(const QByteArray &data, qsizetype at)
{
    return at + 2 <= data.size() ? qFromBigEndian<quint16>(data.constData() + at) : 0;
}

// Visits the atoms between begin and end, descending into the containers that can hold the
// title's atom.
template<typename Visit>
void WalkAtoms(const QByteArray &data, qsizetype begin, qsizetype end, Visit visit)
{
    static const QList<QByteArray> containers = {"moov", "udta", "trak", "mdia", "minf"};
    for (qsizetype at = begin; at + 8 <= end;) {
        const qsizetype size = Big32(data, at);
        if (size < 8 || at + size > end)
            return;
        const QByteArray type = data.mid(at + 4, 4);
        visit(type, at, size);
        if (containers.contains(type))
            WalkAtoms(data, at + 8, at + size, visit);
        at += size;
    }
}

} // namespace MediaToolsDetail

inline TPspAtoms ReadPspAtoms(const QString &file)
{
    using namespace MediaToolsDetail;
    TPspAtoms atoms;
    const QByteArray data = ReadFile(file);
    if (data.mid(4, 4) != "ftyp")
        return atoms;
    atoms.MajorBrand = data.mid(8, 4);

    // The profile atom: uuid, user type PROF + 12 bytes, two words, then FPRF, APRF and VPRF.
    const qsizetype profile = Big32(data, 0);
    const qsizetype profileEnd = profile + Big32(data, profile);
    atoms.ProfileAfterFileType = data.mid(profile + 4, 8) == "uuidPROF";
    if (atoms.ProfileAfterFileType) {
        for (qsizetype part = profile + 32; part + 8 <= profileEnd; part += Big32(data, part)) {
            if (Big32(data, part) < 8)
                break;
            if (data.mid(part + 4, 4) == "VPRF") {
                atoms.VideoRates[0] = Big32(data, part + 28);
                atoms.VideoRates[1] = Big32(data, part + 32);
            }
        }
    }

    // The title: a uuid USMT atom whose MTDT holds an entry of type 1 in UTF-16.
    WalkAtoms(data, 0, data.size(), [&](const QByteArray &type, qsizetype at, qsizetype size) {
        if (type != "uuid" || data.mid(at + 8, 4) != "USMT" || data.mid(at + 28, 4) != "MTDT")
            return;
        const quint16 count = Big16(data, at + 32);
        qsizetype entry = at + 34;
        for (int i = 0; i < count && entry + 10 <= at + size; ++i) {
            const quint16 entrySize = Big16(data, entry);
            if (entrySize < 10)
                break;
            if (Big32(data, entry + 2) == 1) {
                QString text;
                for (qsizetype c = entry + 10; c + 2 <= entry + entrySize; c += 2) {
                    const quint16 unit = Big16(data, c);
                    if (unit == 0)
                        break;
                    text += QChar(unit);
                }
                atoms.HasTitle = true;
                atoms.Title = text;
            }
            entry += entrySize;
        }
    });
    return atoms;
}
