#include "encoderjobs.h"
#include "testmain.h"
#include "userdriver.h"

#include <QProcess>
#include <QScopeGuard>

#include <optional>

#include <sys/types.h>

using namespace Qt::StringLiterals;

namespace {

// The encoder that converts output, once it has written part of it: its process and the size of
// what it wrote; 0 and 0 while there is none.
std::pair<pid_t, qint64> EncoderWriting(const QString &workDir, const QString &output)
{
    for (const pid_t pid : EncoderProcesses(workDir)) {
        if (CommandLine(pid).contains(QFile::encodeName(output)))
            return {pid, QFileInfo(output).size()};
    }
    return {0, 0};
}

// Whether the process runs: it exists and is no zombie, which has ended and only waits to be
// reaped.
bool Alive(pid_t pid)
{
    const QByteArray stat = ReadFile(u"/proc/%1/stat"_s.arg(pid));
    // The state follows the command name, which is in parentheses.
    const qsizetype close = stat.lastIndexOf(')');
    return pid > 0 && close > 0 && close + 2 < stat.size() && stat.at(close + 2) != 'Z';
}

} // namespace

// Faults while the real program converts: its encoder killed, hung or deleted, the output disk
// full. Each must end with the failed file reported, the others converted, no encoder left
// running and every source unchanged.
class TestFaults : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void encoderKilledMidFile();
    void hungEncoderStoppedByClose_data();
    void hungEncoderStoppedByClose();
    void encoderDeleted_data();
    void encoderDeleted();
    void outputDiskFull();
    void programKilledMidFile();

private:
    QString Clip(const QString &name) const { return FClips.filePath(name); }

    QTemporaryDir FClips;
};

void TestFaults::initTestCase()
{
    QVERIFY(FClips.isValid());
    TClipSpec clip;
    clip.Seconds = 4;
    clip.Size = u"160x120"_s;
    // Long enough that the encoder is still at work when the test acts on it mid-file.
    TClipSpec longClip = clip;
    longClip.Seconds = 20;
    longClip.Size = u"320x240"_s;
    for (const auto &[name, spec] : QList<std::pair<QString, TClipSpec>>{
             {u"next.avi"_s, clip}, {u"long.avi"_s, longClip}}) {
        const QString failure = MakeClip(u"ffmpeg"_s, Clip(name), spec);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
}

// Guards against an encoder that dies mid-file taking the rest of the list with it, passing for
// success, or leaving its half-written file behind.
void TestFaults::encoderKilledMidFile()
{
    const QMap<QString, QByteArray> before = FolderDigests(FClips.path());
    TUserSession user;
    QVERIFY(user.Ready());
    const QString killed = Clip(u"long.avi"_s);
    const QString next = Clip(u"next.avi"_s);
    AddAll(user, {killed, next});
    const QString out = user.Temp(u"out/"_s);
    user.SetOutput(out);

    const QString partial = out + u"long.mp4"_s;
    pid_t pid = 0;
    const QStringList boxes = user.Go([&] {
        QTRY_VERIFY_WITH_TIMEOUT(EncoderWriting(user.WorkFolder(), partial).second > 0, 30000);
        pid = EncoderWriting(user.WorkFolder(), partial).first;
        QVERIFY(::kill(pid, SIGKILL) == 0);
    });
    QVERIFY(pid > 0);
    CheckReport(boxes, {{killed, u"The encoder crashed (signal 9)"_s}}, {next});
    CheckGoesOn(user);
    CheckOutputs(out, {next});
    QVERIFY(!Alive(pid));
    QCOMPARE(FolderDigests(FClips.path()), before);
}

void TestFaults::hungEncoderStoppedByClose_data()
{
    QTest::addColumn<QString>("mode"); // of the stand-in; empty: the real encoder
    QTest::addColumn<QByteArray>("requests"); // the stand-in's log of the requests it got
    QTest::newRow("ends on the first request") << u"hang:graceful"_s << QByteArray("SIGINT\n");
    QTest::newRow("ignores the first request")
        << u"hang:ignoreint"_s << QByteArray("SIGINT\nSIGTERM\n");
    QTest::newRow("ignores every request") << u"hang:stubborn"_s
                                           << QByteArray("SIGINT\nSIGTERM\n");
    // The real encoder waits on a source that became a pipe nobody writes to, as a stalled
    // network share would keep it waiting.
    QTest::newRow("real encoder waiting on its input") << QString() << QByteArray();
}

// Guards against a close that leaves a hung encoder running, its half-written file behind, or
// hangs the program itself.
void TestFaults::hungEncoderStoppedByClose()
{
    QFETCH(QString, mode);
    QFETCH(QByteArray, requests);
    TUserSession user;
    QVERIFY(user.Ready());
    const QString source = user.Temp(u"clips/stalled.avi"_s);
    QVERIFY(QDir().mkpath(user.Temp(u"clips"_s)));
    QVERIFY(QFile::copy(Clip(u"next.avi"_s), source));
    AddAll(user, {source});
    const QString out = user.Temp(u"out/"_s);
    user.SetOutput(out);

    const QString encoder = user.WorkFolder() + EncoderFileName();
    const QString log = user.Temp(u"fake.log"_s);
    std::optional<TEnvGuard> fakeMode;
    std::optional<TEnvGuard> fakePartial;
    std::optional<TEnvGuard> fakeLog;
    if (!mode.isEmpty()) {
        // Learnt from the real encoder, so that the stand-in is only ever run to convert.
        QCOMPARE(VideoEncoderFor(encoder), u"libxvid"_s);
        QVERIFY(QFile::remove(encoder));
        QVERIFY(QFile::copy(QString::fromUtf8(FAKE_ENCODER), encoder));
        fakeMode.emplace("FAKEENCODER_MODE", mode);
        fakePartial.emplace("FAKEENCODER_PARTIAL", u"1"_s);
        fakeLog.emplace("FAKEENCODER_LOG", log);
    } else {
        QVERIFY(QFile::remove(source));
        QVERIFY(::mkfifo(QFile::encodeName(source).constData(), 0600) == 0);
    }
    const QByteArray sourceDigest = FileDigest(source);

    user.Click("pnl3_btnGo");
    QVERIFY(IsConverting);
    pid_t pid = 0;
    if (!mode.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(ReadFile(log).contains("ready"), 20000);
        QVERIFY(QFileInfo::exists(out + u"stalled.mp4"_s));
        const QByteArray seen = ReadFile(log);
        pid = seen.mid(seen.indexOf("pid=") + 4).split('\n').first().toInt();
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(
            (pid = EncoderWriting(user.WorkFolder(), out + u"stalled.mp4"_s).first) > 0, 20000);
    }
    QVERIFY(Alive(pid));

    {
        TModalWatcher yes(QMessageBox::Yes);
        user.Form()->close();
        QCOMPARE(yes.Texts(), QStringList{u"A conversion is running. Stop it and quit?"_s});
    }
    QVERIFY(!user.Form()->isVisible());
    QVERIFY(!IsConverting);
    QVERIFY(!Alive(pid));
    QCOMPARE(EncoderProcesses(user.WorkFolder()), QList<pid_t>());
    QCOMPARE(FolderEntries(out), QStringList());
    QCOMPARE(FileDigest(source), sourceDigest);
    if (!mode.isEmpty()) {
        const QByteArray seen = ReadFile(log);
        QCOMPARE(seen.mid(seen.indexOf("ready\n") + 6), requests);
    }
}

void TestFaults::encoderDeleted_data()
{
    QTest::addColumn<QString>("when");
    QTest::addColumn<QString>("failure"); // part of each file's reason; empty: both convert
    QTest::newRow("after the adds") << u"before Go"_s << QString();
    QTest::newRow("while it converts the first file") << u"running"_s << QString();
    QTest::newRow("with the whole work folder") << u"folder"_s << QString();
    QTest::newRow("work folder remade by another user, with an encoder in it")
        << u"foreign"_s << u"it belongs to another user"_s;
}

// Guards against a conversion that fails once a cleaner has removed the encoder the program
// wrote at its start, or its whole work folder, and against running an encoder that someone
// else put in a work folder made again in its place.
void TestFaults::encoderDeleted()
{
    QFETCH(QString, when);
    QFETCH(QString, failure);
    const QMap<QString, QByteArray> before = FolderDigests(FClips.path());
    TUserSession user;
    QVERIFY(user.Ready());
    const QStringList sources{Clip(u"long.avi"_s), Clip(u"next.avi"_s)};
    AddAll(user, sources);
    const QString out = user.Temp(u"out/"_s);
    user.SetOutput(out);
    const QString encoder = user.WorkFolder() + EncoderFileName();
    const QString planted = user.Temp(u"planted encoder ran"_s);

    if (when == u"before Go") {
        QVERIFY(QFile::remove(encoder));
    } else if (when == u"folder") {
        QVERIFY(QDir(user.WorkFolder()).removeRecursively());
    } else if (when == u"foreign") {
        if (!IsRoot())
            QSKIP("making a folder of another user needs root");
        QVERIFY(QDir(user.WorkFolder()).removeRecursively());
        QVERIFY(WriteFile(encoder, "#!/bin/sh\ntouch '" + QFile::encodeName(planted) + "'\n"));
        QVERIFY(QFile::setPermissions(encoder, QFile::permissions(encoder) | QFileDevice::ExeOwner
                                                   | QFileDevice::ExeOther));
        for (const QString &path : {user.WorkFolder(), encoder})
            QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    }
    const QStringList boxes = user.Go([&] {
        if (when != u"running")
            return;
        QTRY_VERIFY_WITH_TIMEOUT(EncoderWriting(user.WorkFolder(), out + u"long.mp4"_s).second > 0,
                                 30000);
        QVERIFY(QFile::remove(encoder));
    });
    if (failure.isEmpty()) {
        CheckReport(boxes, {}, sources);
        CheckOutputs(out, sources);
        QVERIFY(QFileInfo(encoder).isExecutable());
    } else {
        CheckReport(boxes, {{sources[0], failure}, {sources[1], failure}});
        CheckOutputs(out, {});
        QVERIFY(!QFileInfo::exists(planted));
    }
    CheckGoesOn(user);
    QCOMPARE(FolderDigests(FClips.path()), before);
}

// Guards against a full disk passing for success, its partial file keeping the disk full for
// the files after it, or the program hanging on it.
void TestFaults::outputDiskFull()
{
    const QMap<QString, QByteArray> before = FolderDigests(FClips.path());
    TUserSession user;
    QVERIFY(user.Ready());
    const QString out = user.Temp(u"out/"_s);
    QVERIFY(QDir().mkpath(out));
    // Room for the short clip's file at the lowest rates, not for the long one's.
    const TMount disk(out, u"size=256k"_s);
    if (!disk.Mounted())
        QSKIP("a full disk needs a small tmpfs, which only root can mount and which failed here");
    const QString full = Clip(u"long.avi"_s);
    const QString next = Clip(u"next.avi"_s);
    AddAll(user, {full, next});
    user.SetOutput(out);
    user.Child<QComboBox>("cmbVideoQuality")->setCurrentIndex(0);
    user.Child<QComboBox>("cmbAudioQuality")->setCurrentIndex(0);

    CheckReport(user.Go(), {{full, u"No space left on device"_s}}, {next});
    CheckGoesOn(user);
    CheckOutputs(out, {next});
    QCOMPARE(FolderDigests(FClips.path()), before);
}

// Guards against an encoder that goes on writing, unseen, after the program died without
// stopping it (killed, crashed).
void TestFaults::programKilledMidFile()
{
#ifndef Q_OS_LINUX
    QSKIP("the encoder is bound to the program's life on Linux only");
#endif
    QTemporaryDir dir;
    const QString log = dir.filePath(u"fake.log"_s);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // The stand-in ends on nothing but a kill.
    environment.insert(u"FAKEENCODER_MODE"_s, u"hang:stubborn"_s);
    environment.insert(u"FAKEENCODER_PARTIAL"_s, u"1"_s);
    environment.insert(u"FAKEENCODER_LOG"_s, log);
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(dir.path());
    program.start(QString::fromUtf8(ENCODER_HOST),
                  {QString::fromUtf8(FAKE_ENCODER), u"file:"_s + dir.filePath(u"out.mp4"_s)});
    QVERIFY(program.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(ReadFile(log).contains("ready"), 20000);
    const QByteArray seen = ReadFile(log);
    const pid_t encoder = seen.mid(seen.indexOf("pid=") + 4).split('\n').first().toInt();
    QVERIFY(Alive(encoder));
    const auto never = qScopeGuard([encoder] {
        if (Alive(encoder))
            ::kill(encoder, SIGKILL);
    });

    program.kill();
    QVERIFY(program.waitForFinished());
    QTRY_VERIFY_WITH_TIMEOUT(!Alive(encoder), 5000);
}

QUENBRY_TEST_MAIN(TestFaults)
#include "tst_faults.moc"
