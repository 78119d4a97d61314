// Feeds every file of the seed corpus and of the kept crash cases through a fuzz target's entry
// point, in ordinary builds, so a mended crash stays mended.
#include <cstdint>

#include <QDir>
#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

class TestFuzzReplay : public QObject
{
    Q_OBJECT

private slots:
    void replay_data();
    void replay();
};

void TestFuzzReplay::replay_data()
{
    QTest::addColumn<QString>("path");
    const QStringList folders = QString::fromUtf8(FUZZ_REPLAY_FOLDERS).split(u'|');
    for (const QString &folder : folders) {
        // Rows are named "corpus/<file>" or "regressions/<file>".
        const QDir dir(folder);
        const QString kind = dir.absolutePath().section(u'/', -2, -2);
        for (const QString &name : dir.entryList(QDir::Files, QDir::Name))
            QTest::newRow(qPrintable(kind + u'/' + name)) << dir.filePath(name);
    }
}

// Guards against an input that once crashed the entry point, or a seed it cannot take.
void TestFuzzReplay::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QCOMPARE(LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(bytes.constData()),
                                    size_t(bytes.size())),
             0);
}

QTEST_GUILESS_MAIN(TestFuzzReplay)
#include "replay.moc"
