// Writes the fuzzers' seed corpus into <fuzz folder>/corpus/: small pictures written by Qt, short
// config.ini files, and the first atoms of an MP4 file that the encoder writes with the program's
// own conversion arguments from a clip of its test sources.
//   fuzz_makeseeds <fuzz folder> <encoder>
#include "defaultsettings.h"
#include "encodercommand.h"
#include "runandwait.h"
#include "tworkthreadinfo.h"

#include <cstdio>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QCoreApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {

QString Corpus;

bool Write(const QString &name, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(Corpus + name).absolutePath());
    QFile file(Corpus + name);
    const bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    std::printf("%s: %lld bytes\n", qPrintable(name), qlonglong(bytes.size()));
    return written;
}

QImage Pattern(int width, int height, QImage::Format format)
{
    QImage image(width, height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(image.rect(), QColor(30, 90, 200));
    painter.fillRect(0, 0, width / 2, height / 2, QColor(250, 200, 40));
    painter.fillRect(width / 2, height / 2, width - width / 2, height - height / 2, Qt::white);
    painter.end();
    return image.convertToFormat(format);
}

QByteArray Encode(const QImage &image, const char *format, int quality = -1,
                  bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    return writer.write(image) ? bytes : QByteArray();
}

// ftyp and the profile atom of a fresh encoder output, without the media that follow.
QByteArray Mp4Head(const QString &encoder)
{
    QTemporaryDir folder;
    const QString clip = folder.filePath(u"clip.mkv"_s);
    const TEncoderResult made
        = RunAndWait(encoder,
                     {u"-nostdin"_s, u"-loglevel"_s, u"error"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
                      u"testsrc2=size=160x120:rate=15:duration=1"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
                      u"sine=frequency=100:duration=1"_s, u"-c:v"_s, u"mpeg4"_s, u"-c:a"_s,
                      u"pcm_s16le"_s, u"file:"_s + clip},
                     folder.path());
    if (made.ExitCode != 0)
        return {};
    const TWorkThreadInfo info = DefaultSettingsInfo();
    const QString output = folder.filePath(u"out.mp4"_s);
    const TEncoderResult converted
        = RunAndWait(encoder, ConversionArguments(info, clip, output), folder.path());
    QFile file(output);
    if (converted.ExitCode != 0 || !file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(4096);
    qsizetype end = 0;
    for (int atom = 0; atom < 2 && end + 8 <= head.size(); ++atom)
        end += qFromBigEndian<quint32>(head.constData() + end);
    return head.left(end);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: fuzz_makeseeds <fuzz folder> <encoder>\n");
        return 2;
    }
    Corpus = QDir(QString::fromLocal8Bit(argv[1])).absoluteFilePath(u"corpus/"_s);

    bool ok = true;
    ok &= Write(u"thumbitem/colour-8x8.jpg"_s,
                Encode(Pattern(8, 8, QImage::Format_RGB32), "jpeg", 50));
    ok &= Write(u"thumbitem/grey-8x8.jpg"_s,
                Encode(Pattern(8, 8, QImage::Format_Grayscale8), "jpeg", 50));
    // Wider than a thumbnail, so the picture is shrunk.
    ok &= Write(u"thumbitem/progressive-120x16.jpg"_s,
                Encode(Pattern(120, 16, QImage::Format_RGB32), "jpeg", 20, true));
    ok &= Write(u"thumbitem/colour-4x4.bmp"_s, Encode(Pattern(4, 4, QImage::Format_RGB888), "bmp"));
    ok &= Write(u"thumbitem/mono-16x120.bmp"_s,
                Encode(Pattern(16, 120, QImage::Format_Mono), "bmp"));

    ok &= Write(u"applicationinfo/config.ini"_s,
                "[ApplicationInfo]\r\nHomepage=https://www.quenbry.org/\r\n");
    ok &= Write(u"applicationinfo/quoted-and-commas.ini"_s,
                "; comment\n[Other]\nHomepage=x\n[ApplicationInfo]\nHomepage=\"a, b\",c\\,d\n");
    ok &= Write(u"applicationinfo/empty-value.ini"_s, "[ApplicationInfo]\nHomepage=\n");

    const QByteArray head = Mp4Head(QString::fromLocal8Bit(argv[2]));
    ok &= !head.isEmpty() && Write(u"pspprofile/psp-head.mp4"_s, head);
    return ok ? 0 : 1;
}
