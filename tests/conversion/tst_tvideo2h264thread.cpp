#include "defaultsettings.h"
#include "filehelpers.h"
#include "mediatools.h"
#include "processvariables.h"
#include "tconversionhost.h"
#include "tvideo2h264thread.h"
#include "tworkthreadinfo.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Stands in for the window: records what the worker shows and answers its question.
class TRecordingHost : public QObject, public TConversionHost
{
public:
    QStringList Statuses;
    QStringList Informations;
    int Questions = 0;
    bool Answer = false;
    int Opened = 0;
    bool Ended = false;

    void SetStatusText(const QString &text) override { Statuses << text; }
    void ShowInformation(const QString &text) override { Informations << text; }
    void AskQuestion(const QString &text, std::function<void(bool)> answered) override
    {
        QCOMPARE(text, u"Convertion completed. Open the destination folder?"_s);
        ++Questions;
        QTimer::singleShot(0, this, [answered, yes = Answer] { answered(yes); });
    }
    void OpenOutputFolder() override { ++Opened; }
    void ConversionEnded() override { Ended = true; }
};

const QString Started = u"Convering vodio to h264 stream ... "_s;
const QString Completed = u"PSP video file generation completed."_s;
const QString CompletedWithErrors = u"PSP video file generation completed with errors."_s;

} // namespace

class TestVideo2H264Thread : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void report_data();
    void report();
    void sameNameLaterWins();
    void sourceInOutputFolderIsSkipped();
    void answerOpensFolder_data();
    void answerOpensFolder();
    void deletedEncoderIsWrittenAgain();
    void stopRemovesPartialOutput();

private:
    // Runs a worker over sources into the output folder and waits for its end step.
    void Convert(const QStringList &sources, TRecordingHost &host, const QString &outputDir = {});
    QString Clip(const QString &name) const { return FDir.filePath(u"clips/"_s + name); }
    QString Out() const { return FDir.filePath(u"out/"_s); }

    QTemporaryDir FDir;
    TWorkThreadInfo FInfo;
};

void TestVideo2H264Thread::initTestCase()
{
    QVERIFY(FDir.isValid());
    QVERIFY(QDir().mkpath(FDir.filePath(u"work"_s)));
    QVERIFY(QDir().mkpath(FDir.filePath(u"clips/other"_s)));
    WorkDir = WithTrailingSeparator(FDir.filePath(u"work"_s));
    QVERIFY(SaveResourceToFile(u"exefile"_s, u"av"_s, WorkDir + EncoderFileName()));
    const QString encoder = WorkDir + EncoderFileName();

    TClipSpec small;
    small.Seconds = 2;
    small.Size = u"160x120"_s;
    TClipSpec longer = small;
    longer.Seconds = 4;
    TClipSpec silent = small;
    silent.AudioChannels = 0;
    const QList<std::pair<QString, TClipSpec>> clips{
        {u"clip one.avi"_s, small},  {u"two.mov"_s, small},      {u"a.b.avi"_s, small},
        {u"movie"_s, small},         {u"other/clip one.mov"_s, longer},
        {u"silent.avi"_s, silent}};
    for (const auto &[name, spec] : clips) {
        const QString path = Clip(name);
        // "movie" has no extension to tell the encoder the container.
        const QString made = name == u"movie" ? Clip(u"movie.avi"_s) : path;
        const QString failure = MakeClip(encoder, made, spec);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
        if (made != path)
            QVERIFY(QFile::rename(made, path));
    }
    QVERIFY(WriteFile(Clip(u"notes.avi"_s), "this is text, not a video\n"));
}

void TestVideo2H264Thread::cleanupTestCase()
{
    WorkDir.clear();
}

void TestVideo2H264Thread::init()
{
    QDir(Out()).removeRecursively();
    FInfo = DefaultSettingsInfo();
}

void TestVideo2H264Thread::Convert(const QStringList &sources, TRecordingHost &host,
                                   const QString &outputDir)
{
    FInfo.OutputDir = outputDir.isEmpty() ? Out() : outputDir;
    QVERIFY(QDir().mkpath(FInfo.OutputDir)); // the Go button makes it before the worker starts
    FInfo.FileList = std::make_unique<QStringList>(sources);
    std::unique_ptr<TVideo2H264Thread> worker(TVideo2H264Thread::Start(&FInfo, &host, &host));
    QTRY_VERIFY_WITH_TIMEOUT(host.Ended, 120000);
    QVERIFY(worker->wait(10000));
    // The job record is done with: the list is released, the values stay.
    QVERIFY(!FInfo.FileList);
    QCOMPARE(FInfo.Resolution, u"320x240"_s);
}

void TestVideo2H264Thread::report_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("converted");
    QTest::addColumn<QStringList>("failedNames");

    QTest::newRow("empty list") << QStringList() << QStringList() << QStringList();
    QTest::newRow("names with blanks, dots and none")
        << QStringList{u"clip one.avi"_s, u"a.b.avi"_s, u"movie"_s}
        << QStringList{u"clip one.mp4"_s, u"a.b.mp4"_s, u"movie.mp4"_s} << QStringList();
    QTest::newRow("failures between good files")
        << QStringList{u"missing.avi"_s, u"two.mov"_s, u"notes.avi"_s, u"silent.avi"_s}
        << QStringList{u"two.mp4"_s}
        << QStringList{u"missing.avi"_s, u"notes.avi"_s, u"silent.avi"_s};
}

// Guards against a failure reported as success, a loop that stops at the first failure, a stub
// output left behind, and status texts that drift from the ones the user knows.
void TestVideo2H264Thread::report()
{
    QFETCH(QStringList, names);
    QFETCH(QStringList, converted);
    QFETCH(QStringList, failedNames);
    QStringList sources;
    for (const QString &name : names)
        sources << Clip(name);
    TRecordingHost host;
    Convert(sources, host);

    QStringList expectedStatuses{Started};
    for (const QString &name : names) {
        QString output = name;
        output = output.left(output.lastIndexOf(u'.') < 0 ? output.size()
                                                          : output.lastIndexOf(u'.'));
        expectedStatuses << u"Generating %1 ..."_s.arg(Out() + output + u".mp4"_s);
    }
    expectedStatuses << (failedNames.isEmpty() ? Completed : CompletedWithErrors);
    QCOMPARE(host.Statuses, expectedStatuses);

    QCOMPARE(host.Informations.size(), 1);
    const QStringList lines = host.Informations.first().split(u'\n', Qt::SkipEmptyParts);
    QCOMPARE(lines.first(), failedNames.isEmpty() ? Completed : CompletedWithErrors);
    // One line per failed file starts with its path; a reason may add lines of its own.
    QCOMPARE(lines.filter(QRegularExpression(u"^"_s + QRegularExpression::escape(Clip(QString()))))
                 .size(),
             failedNames.size());
    for (const QString &name : failedNames) {
        const QString prefix = Clip(name) + u": "_s;
        QVERIFY2(std::any_of(lines.begin(), lines.end(),
                             [&](const QString &line) { return line.startsWith(prefix)
                                                               && line.size() > prefix.size(); }),
                 qPrintable(host.Informations.first()));
    }
    QCOMPARE(host.Questions, 1);

    QStringList expectedFiles = converted;
    expectedFiles.sort();
    QCOMPARE(FolderEntries(Out()), expectedFiles);
    for (const QString &name : converted)
        QCOMPARE(ReadPspAtoms(Out() + name).VideoRates[0], 768u);
    if (names.isEmpty()) // the encoder never ran
        QVERIFY(FolderEntries(WorkDir).filter(u"vstats"_s).isEmpty());
}

// Guards against two sources of one name racing for their output: the later one wins.
void TestVideo2H264Thread::sameNameLaterWins()
{
    TRecordingHost host;
    Convert({Clip(u"clip one.avi"_s), Clip(u"other/clip one.mov"_s)}, host);
    QCOMPARE(FolderEntries(Out()), QStringList{u"clip one.mp4"_s});
    const double seconds = ProbeStream(Out() + u"clip one.mp4"_s, u"v"_s)
                               .value(u"format"_s).toObject().value(u"duration"_s)
                               .toString().toDouble();
    QVERIFY2(seconds > 3, qPrintable(QString::number(seconds)));
    QCOMPARE(host.Statuses.last(), Completed);
}

// Guards against the encoder overwriting an .mp4 source that lies in the output folder while it
// reads it.
void TestVideo2H264Thread::sourceInOutputFolderIsSkipped()
{
    const QString folder = FDir.filePath(u"clips/inplace/"_s);
    TRecordingHost first;
    Convert({Clip(u"two.mov"_s)}, first, folder);
    const QString source = folder + u"two.mp4"_s;
    const QByteArray before = ReadFile(source);
    QVERIFY(!before.isEmpty());

    TRecordingHost host;
    Convert({source}, host, folder);
    QCOMPARE(ReadFile(source), before);
    QCOMPARE(host.Statuses.last(), CompletedWithErrors);
    QVERIFY2(host.Informations.first().contains(
                 source + u": the output would replace the source"_s),
             qPrintable(host.Informations.first()));
}

void TestVideo2H264Thread::answerOpensFolder_data()
{
    QTest::addColumn<bool>("answer");
    QTest::newRow("yes opens") << true;
    QTest::newRow("no leaves it") << false;
}

void TestVideo2H264Thread::answerOpensFolder()
{
    QFETCH(bool, answer);
    TRecordingHost host;
    host.Answer = answer;
    Convert({}, host);
    QCOMPARE(host.Opened, answer ? 1 : 0);
}

// Guards against a second copy of the program that empties the shared work folder on close and
// leaves this copy without an encoder.
void TestVideo2H264Thread::deletedEncoderIsWrittenAgain()
{
    QVERIFY(QFile::remove(WorkDir + EncoderFileName()));
    TRecordingHost host;
    Convert({Clip(u"two.mov"_s)}, host);
    QCOMPARE(host.Statuses.last(), Completed);
    QCOMPARE(FolderEntries(Out()), QStringList{u"two.mp4"_s});
}

// Guards against a stopped conversion that leaves a half-written file, an encoder that outlives
// the stop, or boxes shown to a user who is leaving.
void TestVideo2H264Thread::stopRemovesPartialOutput()
{
    const QString real = WorkDir + EncoderFileName();
    const QString saved = WorkDir + u"real-av"_s;
    QVERIFY(QFile::rename(real, saved));
    QVERIFY(QFile::copy(QString::fromUtf8(FAKE_ENCODER), real));
    const QString log = FDir.filePath(u"fake.log"_s);
    qputenv("FAKEENCODER_MODE", "hang:graceful");
    qputenv("FAKEENCODER_PARTIAL", "1");
    qputenv("FAKEENCODER_LOG", QFile::encodeName(log));

    TRecordingHost host;
    FInfo.OutputDir = Out();
    QVERIFY(QDir().mkpath(Out()));
    FInfo.FileList = std::make_unique<QStringList>(QStringList{Clip(u"two.mov"_s),
                                                               Clip(u"a.b.avi"_s)});
    std::unique_ptr<TVideo2H264Thread> worker(TVideo2H264Thread::Start(&FInfo, &host, &host));
    QTRY_VERIFY_WITH_TIMEOUT(ReadFile(log).contains("ready"), 20000);
    QVERIFY(QFileInfo::exists(Out() + u"two.mp4"_s));
    worker->Stop();
    QTRY_VERIFY_WITH_TIMEOUT(host.Ended, 20000);
    QVERIFY(worker->wait(10000));

    qunsetenv("FAKEENCODER_MODE");
    qunsetenv("FAKEENCODER_PARTIAL");
    qunsetenv("FAKEENCODER_LOG");
    QVERIFY(QFile::remove(real));
    QVERIFY(QFile::rename(saved, real));

    QCOMPARE(FolderEntries(Out()), QStringList());
    const QByteArray seen = ReadFile(log);
    QCOMPARE(seen.count("pid="), 1); // the second file never started
    const pid_t pid = seen.mid(seen.indexOf("pid=") + 4).split('\n').first().toInt();
    QVERIFY(pid > 0);
    QVERIFY(::kill(pid, 0) != 0); // no encoder outlives the stop
    QVERIFY(host.Informations.isEmpty());
    QCOMPARE(host.Questions, 0);
}

QTEST_GUILESS_MAIN(TestVideo2H264Thread)
#include "tst_tvideo2h264thread.moc"
