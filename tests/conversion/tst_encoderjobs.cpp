#include "encoderjobs.h"
#include "defaultsettings.h"
#include "filehelpers.h"
#include "processvariables.h"
#include "testsupport.h"
#include "tencoderstop.h"
#include "tworkthreadinfo.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

const QString FakeEncoder = QStringLiteral(FAKE_ENCODER);

} // namespace

// The jobs around the encoder, with the fake standing in for it as WorkDir/av.
class TestEncoderJobs : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void missingEncoder();
    void videoEncoderChoice_data();
    void videoEncoderChoice();
    void videoEncoderQuestionCanBeStopped();
    void outputThatIsTheSourceIsRefused_data();
    void outputThatIsTheSourceIsRefused();
    void thumbnailWithoutPictureRemovesTheOldOne();
    void encoderWordsBecomeTheReason();
    void stopRequestedBeforehand();

private:
    void InstallFake();
    QString LogPath() const { return FDir->filePath(u"fake.log"_s); }
    std::unique_ptr<QTemporaryDir> FDir;
};

void TestEncoderJobs::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
    QVERIFY(QDir().mkpath(FDir->filePath(u"work"_s)));
    WorkDir = WithTrailingSeparator(FDir->filePath(u"work"_s));
}

void TestEncoderJobs::cleanup()
{
    WorkDir.clear();
}

void TestEncoderJobs::InstallFake()
{
    QVERIFY(QFile::copy(FakeEncoder, WorkDir + EncoderFileName()));
}

// Guards against a missing encoder passing silently, as it did when no one looked at the result.
void TestEncoderJobs::missingEncoder()
{
    const QString source = FDir->filePath(u"clip.avi"_s);
    QVERIFY(WriteFile(source, "video"));

    const TConversionOutcome conversion = RunConversion(DefaultSettingsInfo(), source,
                                                        FDir->filePath(u"clip.mp4"_s));
    QVERIFY(!conversion.Succeeded);
    QCOMPARE(conversion.Run.Status, TEncoderStatus::FailedToStart);
    QVERIFY2(conversion.Reason.startsWith(u"The encoder could not be started"_s),
             qPrintable(conversion.Reason));

    const TThumbnailOutcome thumbnail = RunThumbnail(source);
    QVERIFY(!thumbnail.Written);
    QVERIFY2(thumbnail.Reason.startsWith(u"The encoder could not be started"_s),
             qPrintable(thumbnail.Reason));
}

void TestEncoderJobs::videoEncoderChoice_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("expected");
    QTest::newRow("build with xvid") << QString() << u"libxvid"_s;
    QTest::newRow("build without xvid") << u"exit:1"_s << u"mpeg4"_s;
}

// Guards against naming an encoder that the embedded build lacks, which would fail every file.
void TestEncoderJobs::videoEncoderChoice()
{
    QFETCH(QString, mode);
    QFETCH(QString, expected);
    InstallFake();
    TEnvGuard env("FAKEENCODER_MODE", mode);
    QCOMPARE(VideoEncoderFor(WorkDir + EncoderFileName()), expected);
}

// Guards against a close that waits forever for an encoder hanging on the build question.
void TestEncoderJobs::videoEncoderQuestionCanBeStopped()
{
    InstallFake();
    const QString program = WorkDir + EncoderFileName();
    TEnvGuard env("FAKEENCODER_MODE", u"hang:graceful"_s);
    TEncoderStop stop(std::chrono::milliseconds(200));
    // The asking thread is blocked in the encoder, as the worker is when the window closes.
    std::thread closer([&stop] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        stop.RequestStop();
    });
    const QString answer = VideoEncoderFor(program, &stop);
    closer.join();
    QCOMPARE(answer, u"libxvid"_s);
    // A stopped question is not an answer: the next one asks again.
    qputenv("FAKEENCODER_MODE", "exit:1");
    QCOMPARE(VideoEncoderFor(program), u"mpeg4"_s);
}

void TestEncoderJobs::outputThatIsTheSourceIsRefused_data()
{
    QTest::addColumn<QString>("outputName");
    QTest::newRow("same path") << u"videos/clip.mp4"_s;
    QTest::newRow("same file spelt differently") << u"videos/../videos/./clip.mp4"_s;
    QTest::newRow("through a link to its folder") << u"link/clip.mp4"_s;
}

// Guards against an .mp4 source in the output folder being emptied by its own conversion.
void TestEncoderJobs::outputThatIsTheSourceIsRefused()
{
    QFETCH(QString, outputName);
    InstallFake();
    TEnvGuard mode("FAKEENCODER_MODE", u"record"_s);
    TEnvGuard log("FAKEENCODER_LOG", LogPath());
    const QString source = FDir->filePath(u"videos/clip.mp4"_s);
    QVERIFY(WriteFile(source, "precious"));
    QVERIFY(QFile::link(FDir->filePath(u"videos"_s), FDir->filePath(u"link"_s)));

    const TConversionOutcome outcome = RunConversion(DefaultSettingsInfo(), source,
                                                     FDir->filePath(outputName));
    QVERIFY(!outcome.Succeeded);
    QVERIFY2(outcome.Reason.contains(u"is the source itself"_s), qPrintable(outcome.Reason));
    QCOMPARE(ReadFile(source), QByteArray("precious"));
    QVERIFY(!QFileInfo::exists(LogPath())); // the encoder never ran
}

// Guards against showing the previous video's picture for a video that yields none.
void TestEncoderJobs::thumbnailWithoutPictureRemovesTheOldOne()
{
    InstallFake();
    const QString old = WorkDir + u"thumb1.jpg"_s;
    QVERIFY(WriteFile(old, "old picture"));

    const TThumbnailOutcome outcome = RunThumbnail(FDir->filePath(u"short.avi"_s));
    QVERIFY(!outcome.Written);
    QCOMPARE(outcome.PicturePath, old);
    QVERIFY(!QFileInfo::exists(old));
    QCOMPARE(outcome.Reason, u"The video has no frame at 3 seconds"_s);
}

// Guards against a failure reported without the encoder's own explanation.
void TestEncoderJobs::encoderWordsBecomeTheReason()
{
    InstallFake();
    TEnvGuard mode("FAKEENCODER_MODE", u"exit:1"_s);
    const TConversionOutcome outcome = RunConversion(DefaultSettingsInfo(), FDir->filePath(u"a.avi"_s),
                                                     FDir->filePath(u"a.mp4"_s));
    QVERIFY(!outcome.Succeeded);
    QCOMPARE(outcome.Reason, u"The encoder failed with exit code 1:\nfake failure 1"_s);
}

// Guards against the next file being converted after the window asked the worker to stop.
void TestEncoderJobs::stopRequestedBeforehand()
{
    InstallFake();
    TEncoderStop stop;
    stop.RequestStop();
    const TConversionOutcome outcome = RunConversion(DefaultSettingsInfo(), FDir->filePath(u"a.avi"_s),
                                                     FDir->filePath(u"a.mp4"_s), &stop);
    QVERIFY(!outcome.Succeeded);
    QCOMPARE(outcome.Run.Status, TEncoderStatus::Stopped);
    QVERIFY(!QFileInfo::exists(FDir->filePath(u"a.mp4"_s)));
}

QTEST_GUILESS_MAIN(TestEncoderJobs)
#include "tst_encoderjobs.moc"
