#include "encoderjobs.h"
#include "mediatools.h"
#include "processvariables.h"
#include "tflatprogressbar.h"
#include "tmainform.h"
#include "tphotothumbpanel.h"
#include "tworkthreadinfo.h"
#include "formdriver.h"
#include "modalwatcher.h"
#include "testmain.h"
#include "testsupport.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;

class TestConversionFlow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void userFlow();
    void goRefusesUnusableFolder_data();
    void goRefusesUnusableFolder();
    void emptyListCompletes();
    void addWithoutPicture_data();
    void addWithoutPicture();
    void closeWhileConverting();

private:
    template<typename T> T *Child(const char *name) const { return ChildOf<T>(FForm.get(), name); }
    TPhotoThumbPanel *Grid() const { return Child<TPhotoThumbPanel>("PhotoThumbPanel1"); }
    QString Status() const { return Child<QLabel>("sb_status")->text(); }
    void Click(const char *name) const
    {
        QTest::mouseClick(Child<QWidget>(name), Qt::LeftButton, {}, QPoint(10, 10));
    }
    void Add(const QString &fileName)
    {
        ChooseInNextOpenDialog(fileName);
        Click("pnl1_btnAdd");
    }
    QString Clip(const QString &name) const { return FClips.filePath(name); }

    QTemporaryDir FClips;
    std::unique_ptr<QTemporaryDir> FTemp;
    std::unique_ptr<TEnvGuard> FTmpDir;
    std::unique_ptr<TMainForm> FForm;
};

void TestConversionFlow::initTestCase()
{
    QVERIFY(FClips.isValid());
    TClipSpec clip;
    clip.Seconds = 4;
    clip.Size = u"160x120"_s;
    TClipSpec shortClip = clip;
    shortClip.Seconds = 1;
    for (const auto &[name, spec] : QList<std::pair<QString, TClipSpec>>{
             {u"first clip.avi"_s, clip}, {u"second.mov"_s, clip}, {u"short.avi"_s, shortClip}}) {
        const QString failure = MakeClip(u"ffmpeg"_s, Clip(name), spec);
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }
    QVERIFY(WriteFile(Clip(u"notes.avi"_s), "this is text, not a video\n"));
}

void TestConversionFlow::init()
{
    FTemp = std::make_unique<QTemporaryDir>();
    FTmpDir = std::make_unique<TEnvGuard>("TMPDIR", FTemp->path());
    FForm = std::make_unique<TMainForm>();
    MainForm = FForm.get();
    QCOMPARE(FForm->StartupError(), QString());
    FForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(FForm.get()));
}

void TestConversionFlow::cleanup()
{
    FForm.reset();
    MainForm = nullptr;
    FTmpDir.reset();
    FTemp.reset();
}

// Guards against a break anywhere on the user's road: the open dialog, the thumbnail, the list
// commands, the settings, Go, the worker, its boxes and the files it writes.
void TestConversionFlow::userFlow()
{
    Add(Clip(u"first clip.avi"_s));
    QCOMPARE(Grid()->ThumbItems().Count(), 1);
    // The grabbed frame is kept at its full size; the grid stretches it.
    QCOMPARE(Grid()->ThumbItems().Items(0)->Bitmap().size(), QSize(160, 120));
    QVERIFY(Child<QScrollArea>("pnl1_ScrollBox")->isVisible());
    QVERIFY(!Child<QWidget>("pnl1_imgBack")->isVisible());

    // A second copy of the program that closed would have emptied the shared work folder.
    QVERIFY(QFile::remove(WorkDir + EncoderFileName()));
    Add(Clip(u"second.mov"_s));
    QCOMPARE(Grid()->ThumbItems().Count(), 2);
    QCOMPARE(Grid()->SelectedIndex(), 0);

    Grid()->setSelectedIndex(1);
    Click("pnl1_btnDelete");
    QCOMPARE(Grid()->ThumbItems().Count(), 1);
    QCOMPARE(Grid()->SelectedIndex(), 0);
    Add(Clip(u"second.mov"_s));
    QCOMPARE(Grid()->ThumbItems().Count(), 2);

    Click("tabOutput");
    const QString out = FTemp->filePath(u"My PSP/deeper/"_s);
    Child<QLineEdit>("edtOutputPath")->setText(out);
    Child<QLineEdit>("Edit1")->setText(u"A \"quoted\" title"_s);
    Child<QComboBox>("cmbOutputResolution")->setCurrentIndex(0);
    Child<QComboBox>("cmbChannels")->setCurrentIndex(0);
    Child<QComboBox>("cmbOutputVolume")->setCurrentIndex(0);

    TUrlRecorder recorder;
    QDesktopServices::setUrlHandler(u"file"_s, &recorder, "Open");
    TModalWatcher information(QMessageBox::Ok);
    Click("pnl3_btnGo");
    QVERIFY(IsConverting);
    QVERIFY(Child<TFlatProgressBar>("FlatProgressBar1")->isVisible());
    QVERIFY(Child<QTimer>("tmrProgress")->isActive());

    QTRY_VERIFY_WITH_TIMEOUT(OpenQuestion(), 120000);
    QCOMPARE(information.Titles(), QStringList{u"Information"_s});
    QCOMPARE(information.LastText(), u"PSP video file generation completed."_s);
    QCOMPARE(Status(), u"PSP video file generation completed."_s);

    // Still converting while the question waits: a second Go only asks the user to wait.
    QVERIFY(IsConverting);
    Click("pnl3_btnGo");
    QCOMPARE(information.Count(), 2);
    QCOMPARE(information.LastText(),
             u"The application is converting video to PSP format, just wait."_s);
    QCOMPARE(information.Titles().last(), u"Quenbry"_s);
    QVERIFY(Child<QTimer>("tmrProgress")->isActive());

    OpenQuestion()->button(QMessageBox::Yes)->click();
    QTRY_VERIFY(!IsConverting);
    QDesktopServices::unsetUrlHandler(u"file"_s);
    QVERIFY(!Child<TFlatProgressBar>("FlatProgressBar1")->isVisible());
    QVERIFY(!Child<QTimer>("tmrProgress")->isActive());
    QCOMPARE(recorder.Urls, QList<QUrl>{QUrl::fromLocalFile(out)});

    QCOMPARE(FolderEntries(out), (QStringList{u"first clip.mp4"_s, u"second.mp4"_s}));
    for (const QString &name : FolderEntries(out)) {
        const QJsonObject video = ProbeStream(out + name, u"v"_s);
        QCOMPARE(video.value(u"width"_s).toInt(), 176);
        QCOMPARE(video.value(u"height"_s).toInt(), 120);
        QCOMPARE(ProbeStream(out + name, u"a"_s).value(u"channels"_s).toInt(), 1);
        QCOMPARE(ReadPspAtoms(out + name).Title, u"A \"quoted\" title"_s);
        QCOMPARE(ReadPspAtoms(out + name).VideoRates[0], 768u);
    }
    QVERIFY(!FForm->WorkInfo()->FileList);
}

void TestConversionFlow::goRefusesUnusableFolder_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason"); // "%1" stands for the file in the way
    QTest::newRow("empty folder text") << u"empty"_s << u"no folder is given"_s;
    QTest::newRow("a file in the way") << u"file"_s << u"%1 is a file, not a folder"_s;
    QTest::newRow("below a file") << u"below"_s << u"%1 is a file, not a folder"_s;
}

// Guards against a worker started for a folder that cannot exist, which used to convert nothing
// and say nothing, and against a refusal that does not say what is in the way.
void TestConversionFlow::goRefusesUnusableFolder()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    const QString file = FTemp->filePath(u"a-file"_s);
    QVERIFY(WriteFile(file, "x"));
    const QString folder = kind == u"empty" ? QString()
                           : kind == u"file" ? file
                                             : file + u"/sub/"_s;
    Click("tabOutput");
    Child<QLineEdit>("edtOutputPath")->setText(folder);
    TModalWatcher watcher(QMessageBox::Ok);
    Click("pnl3_btnGo");
    QCOMPARE(watcher.Texts(),
             QStringList{u"Unable to create directory.\n\n"_s + reason.replace(u"%1"_s, file)});
    QVERIFY(!IsConverting);
    QVERIFY(!Child<TFlatProgressBar>("FlatProgressBar1")->isVisible());
    QVERIFY(!Child<QTimer>("tmrProgress")->isActive());
}

// Guards against an empty list that hangs or reports nothing.
void TestConversionFlow::emptyListCompletes()
{
    Click("tabOutput");
    Child<QLineEdit>("edtOutputPath")->setText(FTemp->filePath(u"out"_s));
    TModalWatcher information(QMessageBox::Ok);
    Click("pnl3_btnGo");
    QTRY_VERIFY_WITH_TIMEOUT(OpenQuestion(), 20000);
    QCOMPARE(information.Texts(), QStringList{u"PSP video file generation completed."_s});
    OpenQuestion()->button(QMessageBox::No)->click();
    QTRY_VERIFY(!IsConverting);
    QVERIFY(QFileInfo(FTemp->filePath(u"out"_s)).isDir());
}

void TestConversionFlow::addWithoutPicture_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reasonPart");
    QTest::newRow("not a video") << u"notes.avi"_s << u"failed"_s;
    QTest::newRow("shorter than 3 s") << u"short.avi"_s << u"no frame at 3 seconds"_s;
    QTest::newRow("missing file") << u"missing.avi"_s << u"failed"_s;
}

// Guards against a video without a picture silently getting the previous video's picture.
void TestConversionFlow::addWithoutPicture()
{
    QFETCH(QString, name);
    QFETCH(QString, reasonPart);
    Add(Clip(u"first clip.avi"_s));
    QCOMPARE(Grid()->ThumbItems().Count(), 1);

    TModalWatcher error(QMessageBox::Ok);
    Add(Clip(name));
    QTRY_COMPARE(error.Count(), 1);
    QVERIFY2(error.LastText().startsWith(u"No thumbnail could be made for "_s + Clip(name)),
             qPrintable(error.LastText()));
    QVERIFY2(error.LastText().contains(reasonPart, Qt::CaseInsensitive),
             qPrintable(error.LastText()));
    QStringList names;
    for (int i = 0; i < Grid()->ThumbItems().Count(); ++i)
        names << Grid()->ThumbItems().Items(i)->FileName();
    QCOMPARE(names, (QStringList{Clip(u"first clip.avi"_s), Clip(name)}));
    QVERIFY(Grid()->ThumbItems().Items(1)->Bitmap().isNull());
    QCOMPARE(Grid()->ThumbItems().Items(1)->FileName(), Clip(name));
}

// Guards against a close that leaves an encoder running, a half-written output behind, or frees
// the job record under the worker.
void TestConversionFlow::closeWhileConverting()
{
    Grid()->ThumbItems().Add()->setFileName(Clip(u"first clip.avi"_s));
    const QString log = FTemp->filePath(u"fake.log"_s);
    const QString encoder = WorkDir + EncoderFileName();
    // Learnt from the real encoder, so that the stand-in is only ever run to convert.
    QCOMPARE(VideoEncoderFor(encoder), u"libxvid"_s);
    QVERIFY(QFile::remove(encoder));
    QVERIFY(QFile::copy(QString::fromUtf8(FAKE_ENCODER), encoder));
    TEnvGuard mode("FAKEENCODER_MODE", u"hang:ignoreint"_s);
    TEnvGuard partial("FAKEENCODER_PARTIAL", u"1"_s);
    TEnvGuard logFile("FAKEENCODER_LOG", log);

    Click("tabOutput");
    const QString out = FTemp->filePath(u"out/"_s);
    Child<QLineEdit>("edtOutputPath")->setText(out);
    Click("pnl3_btnGo");
    QTRY_VERIFY_WITH_TIMEOUT(ReadFile(log).contains("ready"), 20000);
    QVERIFY(QFileInfo::exists(out + u"first clip.mp4"_s));

    {
        TModalWatcher no(QMessageBox::No);
        FForm->close();
        QCOMPARE(no.Texts(), QStringList{u"A conversion is running. Stop it and quit?"_s});
    }
    QVERIFY(FForm->isVisible());
    QVERIFY(IsConverting);

    {
        TModalWatcher yes(QMessageBox::Yes);
        FForm->close();
        QCOMPARE(yes.Count(), 1);
    }
    QVERIFY(!FForm->isVisible());
    QVERIFY(!IsConverting);
    QCOMPARE(FolderEntries(out), QStringList());
    const QByteArray seen = ReadFile(log);
    const pid_t pid = seen.mid(seen.indexOf("pid=") + 4).split('\n').first().toInt();
    QVERIFY(pid > 0);
    QVERIFY(::kill(pid, 0) != 0);
    QVERIFY(seen.contains("SIGTERM")); // it ignored the polite request and was ended
}

QUENBRY_TEST_MAIN(TestConversionFlow)
#include "tst_conversionflow.moc"
