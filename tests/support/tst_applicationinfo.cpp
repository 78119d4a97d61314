#include "tapplicationinfo.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

class TestApplicationInfo : public QObject
{
    Q_OBJECT

private slots:
    void homepage_data();
    void homepage();
};

void TestApplicationInfo::homepage_data()
{
    const QString fallback = QString::fromUtf16(DefaultHomepage);
    const QByteArray longValue(3000, 'a');

    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no file") << false << QByteArray() << fallback;
    QTest::newRow("empty file") << true << QByteArray() << fallback;
    QTest::newRow("other section")
        << true << QByteArray("[Other]\nHomepage=http://x.example/\n") << fallback;
    QTest::newRow("other key")
        << true << QByteArray("[ApplicationInfo]\nSupport=a@b\n") << fallback;
    QTest::newRow("address")
        << true << QByteArray("[ApplicationInfo]\nHomepage=http://example.org/q\n")
        << u"http://example.org/q"_s;
    QTest::newRow("present but empty")
        << true << QByteArray("[ApplicationInfo]\nHomepage=\n") << QString();
    QTest::newRow("over-long value is cut")
        << true << "[ApplicationInfo]\nHomepage=" + longValue + '\n'
        << QString::fromLatin1(longValue.left(2047));
    QTest::newRow("comma kept")
        << true << QByteArray("[ApplicationInfo]\nHomepage=http://e.org/a,b\n")
        << u"http://e.org/a,b"_s;
}

// Guards against a missing default, an empty value replaced by the default, and unbounded values.
void TestApplicationInfo::homepage()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, content);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath(u"config.ini"_s);
    if (exists)
        QVERIFY(WriteFile(path, content));
    const TApplicationInfo info = ReadApplicationInfo(path);
    QCOMPARE(info.Homepage, expected);
    QVERIFY(!QFileInfo::exists(path) || exists); // reading never writes
    if (exists)
        QCOMPARE(ReadFile(path), content);
}

QTEST_GUILESS_MAIN(TestApplicationInfo)
#include "tst_applicationinfo.moc"
