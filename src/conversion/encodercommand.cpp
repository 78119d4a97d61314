#include "encodercommand.h"

#include "tworkthreadinfo.h"

#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

// -nostdin and stdin from the null device: the encoder must never wait for an answer.
// -loglevel error: what the encoder writes to stderr is then only the reason for a failure.
// clang-format off
const QStringList ThumbnailCommandFormat = {
    u"-nostdin"_s, u"-hide_banner"_s, u"-nostats"_s, u"-loglevel"_s, u"error"_s,
    u"-ss"_s, u"3"_s, u"-i"_s, u"{source}"_s,
    u"-frames:v"_s, u"1"_s, u"-y"_s, u"thumb%d.jpg"_s,
};

// The PSP format takes exactly one video and one audio stream, video first. The format has no
// option for the video bit rate its profile atom states; that is set after the run.
const QStringList ConversionCommandFormat = {
    u"-nostdin"_s, u"-hide_banner"_s, u"-nostats"_s, u"-loglevel"_s, u"error"_s, u"-y"_s,
    u"-i"_s, u"{source}"_s,
    u"-map"_s, u"0:v:0"_s, u"-map"_s, u"0:a:0"_s, u"-map_metadata"_s, u"-1"_s, u"-sn"_s, u"-dn"_s,
    u"-fflags"_s, u"+bitexact"_s, u"-flags:v"_s, u"+bitexact+mv4"_s, u"-flags:a"_s, u"+bitexact"_s,
    u"-c:v"_s, u"{videoencoder}"_s, u"-g"_s, u"300"_s,
    u"-s"_s, u"{resolution}"_s, u"-r"_s, u"{framerate}"_s, u"-b:v"_s, u"{videobitrate}"_s,
    u"-c:a"_s, u"aac"_s, u"-aspect"_s, u"{aspect}"_s, u"-ac"_s, u"{channels}"_s,
    u"-b:a"_s, u"{audiobitrate}"_s, u"-ar"_s, u"{samplerate}"_s,
    u"-metadata"_s, u"{title}"_s,
    u"-af"_s, u"{volume}"_s,
    u"-f"_s, u"psp"_s, u"-vstats"_s,
    u"{output}"_s,
};
// clang-format on

QStringList FillCommandFormat(const QStringList &format, const QMap<QString, QString> &values)
{
    QStringList arguments;
    arguments.reserve(format.size());
    for (const QString &argument : format)
        arguments << values.value(argument, argument);
    return arguments;
}

QString EncoderPathArgument(const QString &path)
{
    return u"file:"_s + QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

QString FrameRateArgument(double frameRate)
{
    // QString::number never uses the locale.
    return QString::number(frameRate, 'f', 2);
}

QString AudioFilterArgument(int volumePercent, int channels)
{
    // On 16-bit samples with fixed precision the filter multiplies, rounds and clips exactly as
    // the old -vol did; on floating-point samples it would not clip at all.
    QString filter = u"aformat=sample_fmts=s16,volume=%1:precision=fixed"_s.arg(
        QString::number(volumePercent / 100.0, 'f', 2));
    // Channel mixes, renormalised ("<") over the channels the source really has: each side takes
    // its own channel plus centre and surround at -3 dB; mono is the sum of both sides. A mono
    // source thus reaches both sides at unity gain (the encoder's own upmix lowers it by 3 dB),
    // stereo passes untouched to stereo and is averaged to mono as the old encoder did (the
    // current one adds 3 dB), and 5.1 gets the usual fold-down.
    if (channels == 2) {
        filter += u",pan=stereo|FL<FL+0.7071*FC+0.7071*BL+0.7071*SL"
                  u"|FR<FR+0.7071*FC+0.7071*BR+0.7071*SR"_s;
    } else if (channels == 1) {
        filter += u",pan=mono|FC<FL+FR+1.4142*FC+0.7071*BL+0.7071*BR+0.7071*SL+0.7071*SR"_s;
    }
    return filter;
}

QStringList ThumbnailArguments(const QString &source)
{
    return FillCommandFormat(ThumbnailCommandFormat,
                             {{u"{source}"_s, EncoderPathArgument(source)}});
}

QStringList ConversionArguments(const TWorkThreadInfo &info, const QString &source,
                                const QString &output, const QString &videoEncoder)
{
    // Bit rates are kbit/s here; a bare number would mean bit/s to the encoder.
    const QMap<QString, QString> values = {
        {u"{source}"_s, EncoderPathArgument(source)},
        {u"{videoencoder}"_s, videoEncoder},
        {u"{resolution}"_s, info.Resolution},
        {u"{framerate}"_s, FrameRateArgument(info.FrameRate)},
        {u"{videobitrate}"_s, u"%1k"_s.arg(info.VideoBitrate)},
        {u"{aspect}"_s, info.Aspect},
        {u"{channels}"_s, QString::number(info.Channels)},
        {u"{audiobitrate}"_s, u"%1k"_s.arg(info.AudioBitrate)},
        {u"{samplerate}"_s, QString::number(info.SampleRate)},
        {u"{title}"_s, u"title="_s + info.Title},
        {u"{volume}"_s, AudioFilterArgument(info.Volume, info.Channels)},
        {u"{output}"_s, EncoderPathArgument(output)},
    };
    return FillCommandFormat(ConversionCommandFormat, values);
}
