#include "processvariables.h"
#include "taboutform.h"
#include "tflatprogressbar.h"
#include "tlabel.h"
#include "tmainform.h"
#include "tmouseeffectimage.h"
#include "tphotothumbpanel.h"
#include "ttwostatespicbutton.h"
#include "formdriver.h"
#include "modalwatcher.h"
#include "testmain.h"
#include "testsupport.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Answers the next modal dialog of type T with answer(dialog), polling from the event loop.
template<typename T>
void AnswerNextDialog(std::function<void(T *)> answer)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(dialog);
        }
    });
    timer->start();
}

} // namespace

class TestMainForm : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startState();
    void viewSwitch_data();
    void viewSwitch();
    void listViewSelectsFirstVideo();
    void gridGrowthReachesScrollBar();
    void hintStaysAfterLeaving();
    void keysReachGridFromOutputFolderField_data();
    void keysReachGridFromOutputFolderField();
    void folderPicker();
    void openOutputFolder();
    void minimiseAndClose();
    void aboutLabel();
    void aboutDialog_data();
    void aboutDialog();

private:
    template<typename T> T *Child(const char *name) const { return ChildOf<T>(FForm.get(), name); }
    QString Status() const { return Child<QLabel>("sb_status")->text(); }
    void AddItems(int count);

    std::unique_ptr<QTemporaryDir> FTemp;
    std::unique_ptr<TEnvGuard> FTmpDir;
    std::unique_ptr<TMainForm> FForm;
};

void TestMainForm::initTestCase()
{
    FTemp = std::make_unique<QTemporaryDir>();
    FTmpDir = std::make_unique<TEnvGuard>("TMPDIR", FTemp->path());
}

void TestMainForm::init()
{
    FForm = std::make_unique<TMainForm>();
    MainForm = FForm.get();
    QCOMPARE(FForm->StartupError(), QString());
    FForm->show();
    QVERIFY(QTest::qWaitForWindowExposed(FForm.get()));
}

void TestMainForm::cleanup()
{
    FForm.reset();
    MainForm = nullptr;
}

void TestMainForm::AddItems(int count)
{
    auto *grid = Child<TPhotoThumbPanel>("PhotoThumbPanel1");
    for (int i = 0; i < count; ++i)
        grid->ThumbItems().Add()->setFileName(u"/videos/clip%1.avi"_s.arg(i));
}

// Guards against a window that starts in the wrong view, with the bar or timer running, or with a
// layout that drifted from the form's positions.
void TestMainForm::startState()
{
    QCOMPARE(FForm->size(), QSize(630, 530));
    QCOMPARE(FForm->pos(), QPoint(316, 240));
    QVERIFY(FForm->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(Child<TTwoStatesPicButton>("tabAddPhotos")->DownState(), true);
    QCOMPARE(Child<TTwoStatesPicButton>("tabOutput")->DownState(), false);
    QVERIFY(Child<QWidget>("pnl1_imgBack")->isVisible());
    QVERIFY(!Child<QWidget>("pnl1_ScrollBox")->isVisible());
    QVERIFY(!Child<QWidget>("pnl3_grpOutputOptions")->isVisible());
    QVERIFY(!Child<TFlatProgressBar>("FlatProgressBar1")->isVisible());
    QVERIFY(!Child<QTimer>("tmrProgress")->isActive());
    QCOMPARE(Status(), u"Add or delete video files. "_s);
    QCOMPARE(Child<QWidget>("pnl1_btnAdd")->geometry(), QRect(446, 183, 170, 28));
    QCOMPARE(Child<QWidget>("pnl3_btnGo")->geometry(), QRect(446, 421, 170, 37));
    QCOMPARE(Child<QWidget>("tabAddPhotos")->geometry(), QRect(58, 31, 112, 50));
    QCOMPARE(Child<QWidget>("tabOutput")->geometry(), QRect(175, 31, 113, 50));
    QCOMPARE(Child<QWidget>("pnl1_imgBack")->geometry(), QRect(15, 90, 420, 322));
    QCOMPARE(Child<QLineEdit>("edtOutputPath")->text(), QDir::homePath() + u"/My_PSP/"_s);
}

void TestMainForm::viewSwitch_data()
{
    QTest::addColumn<QStringList>("clicks");
    QTest::addColumn<bool>("listView");
    QTest::newRow("output tab") << QStringList{u"tabOutput"_s} << false;
    QTest::newRow("output tab twice") << QStringList{u"tabOutput"_s, u"tabOutput"_s} << false;
    QTest::newRow("back to the list")
        << QStringList{u"tabOutput"_s, u"tabAddPhotos"_s} << true;
    QTest::newRow("active list tab") << QStringList{u"tabAddPhotos"_s} << true;
}

// Guards against tabs left in the wrong state (a click on the active tab flips it first), stale
// controls of the other view, and a status line that is not reset.
void TestMainForm::viewSwitch()
{
    QFETCH(QStringList, clicks);
    QFETCH(bool, listView);
    auto *status = Child<TLabel>("sb_status");
    for (const QString &tab : clicks) {
        status->setCaption(u"something else"_s);
        auto *control = FForm->findChild<TTwoStatesPicButton *>(tab);
        QTest::mouseClick(control, Qt::LeftButton, {}, QPoint(20, 20));
    }
    QCOMPARE(Child<TTwoStatesPicButton>("tabAddPhotos")->DownState(), listView);
    QCOMPARE(Child<TTwoStatesPicButton>("tabOutput")->DownState(), !listView);
    for (const char *name : {"pnl1_btnAdd", "pnl1_btnDelete", "pnl1_btnDelAll", "pnl1_imgBack"})
        QCOMPARE(Child<QWidget>(name)->isVisible(), listView);
    for (const char *name : {"pnl3_grpOutputOptions", "pnl3_grpOutputPath", "pnl3_btnGo"})
        QCOMPARE(Child<QWidget>(name)->isVisible(), !listView);
    QVERIFY(!Child<QWidget>("pnl1_ScrollBox")->isVisible());
    QCOMPARE(Status(), listView ? u"Add or delete video files. "_s : u"Output settings view. "_s);
    // The settings and folder boxes lie above every picture, the placeholder above the buttons.
    const QObjectList stack = FForm->children();
    const auto level = [&](const char *name) { return stack.indexOf(Child<QWidget>(name)); };
    QVERIFY(level("pnl3_grpOutputOptions") > level("pnl1_imgBack"));
    QVERIFY(level("pnl1_ScrollBox") > level("pnl3_btnGo"));
    QVERIFY(level("pnl1_imgBack") > level("pnl1_btnDelAll"));
}

// Guards against a list view that keeps an old selection or the placeholder over a full list.
void TestMainForm::listViewSelectsFirstVideo()
{
    AddItems(3);
    auto *grid = Child<TPhotoThumbPanel>("PhotoThumbPanel1");
    grid->setSelectedIndex(2);
    QTest::mouseClick(Child<QWidget>("tabOutput"), Qt::LeftButton, {}, QPoint(20, 20));
    QTest::mouseClick(Child<QWidget>("tabAddPhotos"), Qt::LeftButton, {}, QPoint(20, 20));
    QCOMPARE(grid->SelectedIndex(), 0);
    QVERIFY(Child<QWidget>("pnl1_ScrollBox")->isVisible());
    QVERIFY(!Child<QWidget>("pnl1_imgBack")->isVisible());
}

// Guards against rows that grow below the scroll box where no scroll bar can reach them.
void TestMainForm::gridGrowthReachesScrollBar()
{
    AddItems(13);
    auto *grid = Child<TPhotoThumbPanel>("PhotoThumbPanel1");
    QTest::mouseClick(Child<QWidget>("tabAddPhotos"), Qt::LeftButton, {}, QPoint(20, 20));
    grid->DrawThumbs();
    auto *box = Child<QScrollArea>("pnl1_ScrollBox");
    QTRY_COMPARE(grid->height(), 480);
    QCOMPARE(grid->pos(), QPoint(7, 8));
    QTRY_VERIFY(box->verticalScrollBar()->maximum() >= 480 + 8 - box->viewport()->height());
    box->verticalScrollBar()->setValue(box->verticalScrollBar()->maximum());
    QTRY_VERIFY(grid->visibleRegion().boundingRect().bottom() >= 479);
}

// Guards against a status line that forgets the hint when the pointer leaves the button.
void TestMainForm::hintStaysAfterLeaving()
{
    auto *add = Child<TMouseEffectImage>("pnl1_btnAdd");
    QTest::mouseMove(FForm.get(), add->geometry().center());
    QTRY_COMPARE(Status(), u"Add video(s)"_s);
    QCOMPARE(add->toolTip(), u"Add video(s)"_s);
    QTest::mouseMove(FForm.get(), QPoint(600, 500));
    QTest::mouseMove(FForm.get(), QPoint(590, 510));
    QCOMPARE(Status(), u"Add video(s)"_s);
    QTest::mouseMove(FForm.get(), Child<QWidget>("pnl1_btnDelAll")->geometry().center());
    QTRY_COMPARE(Status(), u"Remove all video(s)"_s);
}

void TestMainForm::keysReachGridFromOutputFolderField_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("expectedCount");
    QTest::addColumn<int>("expectedSelection");
    QTest::newRow("Delete removes the selected video") << int(Qt::Key_Delete) << 2 << 1;
    QTest::newRow("Left moves back") << int(Qt::Key_Left) << 3 << 0;
    QTest::newRow("Right moves on") << int(Qt::Key_Right) << 3 << 2;
    QTest::newRow("Up does nothing") << int(Qt::Key_Up) << 3 << 1;
}

// Guards against key preview that only works while the grid itself has the focus.
void TestMainForm::keysReachGridFromOutputFolderField()
{
    QFETCH(int, key);
    QFETCH(int, expectedCount);
    QFETCH(int, expectedSelection);
    AddItems(3);
    auto *grid = Child<TPhotoThumbPanel>("PhotoThumbPanel1");
    QTest::mouseClick(Child<QWidget>("tabOutput"), Qt::LeftButton, {}, QPoint(20, 20));
    grid->setSelectedIndex(1);
    auto *field = Child<QLineEdit>("edtOutputPath");
    FForm->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(FForm.get()));
    field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), field);
    const QString before = field->text();
    QTest::keyClick(field, Qt::Key(key));
    QCOMPARE(grid->ThumbItems().Count(), expectedCount);
    QCOMPARE(grid->SelectedIndex(), expectedSelection);
    if (key == Qt::Key_Delete)
        QCOMPARE(field->text(), before); // the caret sat at the end: nothing to delete there
}

// Guards against a cancelled picker that loses the earlier choice or writes into the field.
void TestMainForm::folderPicker()
{
    QTemporaryDir chosen;
    auto *field = Child<QLineEdit>("edtOutputPath");
    auto *picker = Child<QToolButton>("SpeedButton3");
    QTest::mouseClick(Child<QWidget>("tabOutput"), Qt::LeftButton, {}, QPoint(20, 20));

    field->setText(u"/typed/before"_s);
    AnswerNextDialog<QFileDialog>([](QFileDialog *dialog) { dialog->reject(); });
    picker->click();
    QCOMPARE(field->text(), u"/typed/before"_s);

    AnswerNextDialog<QFileDialog>([&](QFileDialog *dialog) {
        QCOMPARE(dialog->windowTitle(), u"Please specify a directory"_s);
        dialog->setDirectory(chosen.path());
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
    });
    picker->click();
    QCOMPARE(field->text(), chosen.path() + u'/');

    field->setText(u"/typed/after"_s);
    AnswerNextDialog<QFileDialog>([](QFileDialog *dialog) { dialog->reject(); });
    picker->click();
    QCOMPARE(field->text(), chosen.path() + u'/');
}

// Guards against Open handing a folder that does not exist to the desktop.
void TestMainForm::openOutputFolder()
{
    TUrlRecorder recorder;
    QDesktopServices::setUrlHandler(u"file"_s, &recorder, "Open");
    QTemporaryDir existing;
    auto *field = Child<QLineEdit>("edtOutputPath");
    auto *open = Child<QPushButton>("butBrowse");
    field->setText(existing.filePath(u"missing"_s));
    open->click();
    field->setText(QString());
    open->click();
    QCOMPARE(recorder.Urls.size(), 0);
    field->setText(existing.path() + u'/');
    open->click();
    QDesktopServices::unsetUrlHandler(u"file"_s);
    QCOMPARE(recorder.Urls, QList<QUrl>{QUrl::fromLocalFile(existing.path() + u'/')});
}

// Guards against dead minimise and close pictures.
void TestMainForm::minimiseAndClose()
{
    QTest::mouseClick(Child<QWidget>("Image1"), Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_VERIFY(FForm->isMinimized());
    FForm->showNormal();
    QTest::mouseClick(Child<QWidget>("Image2"), Qt::LeftButton, {}, QPoint(5, 5));
    QTRY_VERIFY(!FForm->isVisible());
}

// Guards against a link label that does not react to the pointer or opens no dialog.
void TestMainForm::aboutLabel()
{
    auto *about = Child<TLabel>("lblAbout");
    QCOMPARE(about->text(), u"About "_s);
    QCOMPARE(about->FontColor(), QColor(255, 255, 255));
    QTest::mouseMove(FForm.get(), about->geometry().center());
    QTRY_COMPARE(about->FontColor(), QColor(255, 0, 255));
    QTest::mouseMove(FForm.get(), QPoint(600, 500));
    QTRY_COMPARE(about->FontColor(), QColor(255, 255, 255));

    int shown = 0;
    for (int i = 0; i < 2; ++i) {
        AnswerNextDialog<TAboutForm>([&](TAboutForm *dialog) {
            ++shown;
            QCOMPARE(dialog->windowTitle(), u"About"_s);
            dialog->reject();
        });
        QTest::mouseClick(about, Qt::LeftButton, {}, QPoint(5, 5));
    }
    QCOMPARE(shown, 2);
    QCOMPARE(FForm->findChildren<TAboutForm *>().size(), 0); // each showing is destroyed
}

void TestMainForm::aboutDialog_data()
{
    QTest::addColumn<QString>("homepage");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("viaContinue");
    QTest::newRow("address, Continue")
        << u"http://example.org/quenbry"_s << u"http://example.org/quenbry"_s << true;
    QTest::newRow("empty keeps design caption, close box")
        << QString() << u"https://www.quenbry.org/"_s << false;
}

// Guards against an About dialog that shows the wrong address, opens the caption instead of the
// configured address, or cannot be closed both ways.
void TestMainForm::aboutDialog()
{
    QFETCH(QString, homepage);
    QFETCH(QString, caption);
    QFETCH(bool, viaContinue);
    AppInfo.Homepage = homepage;
    TUrlRecorder recorder;
    QDesktopServices::setUrlHandler(u"http"_s, &recorder, "Open");
    QDesktopServices::setUrlHandler(u"https"_s, &recorder, "Open");

    TAboutForm dialog(FForm.get());
    QString shownCaption;
    bool stillOpenAfterLink = false;
    QTimer::singleShot(0, &dialog, [&] {
        auto *url = dialog.findChild<TLabel *>(u"lblUrl"_s);
        shownCaption = url->text();
        QCOMPARE(dialog.findChild<TLabel *>(u"lbl1"_s)->text(), u"Version 2.00"_s);
        QTest::mouseClick(url, Qt::LeftButton, {}, QPoint(3, 3));
        stillOpenAfterLink = dialog.isVisible();
        if (viaContinue)
            dialog.findChild<QToolButton *>(u"btnreg"_s)->click();
        else
            dialog.close();
    });
    const int result = dialog.exec();
    QDesktopServices::unsetUrlHandler(u"http"_s);
    QDesktopServices::unsetUrlHandler(u"https"_s);

    QCOMPARE(shownCaption, caption);
    QVERIFY(stillOpenAfterLink);
    QCOMPARE(result, viaContinue ? int(QDialog::Accepted) : int(QDialog::Rejected));
    QCOMPARE(recorder.Urls, homepage.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(homepage)});
    QCOMPARE(dialog.size(), QSize(300, 266));
}

QUENBRY_TEST_MAIN(TestMainForm)
#include "tst_mainform.moc"
