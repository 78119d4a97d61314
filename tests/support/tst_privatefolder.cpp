#include "privatefolder.h"
#include "testsupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

mode_t ModeOf(const QString &path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

} // namespace

class TestPrivateFolder : public QObject
{
    Q_OBJECT

private slots:
    void createsOwnerOnly_data();
    void createsOwnerOnly();
    void tightensWidePermissions();
    void refusesHostileFolder_data();
    void refusesHostileFolder();
    void canExecuteFile();
    void noexecMountIsRefused();
};

void TestPrivateFolder::createsOwnerOnly_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("one level") << u"Quenbry/"_s;
    QTest::newRow("missing parents") << u"a/b/c/Quenbry/"_s;
    QTest::newRow("blanks and non-ASCII") << u"my temp/Dossier é/Quenbry"_s;
}

// Guards against a work folder that other local users can read or write into.
void TestPrivateFolder::createsOwnerOnly()
{
    QFETCH(QString, relative);
    QTemporaryDir root;
    const QString path = root.filePath(relative);
    QString reason;
    QVERIFY2(PreparePrivateFolder(path, &reason), qPrintable(reason));
    QVERIFY(QFileInfo(path).isDir());
    // Every level the call had to create is owner-only too.
    QString level = QDir::cleanPath(path);
    while (level != QDir::cleanPath(root.path())) {
        QCOMPARE(ModeOf(level), mode_t(0700));
        level = QFileInfo(level).path();
    }
    QVERIFY(PreparePrivateFolder(path, &reason)); // a second start reuses it
}

void TestPrivateFolder::tightensWidePermissions()
{
    QTemporaryDir root;
    const QString path = root.filePath(u"Quenbry"_s);
    QVERIFY(QDir().mkdir(path));
    QVERIFY(WriteFile(path + u"/leftover"_s, "x"));
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0777), 0);
    QString reason;
    QVERIFY2(PreparePrivateFolder(path, &reason), qPrintable(reason));
    QCOMPARE(ModeOf(path), mode_t(0700));
    QVERIFY(QFileInfo::exists(path + u"/leftover"_s));
}

void TestPrivateFolder::refusesHostileFolder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reasonPart");
    QTest::newRow("link to a folder") << u"link"_s << u"symbolic link"_s;
    QTest::newRow("dangling link") << u"dangling"_s << u"symbolic link"_s;
    QTest::newRow("a file in the way") << u"file"_s << u"not a folder"_s;
    QTest::newRow("another user's folder") << u"foreign"_s << u"another user"_s;
    QTest::newRow("empty path") << u"empty"_s << u"empty"_s;
}

// Guards against running an encoder that another local user planted in the shared temp folder.
void TestPrivateFolder::refusesHostileFolder()
{
    QFETCH(QString, kind);
    QFETCH(QString, reasonPart);
    QTemporaryDir root;
    QString path = root.filePath(u"Quenbry"_s);
    const QString elsewhere = root.filePath(u"elsewhere"_s);
    QVERIFY(QDir().mkdir(elsewhere));
    if (kind == u"link") {
        QVERIFY(QFile::link(elsewhere, path));
    } else if (kind == u"dangling") {
        QVERIFY(QFile::link(root.filePath(u"nothing"_s), path));
    } else if (kind == u"file") {
        QVERIFY(WriteFile(path, "x"));
    } else if (kind == u"foreign") {
        if (!IsRoot())
            QSKIP("needs root to give a folder to another user");
        QVERIFY(QDir().mkdir(path));
        QCOMPARE(::chown(QFile::encodeName(path).constData(), 65534, 65534), 0);
    } else {
        path.clear();
    }
    QString reason;
    QVERIFY(!PreparePrivateFolder(path, &reason));
    QVERIFY2(reason.contains(reasonPart), qPrintable(reason));
    QCOMPARE(FolderEntries(elsewhere), QStringList());
}

void TestPrivateFolder::canExecuteFile()
{
    QTemporaryDir root;
    const QString program = root.filePath(u"av"_s);
    QVERIFY(WriteFile(program, "#!/bin/sh\nexit 0\n"));
    QString reason;
    QCOMPARE(::chmod(QFile::encodeName(program).constData(), 0600), 0);
    QVERIFY(!CanExecuteFile(program, &reason));
    QCOMPARE(::chmod(QFile::encodeName(program).constData(), 0700), 0);
    QVERIFY2(CanExecuteFile(program, &reason), qPrintable(reason));
    QVERIFY(!CanExecuteFile(root.filePath(u"missing"_s), &reason));
    QVERIFY(!CanExecuteFile(root.path(), &reason));
}

// Guards against a temporary folder mounted noexec, where every encoder run would fail silently.
void TestPrivateFolder::noexecMountIsRefused()
{
    if (!IsRoot())
        QSKIP("needs root to mount a file system");
    QTemporaryDir root;
    const QByteArray mountPoint = QFile::encodeName(root.path());
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", MS_NOEXEC, "size=1m") != 0)
        QSKIP("this machine does not allow mounting a tmpfs");
    const QString program = root.filePath(u"av"_s);
    const bool written = WriteFile(program, "#!/bin/sh\nexit 0\n")
                         && ::chmod(QFile::encodeName(program).constData(), 0700) == 0;
    QString reason;
    const bool runnable = CanExecuteFile(program, &reason);
    ::umount(mountPoint.constData());
    QVERIFY(written);
    QVERIFY(!runnable);
    QVERIFY2(reason.contains(u"noexec"_s), qPrintable(reason));
}

QTEST_GUILESS_MAIN(TestPrivateFolder)
#include "tst_privatefolder.moc"
