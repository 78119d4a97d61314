#include "filehelpers.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestFileHelpers : public QObject
{
    Q_OBJECT

private slots:
    void tempDirectory_data();
    void tempDirectory();
    void saveResource_data();
    void saveResource();
    void saveResourceReplacesFileAndLink();
    void missingResourceCreatesNoFile();
    void deleteContentsStaysInside();
    void deleteContentsIgnoresUnsafePatterns_data();
    void deleteContentsIgnoresUnsafePatterns();
    void shortPathName();
};

void TestFileHelpers::tempDirectory_data()
{
    QTest::addColumn<QString>("tmpdir");
    QTest::addColumn<QString>("expected");
    QTest::newRow("without trailing separator") << u"/var/tmp"_s << u"/var/tmp/"_s;
    QTest::newRow("with trailing separator") << u"/var/tmp/"_s << u"/var/tmp/"_s;
    QTest::newRow("with blanks") << u"/tmp/my temp"_s << u"/tmp/my temp/"_s;
    QTest::newRow("relative is made absolute")
        << u"rel"_s << QDir::currentPath() + u"/rel/"_s;
}

// Guards against a temporary folder that ends without a separator or depends on the current folder.
void TestFileHelpers::tempDirectory()
{
    QFETCH(QString, tmpdir);
    QFETCH(QString, expected);
    TEnvGuard env("TMPDIR", tmpdir);
    QString dir;
    GetTempDirectory(dir);
    QCOMPARE(dir, expected);
}

void TestFileHelpers::saveResource_data()
{
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("name");
    QTest::newRow("stored spelling") << u"TestType"_s << u"Blob"_s;
    QTest::newRow("lower case") << u"testtype"_s << u"blob"_s;
    QTest::newRow("upper case") << u"TESTTYPE"_s << u"BLOB"_s;
}

// Guards against a case-sensitive lookup (the encoder is asked for as "exefile"/"av").
void TestFileHelpers::saveResource()
{
    QFETCH(QString, type);
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString target = dir.filePath(u"out"_s);
    QVERIFY(SaveResourceToFile(type, name, target));
    QCOMPARE(ReadFile(target), ReadFile(u":/TestType/Blob"_s));
    QVERIFY(QFileInfo(target).permissions() & QFileDevice::ExeOwner);
}

// Guards against appending to an old file and against writing through a planted link.
void TestFileHelpers::saveResourceReplacesFileAndLink()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(u"av"_s);
    QVERIFY(WriteFile(target, QByteArray(100000, 'x')));
    QVERIFY(SaveResourceToFile(u"testtype"_s, u"blob"_s, target));
    QCOMPARE(ReadFile(target), ReadFile(u":/TestType/Blob"_s));

    const QString victim = dir.filePath(u"victim"_s);
    QVERIFY(WriteFile(victim, "precious"));
    QVERIFY(QFile::remove(target));
    QVERIFY(QFile::link(victim, target));
    QVERIFY(SaveResourceToFile(u"testtype"_s, u"blob"_s, target));
    QVERIFY(!QFileInfo(target).isSymLink());
    QCOMPARE(ReadFile(victim), QByteArray("precious"));
}

void TestFileHelpers::missingResourceCreatesNoFile()
{
    QTemporaryDir dir;
    const QString target = dir.filePath(u"out"_s);
    QString reason;
    QVERIFY(!SaveResourceToFile(u"exefile"_s, u"nosuchname"_s, target, &reason));
    QVERIFY(!reason.isEmpty());
    QVERIFY(!QFileInfo::exists(target));
    QVERIFY(!SaveResourceToFile(u"TestType"_s, u"Blob"_s, dir.filePath(u"missing/dir/out"_s)));
}

// Guards against a clean-up that follows links out of the work folder.
void TestFileHelpers::deleteContentsStaysInside()
{
    QTemporaryDir root;
    const QString work = root.filePath(u"work/"_s);
    const QString outside = root.filePath(u"outside/"_s);
    QVERIFY(WriteFile(work + u"av"_s, "encoder"));
    QVERIFY(WriteFile(work + u".hidden"_s, "x"));
    QVERIFY(WriteFile(work + u"sub/deeper/thumb1.jpg"_s, "x"));
    QVERIFY(WriteFile(outside + u"keep.txt"_s, "mine"));
    QVERIFY(WriteFile(outside + u"inner/keep2.txt"_s, "mine too"));
    QVERIFY(QFile::link(outside, work + u"link-to-folder"_s));
    QVERIFY(QFile::link(outside + u"keep.txt"_s, work + u"link-to-file"_s));
    QVERIFY(QFile::link(outside + u"inner"_s, work + u"sub/nested-link"_s));
    QVERIFY(QFile::link(root.filePath(u"nowhere"_s), work + u"dangling"_s));

    DeleteFolderContents(work + u'*');

    QVERIFY(QFileInfo(work).isDir());
    QCOMPARE(FolderEntries(work), QStringList());
    QCOMPARE(FolderEntries(outside), (QStringList{u"inner"_s, u"keep.txt"_s}));
    QCOMPARE(ReadFile(outside + u"keep.txt"_s), QByteArray("mine"));
    QCOMPARE(ReadFile(outside + u"inner/keep2.txt"_s), QByteArray("mine too"));

    QVERIFY(WriteFile(work + u"again"_s, "x"));
    DeleteFolderContents(work + u"*.*"_s);
    QCOMPARE(FolderEntries(work), QStringList());
    DeleteFolderContents(work + u'*'); // nothing to match: nothing happens
    QVERIFY(QFileInfo(work).isDir());
}

void TestFileHelpers::deleteContentsIgnoresUnsafePatterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::newRow("empty work folder") << u"*"_s;
    QTest::newRow("empty work folder, windows mask") << u"*.*"_s;
    QTest::newRow("relative folder") << u"./*"_s;
    QTest::newRow("no mask") << u""_s;
}

// Guards against emptying the current folder when the work folder path came out empty.
void TestFileHelpers::deleteContentsIgnoresUnsafePatterns()
{
    QFETCH(QString, pattern);
    QTemporaryDir dir;
    QVERIFY(WriteFile(dir.filePath(u"canary"_s), "alive"));
    const QString old = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    DeleteFolderContents(pattern);
    QDir::setCurrent(old);
    QCOMPARE(ReadFile(dir.filePath(u"canary"_s)), QByteArray("alive"));
}

void TestFileHelpers::shortPathName()
{
    QTemporaryDir dir;
    QCOMPARE(ShortPathName(dir.path()), dir.path());
    QCOMPARE(ShortPathName(dir.filePath(u"missing file.avi"_s)), QString());
    QCOMPARE(ShortPathName(QString()), QString());
}

QTEST_GUILESS_MAIN(TestFileHelpers)
#include "tst_filehelpers.moc"
