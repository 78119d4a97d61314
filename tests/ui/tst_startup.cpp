#include "filehelpers.h"
#include "processvariables.h"
#include "tmainform.h"
#include "tworkthreadinfo.h"
#include "modalwatcher.h"
#include "testmain.h"
#include "testsupport.h"

#include <QLabel>
#include <QTemporaryDir>

#include <memory>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace {

// Throws from its event handler, as a faulty click handler would.
class TThrowingWidget : public QWidget
{
protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::User)
            throw std::runtime_error("The file thumb1.jpg cannot be opened.");
        return QWidget::event(event);
    }
};

} // namespace

class TestStartup : public QObject
{
    Q_OBJECT

private slots:
    void init() { WorkDir.clear(); }
    void firstStart_data();
    void firstStart();
    void leftoversAreReusedAndRemoved();
    void unusableWorkFolder_data();
    void unusableWorkFolder();
    void noexecTemporaryFolder();
    void startupFailureEndsWithNonZeroExit();
    void exceptionInHandlerIsReported();
};

void TestStartup::firstStart_data()
{
    QTest::addColumn<QString>("tmp");
    QTest::newRow("plain") << u"tmp"_s;
    QTest::newRow("blanks and missing parents") << u"my temp/with blanks/deeper"_s;
}

// Guards against a missing encoder or a work folder others can reach after a first start.
void TestStartup::firstStart()
{
    QFETCH(QString, tmp);
    QTemporaryDir root;
    TEnvGuard env("TMPDIR", root.filePath(tmp));
    {
        TMainForm form;
        QCOMPARE(form.StartupError(), QString());
        const QString expected = root.filePath(tmp) + u"/Quenbry/"_s;
        QCOMPARE(WorkDir, expected);
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(WorkDir).constData(), &st), 0);
        QCOMPARE(st.st_mode & 0777, 0700u);
        QCOMPARE(ReadFile(WorkDir + u"av"_s), ReadFile(u":/EXEFILE/AV"_s));
        QVERIFY(QFileInfo(WorkDir + u"av"_s).isExecutable());
        QCOMPARE(form.findChild<QLabel *>(u"sb_status"_s)->text(), u"Add or delete video files. "_s);
        QVERIFY(form.WorkInfo());
        QVERIFY(!form.WorkInfo()->FileList);
        QVERIFY(!IsConverting);
    }
    QVERIFY(QFileInfo(WorkDir).isDir());
    QCOMPARE(FolderEntries(WorkDir), QStringList());
}

// Guards against a stale encoder surviving a restart and leftovers surviving a clean close.
void TestStartup::leftoversAreReusedAndRemoved()
{
    QTemporaryDir root;
    TEnvGuard env("TMPDIR", root.path());
    const QString work = root.filePath(u"Quenbry/"_s);
    QVERIFY(WriteFile(work + u"av"_s, "an old encoder"));
    QVERIFY(WriteFile(work + u"thumb1.jpg"_s, "old picture"));
    QVERIFY(WriteFile(work + u"sub/vstats_101010.log"_s, "old stats"));
    {
        TMainForm form;
        QCOMPARE(form.StartupError(), QString());
        QCOMPARE(ReadFile(work + u"av"_s), ReadFile(u":/EXEFILE/AV"_s));
        QVERIFY(QFileInfo::exists(work + u"thumb1.jpg"_s));
    }
    QCOMPARE(FolderEntries(work), QStringList());
    QVERIFY(QFileInfo(work).isDir());
}

void TestStartup::unusableWorkFolder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("temporary folder is a file") << u"file"_s;
    QTest::newRow("work folder is a link elsewhere") << u"link"_s;
}

// Guards against the clean-up running without a valid work folder: it must leave the current
// folder and a link's target alone, and the user must be told.
void TestStartup::unusableWorkFolder()
{
    QFETCH(QString, kind);
    QTemporaryDir root;
    const QString elsewhere = root.filePath(u"elsewhere/"_s);
    QVERIFY(WriteFile(elsewhere + u"precious.txt"_s, "keep me"));
    QString tmp = root.filePath(u"tmp"_s);
    if (kind == u"file") {
        QVERIFY(WriteFile(tmp, "not a folder"));
    } else {
        QVERIFY(QDir().mkdir(tmp));
        QVERIFY(QFile::link(elsewhere, tmp + u"/Quenbry"_s));
    }
    TEnvGuard env("TMPDIR", tmp);
    const QString oldCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(elsewhere));
    QString error;
    {
        TMainForm form;
        error = form.StartupError();
    }
    QDir::setCurrent(oldCurrent);
    QVERIFY2(error.startsWith(u"The work folder "_s + tmp + u"/Quenbry/ cannot be created: "_s),
             qPrintable(error));
    QCOMPARE(WorkDir, QString());
    QCOMPARE(FolderEntries(elsewhere), QStringList{u"precious.txt"_s});
}

// Guards against an encoder that is written but can never run (temp folder mounted noexec).
void TestStartup::noexecTemporaryFolder()
{
    if (!IsRoot())
        QSKIP("needs root to mount a file system");
    QTemporaryDir root;
    const QByteArray mountPoint = QFile::encodeName(root.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", MS_NOEXEC, "size=16m") != 0)
        QSKIP("this machine does not allow mounting a tmpfs");
    QString error;
    {
        TEnvGuard env("TMPDIR", root.path());
        TMainForm form;
        error = form.StartupError();
    }
    ::umount(mountPoint.constData());
    QVERIFY2(error.startsWith(u"The encoder "_s) && error.contains(u"noexec"_s),
             qPrintable(error));
}

// Guards against a start-up failure that goes unreported or ends with exit code 0.
void TestStartup::startupFailureEndsWithNonZeroExit()
{
    QTemporaryDir root;
    const QString tmp = root.filePath(u"tmp"_s);
    QVERIFY(WriteFile(tmp, "not a folder"));
    TEnvGuard env("TMPDIR", tmp);
    TModalWatcher watcher;
    QCOMPARE(TApplication::RunMainForm(), 1);
    QCOMPARE(watcher.Count(), 1);
    QVERIFY(watcher.LastText().startsWith(u"The work folder "_s));
    QCOMPARE(watcher.Titles().first(), u"Quenbry"_s);
    QCOMPARE(MainForm, nullptr);
}

// Guards against an exception escaping into the event loop and ending the program.
void TestStartup::exceptionInHandlerIsReported()
{
    TThrowingWidget widget;
    TModalWatcher watcher;
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QTRY_COMPARE(watcher.Count(), 1);
    QCOMPARE(watcher.LastText(), u"The file thumb1.jpg cannot be opened."_s);
    // The program goes on: the next event is delivered as usual.
    QCoreApplication::postEvent(&widget, new QEvent(QEvent::User));
    QTRY_COMPARE(watcher.Count(), 2);
}

QUENBRY_TEST_MAIN(TestStartup)
#include "tst_startup.moc"
