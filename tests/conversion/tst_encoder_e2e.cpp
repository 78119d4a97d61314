#include "defaultsettings.h"
#include "encodercommand.h"
#include "encoderjobs.h"
#include "filehelpers.h"
#include "mediatools.h"
#include "processvariables.h"
#include "runandwait.h"
#include "tencoderstop.h"
#include "testsupport.h"
#include "tworkthreadinfo.h"

#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

namespace {

// Level of the clips' 100 Hz sine (amplitude 0.5) after each volume, as measured on the output,
// in dBFS RMS. The codec keeps a pure sine within a tenth of a dB.
constexpr double UnityLevel = -9.03;
constexpr double HalfLevel = -15.05;
// Three times 0.5, clipped at full scale: the flattened wave's fundamental is -1.6 dB, and the
// codec takes about half a dB more off a wave that fills the full scale. Wrapped around at the
// 16-bit limits it would be near -11; left unclipped in floating point, the codec turns it into
// about -3.5.
constexpr double ClippedTripleLevel = -2.1;
constexpr double LevelTolerance = 0.9;

} // namespace

// The real encoder, written from the program's resource into a private work folder, converting
// clips made on the spot.
class TestEncoderEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void defaultSettings();
    void conversions_data();
    void conversions();
    void failures_data();
    void failures();
    void thumbnail_data();
    void thumbnail();
    void stopEndsTheEncoderCleanly();

private:
    QString Clip(const QString &name) const { return FDir.filePath(u"clips/"_s + name); }
    QString Output(const QString &name) const { return FDir.filePath(u"out/"_s + name); }
    QString Encoder() const { return WorkDir + EncoderFileName(); }
    QTemporaryDir FDir;
};

void TestEncoderEndToEnd::initTestCase()
{
    QVERIFY(FDir.isValid());
    QVERIFY(QDir().mkpath(FDir.filePath(u"work"_s)));
    QVERIFY(QDir().mkpath(FDir.filePath(u"clips"_s)));
    QVERIFY(QDir().mkpath(FDir.filePath(u"out"_s)));
    WorkDir = WithTrailingSeparator(FDir.filePath(u"work"_s));
    QString reason;
    QVERIFY2(SaveResourceToFile(u"exefile"_s, u"av"_s, Encoder(), &reason), qPrintable(reason));

    TClipSpec base;
    TClipSpec mono;
    mono.AudioChannels = 1;
    TClipSpec shortClip;
    shortClip.Seconds = 2;
    TClipSpec silent;
    silent.AudioChannels = 0;
    TClipSpec audioOnly;
    audioOnly.Video = false;
    const QList<std::pair<QString, TClipSpec>> clips = {
        {u"base.avi"_s, base}, {u"mono.avi"_s, mono}, {u"short.avi"_s, shortClip},
        {u"silent.avi"_s, silent}, {u"audio.wav"_s, audioOnly}};
    for (const auto &[name, spec] : clips) {
        const QString failure = MakeClip(Encoder(), Clip(name), spec);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
    QVERIFY(WriteFile(Clip(u"text.avi"_s), "This is not a video.\n"));
    for (const QString &name : {u"my clip.avi"_s, u"-clip.avi"_s, u"a:b.avi"_s,
                                u"Ünïcødé 視頻.avi"_s})
        QVERIFY(QFile::copy(Clip(u"base.avi"_s), Clip(name)));
}

void TestEncoderEndToEnd::cleanupTestCase()
{
    WorkDir.clear();
}

// Guards against an output the PSP refuses: wrong codec profile, size, rate, aspect, audio,
// brand, a lost title, or a header that does not state 768 kbit/s.
void TestEncoderEndToEnd::defaultSettings()
{
    TWorkThreadInfo info = DefaultSettingsInfo();
    info.Title = u"Default settings"_s;
    const QString output = Output(u"base.mp4"_s);
    const TConversionOutcome outcome = RunConversion(info, Clip(u"base.avi"_s), output);
    QVERIFY2(outcome.Succeeded, qPrintable(outcome.Reason));
    QCOMPARE(VideoEncoderFor(Encoder()), u"libxvid"_s);

    const QJsonObject video = ProbeStream(output, u"v"_s);
    QCOMPARE(video[u"codec_name"_s].toString(), u"mpeg4"_s);
    QCOMPARE(video[u"profile"_s].toString(), u"Simple Profile"_s);
    QCOMPARE(video[u"width"_s].toInt(), 320);
    QCOMPARE(video[u"height"_s].toInt(), 240);
    QCOMPARE(video[u"avg_frame_rate"_s].toString(), u"15/1"_s);
    QCOMPARE(video[u"display_aspect_ratio"_s].toString(), u"4:3"_s);
    const QJsonObject audio = ProbeStream(output, u"a"_s);
    QCOMPARE(audio[u"codec_name"_s].toString(), u"aac"_s);
    QCOMPARE(audio[u"profile"_s].toString(), u"LC"_s);
    QCOMPARE(audio[u"sample_rate"_s].toString(), u"44100"_s);
    QCOMPARE(audio[u"channels"_s].toInt(), 2);
    QCOMPARE(audio[u"format"_s][u"nb_streams"_s].toInt(), 2);

    const TPspAtoms atoms = ReadPspAtoms(output);
    QCOMPARE(atoms.MajorBrand, QByteArray("MSNV"));
    QVERIFY(atoms.ProfileAfterFileType);
    QCOMPARE(atoms.VideoRates[0], 768u);
    QCOMPARE(atoms.VideoRates[1], 768u);
    QVERIFY(atoms.HasTitle);
    QCOMPARE(atoms.Title, info.Title);
    QVERIFY(!FolderEntries(WorkDir).filter(QRegularExpression(u"^vstats_\\d{6}\\.log$"_s))
                 .isEmpty());
}

void TestEncoderEndToEnd::conversions_data()
{
    QTest::addColumn<QString>("resolution");
    QTest::addColumn<QString>("aspect");
    QTest::addColumn<double>("frameRate");
    QTest::addColumn<int>("channels");
    QTest::addColumn<int>("volume");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("expectedRate");
    QTest::addColumn<double>("expectedLevel"); // NaN: not measured

    const double unmeasured = std::nan("");
    const QList<std::pair<int, int>> sizes = {{176, 120}, {240, 176}, {320, 176},
                                              {320, 240}, {368, 208}, {384, 160},
                                              {416, 176}, {400, 192}, {480, 160}};
    for (const auto &[width, height] : sizes) {
        const QString size = u"%1x%2"_s.arg(width).arg(height);
        QTest::addRow("frame size %s", qPrintable(size))
            << size << u"4:3"_s << 15.0 << 2 << 100 << QString() << u"base.avi"_s << u"15/1"_s
            << unmeasured;
    }
    QTest::newRow("16:9 aspect") << u"320x240"_s << u"16:9"_s << 15.0 << 2 << 100 << QString()
                                 << u"base.avi"_s << u"15/1"_s << unmeasured;
    QTest::newRow("24 fps") << u"320x240"_s << u"4:3"_s << 24.0 << 2 << 100 << QString()
                            << u"base.avi"_s << u"24/1"_s << unmeasured;
    QTest::newRow("29.97 fps") << u"320x240"_s << u"4:3"_s << 29.97 << 2 << 100 << QString()
                               << u"base.avi"_s << u"2997/100"_s << unmeasured;
    QTest::newRow("mono output") << u"320x240"_s << u"4:3"_s << 15.0 << 1 << 100 << QString()
                                 << u"base.avi"_s << u"15/1"_s << UnityLevel;
    QTest::newRow("mono source to stereo at unity gain")
        << u"320x240"_s << u"4:3"_s << 15.0 << 2 << 100 << QString() << u"mono.avi"_s
        << u"15/1"_s << UnityLevel;
    QTest::newRow("100% volume") << u"320x240"_s << u"4:3"_s << 15.0 << 2 << 100 << QString()
                                 << u"base.avi"_s << u"15/1"_s << UnityLevel;
    QTest::newRow("50% volume") << u"320x240"_s << u"4:3"_s << 15.0 << 2 << 50 << QString()
                                << u"base.avi"_s << u"15/1"_s << HalfLevel;
    QTest::newRow("300% volume clips at full scale")
        << u"320x240"_s << u"4:3"_s << 15.0 << 2 << 300 << QString() << u"base.avi"_s
        << u"15/1"_s << ClippedTripleLevel;
    QTest::newRow("title with blanks and quotes")
        << u"320x240"_s << u"4:3"_s << 15.0 << 2 << 100 << u"My \"best\" clip, part 1"_s
        << u"base.avi"_s << u"15/1"_s << unmeasured;
    QTest::newRow("title not in ASCII") << u"320x240"_s << u"4:3"_s << 15.0 << 2 << 100
                                        << u"Grüße aus 東京"_s << u"base.avi"_s << u"15/1"_s
                                        << unmeasured;
    QTest::newRow("name with blanks") << u"320x240"_s << u"4:3"_s << 15.0 << 2 << 100
                                      << QString() << u"my clip.avi"_s << u"15/1"_s << unmeasured;
    QTest::newRow("name beginning with a dash")
        << u"320x240"_s << u"4:3"_s << 15.0 << 2 << 100 << QString() << u"-clip.avi"_s
        << u"15/1"_s << unmeasured;
    QTest::newRow("name with a colon") << u"320x240"_s << u"4:3"_s << 15.0 << 2 << 100
                                       << QString() << u"a:b.avi"_s << u"15/1"_s << unmeasured;
    QTest::newRow("name not in ASCII")
        << u"320x240"_s << u"4:3"_s << 15.0 << 2 << 100 << QString() << u"Ünïcødé 視頻.avi"_s
        << u"15/1"_s << unmeasured;
}

// Guards against a setting that does not reach the file with its meaning and unit, and against
// names and titles that arrive split, cut or misread.
void TestEncoderEndToEnd::conversions()
{
    QFETCH(QString, resolution);
    QFETCH(QString, aspect);
    QFETCH(double, frameRate);
    QFETCH(int, channels);
    QFETCH(int, volume);
    QFETCH(QString, title);
    QFETCH(QString, source);
    QFETCH(QString, expectedRate);
    QFETCH(double, expectedLevel);

    TWorkThreadInfo info = DefaultSettingsInfo();
    info.Resolution = resolution;
    info.Aspect = aspect;
    info.FrameRate = frameRate;
    info.Channels = channels;
    info.Volume = volume;
    info.Title = title;
    const QString output = Output(QFileInfo(source).completeBaseName() + u".mp4"_s);
    QFile::remove(output);

    const TConversionOutcome outcome = RunConversion(info, Clip(source), output);
    QVERIFY2(outcome.Succeeded, qPrintable(outcome.Reason));

    const QJsonObject video = ProbeStream(output, u"v"_s);
    QCOMPARE(u"%1x%2"_s.arg(video[u"width"_s].toInt()).arg(video[u"height"_s].toInt()),
             resolution);
    QCOMPARE(video[u"display_aspect_ratio"_s].toString(), aspect);
    QCOMPARE(video[u"avg_frame_rate"_s].toString(), expectedRate);
    QCOMPARE(ProbeStream(output, u"a"_s)[u"channels"_s].toInt(), channels);
    const TPspAtoms atoms = ReadPspAtoms(output);
    QCOMPARE(atoms.VideoRates[0], 768u);
    QCOMPARE(atoms.HasTitle, !title.isEmpty());
    QCOMPARE(atoms.Title, title);
    if (!std::isnan(expectedLevel)) {
        const double level = FundamentalLevel(Encoder(), output);
        QVERIFY2(std::abs(level - expectedLevel) <= LevelTolerance,
                 qPrintable(u"level %1 dB, expected %2 dB"_s.arg(level).arg(expectedLevel)));
    }
}

void TestEncoderEndToEnd::failures_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing source") << u"missing.avi"_s << u"No such file or directory"_s;
    QTest::newRow("text file named .avi") << u"text.avi"_s << u"Invalid data found"_s;
    QTest::newRow("audio-only file") << u"audio.wav"_s << u"The file has no video track"_s;
    QTest::newRow("video without audio") << u"silent.avi"_s << u"The file has no audio track"_s;
}

// Guards against a failed conversion that passes for success or that waits without end.
void TestEncoderEndToEnd::failures()
{
    QFETCH(QString, source);
    QFETCH(QString, reason);
    const TConversionOutcome outcome = RunConversion(DefaultSettingsInfo(), Clip(source),
                                                     Output(u"failed.mp4"_s));
    QVERIFY(!outcome.Succeeded);
    QCOMPARE(outcome.Run.Status, TEncoderStatus::Finished);
    QVERIFY(outcome.Run.ExitCode != 0);
    QVERIFY2(outcome.Reason.contains(reason), qPrintable(outcome.Reason));
}

void TestEncoderEndToEnd::thumbnail_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("reason");
    QTest::newRow("frame at 3 s") << u"base.avi"_s << true << QString();
    QTest::newRow("name with blanks") << u"my clip.avi"_s << true << QString();
    QTest::newRow("name with a colon") << u"a:b.avi"_s << true << QString();
    QTest::newRow("clip shorter than 3 s") << u"short.avi"_s << false
                                           << u"The video has no frame at 3 seconds"_s;
    QTest::newRow("text file named .avi") << u"text.avi"_s << false << u"Invalid data found"_s;
}

// Guards against a thumbnail of another frame than the one at 3 s, and against a video without
// such a frame keeping the previous video's picture.
void TestEncoderEndToEnd::thumbnail()
{
    QFETCH(QString, source);
    QFETCH(bool, written);
    QFETCH(QString, reason);
    const QString picture = WorkDir + u"thumb1.jpg"_s;
    QVERIFY(WriteFile(picture, "the previous video's picture"));

    const TThumbnailOutcome outcome = RunThumbnail(Clip(source));
    QCOMPARE(outcome.Written, written);
    QCOMPARE(outcome.PicturePath, picture);
    if (!written) {
        QVERIFY(!QFileInfo::exists(picture));
        QVERIFY2(outcome.Reason.contains(reason), qPrintable(outcome.Reason));
        return;
    }
    // The old command decoded from the start and dropped everything before 3 s; its picture is
    // the reference.
    const QString referenceFolder = FDir.filePath(u"reference"_s);
    QVERIFY(QDir().mkpath(referenceFolder));
    const TEncoderResult reference = RunAndWait(
        Encoder(), {u"-nostdin"_s, u"-loglevel"_s, u"error"_s, u"-i"_s, Clip(u"base.avi"_s),
                    u"-ss"_s, u"3"_s, u"-frames:v"_s, u"1"_s, u"-y"_s, u"ref%d.jpg"_s},
        referenceFolder);
    QCOMPARE(reference.ExitCode, 0);
    QCOMPARE(ReadFile(picture), ReadFile(referenceFolder + u"/ref1.jpg"_s));
}

// Guards against a stop that leaves a broken file, or a stopped run reported as finished.
void TestEncoderEndToEnd::stopEndsTheEncoderCleanly()
{
    const QString output = Output(u"endless.mp4"_s);
    TEncoderStop stop(2s);
    TEncoderResult result;
    // Hands the result over visibly to ThreadSanitizer, which cannot see inside isFinished().
    std::atomic<bool> finished = false;
    // -re keeps an endless source at real time, so the encoder is surely busy when asked.
    std::unique_ptr<QThread> thread(QThread::create([&] {
        result = RunAndWait(Encoder(),
                            {u"-nostdin"_s, u"-loglevel"_s, u"error"_s, u"-re"_s, u"-f"_s,
                             u"lavfi"_s, u"-i"_s, u"testsrc2=size=160x120:rate=15"_s,
                             u"-c:v"_s, u"mpeg4"_s, u"-y"_s, u"file:"_s + output},
                            WorkDir, &stop);
        finished.store(true);
    }));
    thread->start();
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(output).size() > 0, 10000);
    stop.RequestStop();
    QTRY_VERIFY_WITH_TIMEOUT(finished.load(), 15000);
    QVERIFY(thread->wait(15000));

    QCOMPARE(result.Status, TEncoderStatus::Stopped);
    QCOMPARE(result.ExitCode, 255); // ended on the interrupt, before any firmer step
    const QJsonObject video = ProbeStream(output, u"v"_s);
    QCOMPARE(video[u"codec_name"_s].toString(), u"mpeg4"_s); // closed cleanly, readable
}

QTEST_GUILESS_MAIN(TestEncoderEndToEnd)
#include "tst_encoder_e2e.moc"
