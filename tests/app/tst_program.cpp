#include "testsupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestProgram : public QObject
{
    Q_OBJECT

private slots:
    void startsAndCleansUpOnStop();
};

// Guards against a built program that does not start, leaves no encoder, or leaves the work
// folder full (or removes it) when the session asks it to stop.
void TestProgram::startsAndCleansUpOnStop()
{
    QTemporaryDir root;
    const QString work = root.filePath(u"Quenbry/"_s);
    QVERIFY(WriteFile(work + u"leftover.log"_s, "from a crashed run"));

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(u"TMPDIR"_s, root.path());
    if (!env.contains(u"QT_QPA_PLATFORM"_s))
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
    program.setProcessEnvironment(env);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(QString::fromUtf8(QUENBRY_PROGRAM), {});
    QVERIFY(program.waitForStarted());

    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo(work + u"av"_s).isExecutable(), 20000);
    QVERIFY(program.state() == QProcess::Running);

    program.terminate();
    QVERIFY(program.waitForFinished(20000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
    QVERIFY(QFileInfo(work).isDir());
    QCOMPARE(FolderEntries(work), QStringList());
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
