#include "conversionjudge.h"
#include "testsupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(TEncoderStatus)

class TestConversionJudge : public QObject
{
    Q_OBJECT

private slots:
    void judge_data();
    void judge();
};

void TestConversionJudge::judge_data()
{
    QTest::addColumn<TEncoderStatus>("status");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output"); // "missing", "empty", "folder" or "file"
    QTest::addColumn<bool>("patched");
    QTest::addColumn<QString>("reason"); // empty for success, else the start of the reason

    const auto finished = TEncoderStatus::Finished;
    QTest::newRow("clean run, file, patched") << finished << 0 << u"file"_s << true << QString();
    QTest::newRow("profile not patched")
        << finished << 0 << u"file"_s << false
        << u"The video bit rate of the PSP profile could not be set:\nno atom"_s;
    QTest::newRow("exit code 1 with a file left")
        << finished << 1 << u"file"_s << true
        << u"The encoder failed with exit code 1:\nlast words"_s;
    QTest::newRow("exit 0 without output") << finished << 0 << u"missing"_s << false
                                           << u"The encoder wrote no output file"_s;
    QTest::newRow("exit 0 with an empty output") << finished << 0 << u"empty"_s << false
                                                 << u"The encoder wrote an empty output file"_s;
    QTest::newRow("a folder at the output path") << finished << 0 << u"folder"_s << false
                                                 << u"The encoder wrote no output file"_s;
    QTest::newRow("stopped though it exited 0")
        << TEncoderStatus::Stopped << 0 << u"file"_s << true << u"The encoder was stopped"_s;
    QTest::newRow("stopped with exit 255")
        << TEncoderStatus::Stopped << 255 << u"file"_s << false << u"The encoder was stopped"_s;
    QTest::newRow("crashed") << TEncoderStatus::Crashed << 11 << u"file"_s << true
                             << u"The encoder crashed (signal 11):\nlast words"_s;
    QTest::newRow("not started") << TEncoderStatus::FailedToStart << -1 << u"missing"_s << false
                                 << u"The encoder could not be started:\nlast words"_s;
}

// Guards against a failed, stopped or crashed run, or an unusable file, passing for success.
void TestConversionJudge::judge()
{
    QFETCH(TEncoderStatus, status);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    QFETCH(bool, patched);
    QFETCH(QString, reason);

    QTemporaryDir dir;
    const QString path = dir.filePath(u"out.mp4"_s);
    if (output == u"file"_s)
        QVERIFY(WriteFile(path, "data"));
    else if (output == u"empty"_s)
        QVERIFY(WriteFile(path, {}));
    else if (output == u"folder"_s)
        QVERIFY(QDir().mkpath(path));

    TEncoderResult run;
    run.Status = status;
    run.ExitCode = exitCode;
    run.ErrorTail = u"last words"_s;
    const TConversionOutcome outcome = JudgeConversion(run, path, patched, u"no atom"_s);

    QCOMPARE(outcome.Succeeded, reason.isEmpty());
    if (reason.isEmpty())
        QCOMPARE(outcome.Reason, QString());
    else
        QVERIFY2(outcome.Reason.startsWith(reason), qPrintable(outcome.Reason));
    QCOMPARE(outcome.Run.Status, status);
}

QTEST_GUILESS_MAIN(TestConversionJudge)
#include "tst_conversionjudge.moc"
