#include "runandwait.h"
#include "tencoderstop.h"
#include "testsupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <atomic>
#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;
using namespace std::chrono_literals;

Q_DECLARE_METATYPE(TEncoderStatus)

namespace {

const QString FakeEncoder = QStringLiteral(FAKE_ENCODER);

// Runs the fake on a thread of its own, as the worker would, so this thread can play the UI
// thread that asks it to stop. The result is handed over through an atomic flag rather than
// QThread::isFinished(), whose ordering ThreadSanitizer cannot see inside Qt.
class TBackgroundRun
{
public:
    TBackgroundRun(const QStringList &arguments, const QString &folder, TEncoderStop *stop)
        : FThread(QThread::create([this, arguments, folder, stop] {
            FResult = RunAndWait(FakeEncoder, arguments, folder, stop);
            FFinished.store(true);
        }))
    {
        FThread->start();
    }
    ~TBackgroundRun() { FThread->wait(); }
    bool Finished() const { return FFinished.load(); }
    const TEncoderResult &Result() const { return FResult; }

private:
    TEncoderResult FResult;
    std::atomic<bool> FFinished = false;
    std::unique_ptr<QThread> FThread;
};

} // namespace

class TestRunAndWait : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void outcome_data();
    void outcome();
    void notStarted_data();
    void notStarted();
    void argumentsFolderAndInputArriveIntact();
    void stderrTailKeepsTheLastLines();
    void stopFromAnotherThread_data();
    void stopFromAnotherThread();
    void stopRequestedBeforeStartRunsNothing();

private:
    std::unique_ptr<QTemporaryDir> FDir;
    QString LogPath() const { return FDir->filePath(u"fake.log"_s); }
};

void TestRunAndWait::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FDir->isValid());
}

void TestRunAndWait::outcome_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<TEncoderStatus>("status");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("lastWords");
    QTest::newRow("clean exit") << QString() << TEncoderStatus::Finished << 0 << QString();
    QTest::newRow("failure exit") << u"exit:3"_s << TEncoderStatus::Finished << 3
                                  << u"fake failure 3"_s;
    QTest::newRow("exit code 255") << u"exit:255"_s << TEncoderStatus::Finished << 255
                                   << u"fake failure 255"_s;
    QTest::newRow("crash") << u"crash"_s << TEncoderStatus::Crashed << int(SIGABRT)
                           << u"about to crash"_s;
}

// Guards against a crash or a failure exit being taken for a normal, successful end.
void TestRunAndWait::outcome()
{
    QFETCH(QString, mode);
    QFETCH(TEncoderStatus, status);
    QFETCH(int, exitCode);
    QFETCH(QString, lastWords);
    TEnvGuard env("FAKEENCODER_MODE", mode);
    const TEncoderResult result = RunAndWait(FakeEncoder, {}, FDir->path());
    QCOMPARE(result.Status, status);
    QCOMPARE(result.ExitCode, exitCode);
    QCOMPARE(result.ErrorTail, lastWords);
}

void TestRunAndWait::notStarted_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("folder");
    QTest::newRow("missing encoder") << u"/nonexistent/av"_s << QString();
    QTest::newRow("encoder not executable") << u"notexec"_s << QString();
    QTest::newRow("missing working folder") << FakeEncoder << u"/nonexistent/folder"_s;
}

// Guards against a run that never started passing for one that ended with some exit code.
void TestRunAndWait::notStarted()
{
    QFETCH(QString, program);
    QFETCH(QString, folder);
    if (program == u"notexec"_s) {
        program = FDir->filePath(u"av"_s);
        QVERIFY(WriteFile(program, "#!/bin/sh\nexit 0\n"));
    }
    if (folder.isEmpty())
        folder = FDir->path();
    const TEncoderResult result = RunAndWait(program, {}, folder);
    QCOMPARE(result.Status, TEncoderStatus::FailedToStart);
    QCOMPARE(result.ExitCode, -1);
    QVERIFY(!result.ErrorTail.isEmpty());
}

// Guards against values split at blanks or cut at quotes, a long command cut at 512 characters,
// an encoder left waiting on an inherited input, and a run that moves the process's own folder.
void TestRunAndWait::argumentsFolderAndInputArriveIntact()
{
    const QStringList arguments = {u"two words"_s, u"say \"hi\""_s, QString(),
                                   u"-looks-like-option"_s, u"c:colon"_s, u"Grüße 視頻"_s,
                                   QString(600, u'x')};
    const QString folder = FDir->filePath(u"work folder"_s);
    QVERIFY(QDir().mkpath(folder));
    const QString ownFolder = QDir::currentPath();
    TEnvGuard mode("FAKEENCODER_MODE", u"record"_s);
    TEnvGuard log("FAKEENCODER_LOG", LogPath());

    const TEncoderResult result = RunAndWait(FakeEncoder, arguments, folder);

    QCOMPARE(result.Status, TEncoderStatus::Finished);
    QCOMPARE(result.ExitCode, 0);
    QStringList expected = {u"cwd="_s + QDir(folder).canonicalPath()};
    for (const QString &argument : arguments)
        expected << u"arg="_s + argument;
    expected << u"stdin=null"_s;
    QCOMPARE(QString::fromUtf8(ReadFile(LogPath())).split(u'\n', Qt::SkipEmptyParts), expected);
    QCOMPARE(QDir::currentPath(), ownFolder);
}

// Guards against keeping all of a chatty encoder's stderr, or losing the line that says why.
void TestRunAndWait::stderrTailKeepsTheLastLines()
{
    TEnvGuard mode("FAKEENCODER_MODE", u"spam"_s);
    const TEncoderResult result = RunAndWait(FakeEncoder, {}, FDir->path());
    QCOMPARE(result.ExitCode, 3);
    QVERIFY(result.ErrorTail.size() <= StderrTailLimit);
    const QStringList lines = result.ErrorTail.split(u'\n');
    QCOMPARE(lines.mid(lines.size() - 4),
             (QStringList{u"noise line 4999"_s, u"frame=1"_s, u"frame=2"_s, u"the last words"_s}));
    QVERIFY2(lines.first().startsWith(u"noise line "_s) && lines.first().size() > 11,
             qPrintable(lines.first())); // starts on a whole line
}

void TestRunAndWait::stopFromAnotherThread_data()
{
    QTest::addColumn<QString>("mode");
    QTest::addColumn<QString>("signalsSeen");
    QTest::addColumn<bool>("killed");
    QTest::newRow("ends on the interrupt") << u"hang:graceful"_s << u"SIGINT"_s << false;
    QTest::newRow("ignores the interrupt") << u"hang:ignoreint"_s << u"SIGINT SIGTERM"_s << false;
    QTest::newRow("ignores interrupt and terminate") << u"hang:stubborn"_s << u"SIGINT SIGTERM"_s
                                                     << true;
}

// Guards against an encoder that cannot be stopped when the window closes, a stop that skips
// the polite steps, and a stopped run (exit 255 or killed) reported as anything but stopped.
void TestRunAndWait::stopFromAnotherThread()
{
    QFETCH(QString, mode);
    QFETCH(QString, signalsSeen);
    QFETCH(bool, killed);
    TEnvGuard modeGuard("FAKEENCODER_MODE", mode);
    TEnvGuard log("FAKEENCODER_LOG", LogPath());
    TEncoderStop stop(200ms);

    TBackgroundRun run({}, FDir->path(), &stop);
    QTRY_VERIFY_WITH_TIMEOUT(ReadFile(LogPath()).contains("ready"), 10000);
    QVERIFY(!run.Finished());
    stop.RequestStop();
    QTRY_VERIFY_WITH_TIMEOUT(run.Finished(), 10000);

    QCOMPARE(run.Result().Status, TEncoderStatus::Stopped);
    const QStringList seen = QString::fromUtf8(ReadFile(LogPath())).split(u'\n',
                                                                          Qt::SkipEmptyParts);
    // The signals come after the fake's "ready" line.
    QCOMPARE(seen.mid(seen.indexOf(u"ready"_s) + 1).join(u' '), signalsSeen);
    if (!killed)
        QCOMPARE(run.Result().ExitCode, 255);
}

// Guards against a new encoder starting after the user has already asked to stop.
void TestRunAndWait::stopRequestedBeforeStartRunsNothing()
{
    TEnvGuard mode("FAKEENCODER_MODE", u"record"_s);
    TEnvGuard log("FAKEENCODER_LOG", LogPath());
    TEncoderStop stop;
    stop.RequestStop();
    const TEncoderResult result = RunAndWait(FakeEncoder, {}, FDir->path(), &stop);
    QCOMPARE(result.Status, TEncoderStatus::Stopped);
    QCOMPARE(result.ExitCode, -1);
    QVERIFY(!QFileInfo::exists(LogPath()));
}

QTEST_GUILESS_MAIN(TestRunAndWait)
#include "tst_runandwait.moc"
