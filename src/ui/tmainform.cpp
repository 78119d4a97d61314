// The generated form names its parameter after the form, MainForm; included before the global
// of that name is declared, it shadows nothing.
#include "ui_mainunit.h"

#include "tmainform.h"

#include "browseforfolder.h"
#include "encoderfile.h"
#include "encoderjobs.h"
#include "filehelpers.h"
#include "jpegloader.h"
#include "outputsettings.h"
#include "privatefolder.h"
#include "processvariables.h"
#include "tapplication.h"
#include "taboutform.h"
#include "tvideo2h264thread.h"
#include "tworkthreadinfo.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <QUrl>
#include <QWindow>

#include <stdexcept>

using namespace Qt::StringLiterals;

TMainForm *MainForm = nullptr;

namespace {
const QColor AboutHoverColor(255, 0, 255);
const QColor AboutColor(255, 255, 255);

// Why no output folder can be made at folder, in the user's words: the nearest part of the path
// that exists tells what stands in the way.
QString FolderProblem(const QString &folder)
{
    if (folder.isEmpty())
        return u"no folder is given"_s;
    QFileInfo level(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    while (!level.exists() && !level.isRoot())
        level = QFileInfo(level.absolutePath());
    const QString path = QDir::toNativeSeparators(level.absoluteFilePath());
    if (!level.isDir())
        return u"%1 is a file, not a folder"_s.arg(path);
    return u"no folder can be made in %1"_s.arg(path);
}
} // namespace

TMainForm::TMainForm(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowSystemMenuHint
                          | Qt::WindowMinimizeButtonHint)
    , FUi(std::make_unique<Ui::MainForm>())
{
    FUi->setupUi(this);
    move(316, 240);
    FUi->edtOutputPath->setText(QDir::toNativeSeparators(QDir::homePath() + u"/My_PSP/"_s));

    tmrProgress = new QTimer(this);
    tmrProgress->setObjectName(u"tmrProgress"_s);
    tmrProgress->setInterval(100);

    ConnectHandlers();
    // Key preview: the window sees every key release first, whichever control has the focus.
    qApp->installEventFilter(this);
    FormCreate();
}

TMainForm::~TMainForm()
{
    qApp->removeEventFilter(this);
    // Also when the session ends the program without a close: the worker must be gone before the
    // job record it borrows.
    StopConversion();
    FormDestroy();
}

template<typename Sender, typename Signal>
void TMainForm::Handle(Sender *sender, Signal signal, void (TMainForm::*handler)())
{
    connect(sender, signal, this, [this, handler] { TApplication::RunHandler([this, handler] {
        (this->*handler)();
    }); });
}

void TMainForm::ConnectHandlers()
{
    Handle(FUi->tabAddPhotos, &TImage::Clicked, &TMainForm::tabAddPhotosClick);
    Handle(FUi->tabOutput, &TImage::Clicked, &TMainForm::tabOutputClick);
    Handle(FUi->pnl1_btnAdd, &TImage::MouseMoved, &TMainForm::pnl1_btnAddMouseMove);
    Handle(FUi->pnl1_btnDelete, &TImage::MouseMoved, &TMainForm::pnl1_btnDeleteMouseMove);
    Handle(FUi->pnl1_btnDelAll, &TImage::MouseMoved, &TMainForm::pnl1_btnDelAllMouseMove);
    Handle(FUi->pnl3_btnGo, &TImage::MouseMoved, &TMainForm::pnl3_btnGoMouseMove);
    Handle(FUi->pnl1_btnAdd, &TImage::Clicked, &TMainForm::pnl1_btnAddClick);
    Handle(FUi->pnl1_btnDelete, &TImage::Clicked, &TMainForm::pnl1_btnDeleteClick);
    Handle(FUi->pnl1_btnDelAll, &TImage::Clicked, &TMainForm::pnl1_btnDelAllClick);
    Handle(FUi->pnl3_btnGo, &TImage::Clicked, &TMainForm::pnl3_btnGoClick);
    connect(FUi->mainImgBack, &TImage::MousePressed, this, &TMainForm::mainImgBackMouseDown);
    Handle(FUi->Image1, &TImage::Clicked, &TMainForm::Image1Click);
    Handle(FUi->Image2, &TImage::Clicked, &TMainForm::Image2Click);
    Handle(FUi->SpeedButton3, &QToolButton::clicked, &TMainForm::SpeedButton3Click);
    Handle(FUi->butBrowse, &QPushButton::clicked, &TMainForm::butBrowseClick);
    Handle(FUi->lblAbout, &TLabel::Clicked, &TMainForm::lblAboutClick);
    Handle(FUi->lblAbout, &TLabel::MouseMoved, &TMainForm::lblAboutMouseMove);
    Handle(FUi->lblAbout, &TLabel::MouseLeft, &TMainForm::lblAboutMouseLeave);
    Handle(tmrProgress, &QTimer::timeout, &TMainForm::tmrProgressTimer);
}

void TMainForm::FormCreate()
{
    IsConverting = false;

    QString temp;
    GetTempDirectory(temp);
    const QString folder = temp + u"Quenbry"_s + QDir::separator();
    QString reason;
    // An unusable folder must stop the program here: every later step, the clean-up at close
    // above all, relies on WorkDir naming a private folder that exists.
    if (!PreparePrivateFolder(folder, &reason)) {
        FStartupError = u"The work folder %1 cannot be created: %2"_s.arg(folder, reason);
        return;
    }
    WorkDir = WithTrailingSeparator(ShortPathName(folder));
    if (WorkDir.isEmpty()) {
        FStartupError = u"The work folder %1 cannot be created: %2"_s.arg(
            folder, u"its path cannot be resolved"_s);
        return;
    }

    FWorkInfo = std::make_unique<TWorkThreadInfo>();
    LoadApplicationInfo();
    UpdateView();
    ExtractEncoder();
}

void TMainForm::FormDestroy()
{
    // Never with an empty WorkDir: the pattern would then name the current folder.
    if (!WorkDir.isEmpty())
        DeleteFolderContents(WorkDir + u'*');
    FWorkInfo.reset();
}

void TMainForm::ExtractEncoder()
{
    const QString target = WorkDir + EncoderFileName();
    QString reason;
    if (!SaveResourceToFile(u"exefile"_s, u"av"_s, target, &reason)) {
        FStartupError = u"The encoder %1 cannot be written: %2"_s.arg(target, reason);
        return;
    }
    if (!CanExecuteFile(target, &reason))
        FStartupError = u"The encoder %1 cannot be run: %2"_s.arg(target, reason);
}

void TMainForm::LoadApplicationInfo()
{
    const QString path = WithTrailingSeparator(QCoreApplication::applicationDirPath())
                         + u"config.ini"_s;
    AppInfo = ReadApplicationInfo(path);
}

void TMainForm::UpdateView()
{
    const bool listView = FViewIndex == 0;
    FUi->tabAddPhotos->setDownState(listView);
    FUi->tabOutput->setDownState(FViewIndex == 1);
    const std::initializer_list<QWidget *> listControls{FUi->pnl1_btnDelete, FUi->pnl1_btnAdd,
                                                        FUi->pnl1_btnDelAll, FUi->pnl1_ScrollBox,
                                                        FUi->pnl1_imgBack};
    for (QWidget *control : listControls)
        control->setVisible(listView);
    const std::initializer_list<QWidget *> outputControls{
        FUi->pnl3_grpOutputOptions, FUi->pnl3_grpOutputPath, FUi->pnl3_btnGo};
    for (QWidget *control : outputControls)
        control->setVisible(FViewIndex == 1);

    if (listView) {
        if (FUi->PhotoThumbPanel1->ThumbItems().Count() >= 1) {
            FUi->PhotoThumbPanel1->setSelectedIndex(0);
            FUi->pnl1_imgBack->hide();
            FUi->pnl1_ScrollBox->show();
        } else {
            FUi->pnl1_imgBack->show();
            FUi->pnl1_ScrollBox->hide();
        }
        BringToFront(FUi->pnl1_btnAdd);
        BringToFront(FUi->pnl1_btnDelete);
        BringToFront(FUi->pnl1_btnDelAll);
        BringToFront(FUi->pnl1_ScrollBox);
        BringToFront(FUi->pnl1_imgBack);
        SetStatusText(u"Add or delete video files. "_s);
    } else if (FViewIndex == 1) {
        BringToFront(FUi->pnl3_grpOutputOptions);
        BringToFront(FUi->pnl3_grpOutputPath);
        BringToFront(FUi->pnl3_btnGo);
        SetStatusText(u"Output settings view. "_s);
    }
}

void TMainForm::BringToFront(QWidget *control)
{
    const QList<QWidget *> windowed{FUi->pnl1_ScrollBox, FUi->pnl3_grpOutputOptions,
                                    FUi->pnl3_grpOutputPath};
    control->raise();
    if (windowed.contains(control))
        return;
    // children() lists the stacking order, bottom first: re-raising in that order keeps the
    // windowed controls' own order.
    const QObjectList stack = children();
    for (QObject *child : stack) {
        if (auto *widget = qobject_cast<QWidget *>(child); widget && windowed.contains(widget))
            widget->raise();
    }
}

void TMainForm::tabAddPhotosClick()
{
    FViewIndex = 0;
    UpdateView();
}

void TMainForm::tabOutputClick()
{
    FViewIndex = 1;
    UpdateView();
}

void TMainForm::pnl1_btnAddMouseMove()
{
    SetStatusText(FUi->pnl1_btnAdd->toolTip());
}

void TMainForm::pnl1_btnDeleteMouseMove()
{
    SetStatusText(FUi->pnl1_btnDelete->toolTip());
}

void TMainForm::pnl1_btnDelAllMouseMove()
{
    SetStatusText(FUi->pnl1_btnDelAll->toolTip());
}

void TMainForm::pnl3_btnGoMouseMove()
{
    SetStatusText(FUi->pnl3_btnGo->toolTip());
}

void TMainForm::mainImgBackMouseDown(Qt::MouseButton button)
{
    // The window manager moves the window with the pointer until the button is released.
    if (button == Qt::LeftButton && windowHandle())
        windowHandle()->startSystemMove();
}

void TMainForm::Image1Click()
{
    showMinimized();
}

void TMainForm::Image2Click()
{
    close();
}

bool TMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // The scroll box's range follows the grid, which grows its own height as rows are added.
    if (event->type() == QEvent::Resize && watched == FUi->PhotoThumbPanel1) {
        const QRect grid = FUi->PhotoThumbPanel1->geometry();
        FUi->pnl1_ScrollContents->resize(grid.right() + 1, grid.bottom() + 1);
    }
    if (event->type() == QEvent::KeyRelease && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        auto *key = static_cast<QKeyEvent *>(event);
        // A release travels from the focus widget up to its parents; preview it once, at the
        // start. Auto-repeat releases are not real releases.
        const QWidget *focus = QApplication::focusWidget();
        const bool first = focus ? watched == focus : watched == this;
        if (first && widget->window() == this && !key->isAutoRepeat())
            FormKeyUp(key->key(), key->modifiers());
    }
    return QWidget::eventFilter(watched, event);
}

void TMainForm::FormKeyUp(int key, Qt::KeyboardModifiers modifiers)
{
    FUi->PhotoThumbPanel1->KeyUp(key, modifiers);
}

void TMainForm::SpeedButton3Click()
{
    BrowseForFolder(this, FBrowsedFolder);
    if (!FBrowsedFolder.isEmpty())
        FUi->edtOutputPath->setText(FBrowsedFolder);
}

void TMainForm::butBrowseClick()
{
    const QString folder = FUi->edtOutputPath->text();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(folder).absoluteFilePath()));
}

void TMainForm::lblAboutClick()
{
    TAboutForm about(this);
    about.exec();
}

void TMainForm::lblAboutMouseMove()
{
    FUi->lblAbout->setFontColor(AboutHoverColor);
}

void TMainForm::lblAboutMouseLeave()
{
    FUi->lblAbout->setFontColor(AboutColor);
}

void TMainForm::tmrProgressTimer()
{
    // An animation that shows activity, not a measured share: it climbs to 95 and starts again
    // from 20, and is never reset, so the next conversion goes on from where this one stopped.
    TFlatProgressBar *bar = FUi->FlatProgressBar1;
    bar->setPosition(bar->Position() < 95 ? bar->Position() + 5 : 20);
}

void TMainForm::pnl1_btnAddClick()
{
    // A fresh dialog for each use, opened in the folder of the last one: a reused dialog can
    // hand back its previous choice next to the new one.
    QFileDialog dlgOpenPic(this);
    dlgOpenPic.setObjectName(u"dlgOpenPic"_s);
    dlgOpenPic.setNameFilters({u"AVI Files (*.avi)"_s, u"Mpeg Files (*.mpg)"_s,
                               u"Mp4 Files (*.mp4)"_s, u"3GP Files (*.3gp)"_s,
                               u"Quick Time Files (*.mov)"_s, u"Mp3 Files (*.mp3)"_s,
                               u"All Files (*)"_s});
    // One file per use, and a typed name need not exist yet: the add reports what happens.
    dlgOpenPic.setFileMode(QFileDialog::AnyFile);
    dlgOpenPic.setAcceptMode(QFileDialog::AcceptOpen);
    if (!FOpenFolder.isEmpty())
        dlgOpenPic.setDirectory(FOpenFolder);
    if (dlgOpenPic.exec() != QDialog::Accepted)
        return;
    FOpenFolder = dlgOpenPic.directory().absolutePath();
    TPhotoThumbPanel *grid = FUi->PhotoThumbPanel1;
    const QStringList chosen = dlgOpenPic.selectedFiles();
    for (const QString &fileName : chosen) {
        TThumbItem *item = grid->ThumbItems().Add();
        // Each step that fails ends the add with a message; the new item stays in the list.
        item->setFileName(fileName);
        QString reason;
        if (!EnsureEncoder(&reason))
            throw std::runtime_error(
                QString(u"The encoder cannot be written: "_s + reason).toStdString());
        const TThumbnailOutcome thumbnail = RunThumbnail(fileName);
        if (!thumbnail.Written)
            throw std::runtime_error(u"No thumbnail could be made for %1:\n%2"_s
                                         .arg(QDir::toNativeSeparators(fileName), thumbnail.Reason)
                                         .toStdString());
        item->setBitmap(LoadJpegFile(thumbnail.PicturePath));
    }
    if (grid->ThumbItems().Count() >= 1) {
        grid->setSelectedIndex(0);
        FUi->pnl1_imgBack->hide();
        FUi->pnl1_ScrollBox->show();
    }
}

void TMainForm::pnl1_btnDeleteClick()
{
    TPhotoThumbPanel *grid = FUi->PhotoThumbPanel1;
    const int index = grid->SelectedIndex();
    if (index < 0 || index >= grid->ThumbItems().Count())
        return;
    grid->ThumbItems().Delete(index);
    grid->setSelectedIndex(index > 0 ? index - 1 : 0);
}

void TMainForm::pnl1_btnDelAllClick()
{
    FUi->PhotoThumbPanel1->ThumbItems().Clear();
    FUi->PhotoThumbPanel1->DrawThumbs();
}

void TMainForm::pnl3_btnGoClick()
{
    if (IsConverting) {
        QMessageBox box(QMessageBox::NoIcon, QApplication::applicationDisplayName(),
                        u"The application is converting video to PSP format, just wait."_s,
                        QMessageBox::Ok, this);
        box.exec();
        return;
    }

    const QString folder = FUi->edtOutputPath->text();
    auto files = std::make_unique<QStringList>();
    const TThumbItems &items = FUi->PhotoThumbPanel1->ThumbItems();
    for (int i = 0; i < items.Count(); ++i)
        files->append(items.Items(i)->FileName());
    const TFrameSize size = ResolutionTable.at(FUi->cmbOutputResolution->currentIndex());

    TWorkThreadInfo &job = *FWorkInfo;
    job.OutputDir = folder;
    job.FileList = std::move(files);
    job.Title = FUi->Edit1->text();
    job.Resolution = u"%1x%2"_s.arg(size.Width).arg(size.Height);
    job.Aspect = FUi->cmbAspect->currentText();
    job.Channels = FUi->cmbChannels->currentIndex() + 1;
    job.FrameRate = FrameRateTable.at(FUi->cmbFrameRate->currentIndex());
    job.VideoBitrate = VideoBitrateTable.at(FUi->cmbVideoQuality->currentIndex());
    job.AudioBitrate = AudioBitrateTable.at(FUi->cmbAudioQuality->currentIndex());
    job.SampleRate = SampleRateTable.at(FUi->cmbSampleRate->currentIndex());
    job.Volume = (FUi->cmbOutputVolume->currentIndex() + 1) * 50;

    // A folder that cannot be made (no text, no permission, a file in the way) would start a
    // worker that converts nothing and says nothing: refuse it here instead.
    const bool folderReady = !folder.isEmpty()
                             && (QFileInfo(folder).isDir() || QDir().mkpath(folder))
                             && QFileInfo(folder).isDir();
    if (!folderReady) {
        QMessageBox box(QMessageBox::Critical, QApplication::applicationDisplayName(),
                        u"Unable to create directory."_s, QMessageBox::Ok, this);
        box.setInformativeText(FolderProblem(folder));
        box.exec();
        return;
    }

    FWorker = TVideo2H264Thread::Start(FWorkInfo.get(), this, this);
    IsConverting = true;
    FUi->FlatProgressBar1->setVisible(true);
    tmrProgress->start();
}

void TMainForm::SetStatusText(const QString &text)
{
    FUi->sb_status->setCaption(text);
}

void TMainForm::ShowInformation(const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, u"Information"_s, text, QMessageBox::Ok, this);
    FInformationBox = &box;
    box.exec();
    FInformationBox = nullptr;
}

void TMainForm::AskQuestion(const QString &text, std::function<void(bool)> answered)
{
    auto *box = new QMessageBox(QMessageBox::Question, QApplication::applicationDisplayName(),
                                text, QMessageBox::Yes | QMessageBox::No, this);
    box->setObjectName(u"ConversionQuestion"_s);
    // The window stays usable while the question waits for an answer.
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    connect(box, &QMessageBox::finished, this, [box, answered] {
        answered(box->clickedButton() == box->button(QMessageBox::Yes));
    });
    FQuestionBox = box;
    box->show();
}

void TMainForm::OpenOutputFolder()
{
    butBrowseClick();
}

void TMainForm::ConversionEnded()
{
    IsConverting = false;
    tmrProgress->stop();
    FUi->FlatProgressBar1->setVisible(false);
    if (FWorker) {
        FWorker->wait();
        FWorker->deleteLater();
        FWorker = nullptr;
    }
}

void TMainForm::closeEvent(QCloseEvent *event)
{
    if (FWorker && !FWorker->Reporting()) {
        QMessageBox box(QMessageBox::Question, QApplication::applicationDisplayName(),
                        u"A conversion is running. Stop it and quit?"_s,
                        QMessageBox::Yes | QMessageBox::No, this);
        box.setObjectName(u"StopQuestion"_s);
        if (box.exec() != QMessageBox::Yes) {
            event->ignore();
            return;
        }
    }
    StopConversion();
    event->accept();
}

void TMainForm::StopConversion()
{
    if (!FWorker)
        return;
    FWorker->Stop();
    if (FInformationBox)
        FInformationBox->reject();
    if (FQuestionBox)
        FQuestionBox->reject();
    // The worker may be waiting in a call into this thread: keep answering those until it ends.
    // A nested event loop would not do: after the application was told to quit, it returns at
    // once.
    while (FWorker && !FWorker->wait(10))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    if (FWorker)
        ConversionEnded();
}
