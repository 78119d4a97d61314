#pragma once

#include "tconversionhost.h"

#include <QPointer>
#include <QWidget>

#include <memory>

class QMessageBox;
class QTimer;
class TVideo2H264Thread;
class TWorkThreadInfo;

namespace Ui {
class MainForm;
}

// The program's one window: a borderless picture window with two views, the video list (0) and
// the output settings (1), switched by two picture tabs. Its creation handler prepares everything
// the rest of the program takes for granted (the private work folder, the encoder in it, the job
// record, the settings from config.ini); its destroy handler empties the work folder again.
// The layout lives in mainunit.ui; the code only shows, hides and stacks controls and sets texts,
// tab states and font colours.
class TMainForm : public QWidget, public TConversionHost
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // Why start-up could not prepare the work folder or the encoder; empty when it could. A form
    // with a start-up error must not be shown: the program reports the text and ends.
    QString StartupError() const { return FStartupError; }

    TWorkThreadInfo *WorkInfo() const { return FWorkInfo.get(); }

    // Shows the controls of the view FViewIndex names and hides the others.
    void UpdateView();
    void ExtractEncoder();
    void LoadApplicationInfo();

    // Opens the folder named in the output folder box, if it exists. Also run for the worker
    // when the user wants to see the converted files.
    void butBrowseClick();

    // What the conversion worker asks of the window; called on the UI thread.
    void SetStatusText(const QString &text) override;
    void ShowInformation(const QString &text) override;
    void AskQuestion(const QString &text, std::function<void(bool)> answered) override;
    void OpenOutputFolder() override;
    void ConversionEnded() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Closing while a conversion runs asks first, then stops the encoder and waits for the
    // worker, so that no encoder outlives the window and the job record outlives the worker.
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate();
    void FormDestroy();
    void ConnectHandlers();
    template<typename Sender, typename Signal>
    void Handle(Sender *sender, Signal signal, void (TMainForm::*handler)());

    void tabAddPhotosClick();
    void tabOutputClick();
    void pnl1_btnAddMouseMove();
    void pnl1_btnDeleteMouseMove();
    void pnl1_btnDelAllMouseMove();
    void pnl3_btnGoMouseMove();
    void mainImgBackMouseDown(Qt::MouseButton button);
    void Image1Click();
    void Image2Click();
    void FormKeyUp(int key, Qt::KeyboardModifiers modifiers);
    void SpeedButton3Click();
    void lblAboutClick();
    void lblAboutMouseMove();
    void lblAboutMouseLeave();
    void tmrProgressTimer();
    void pnl1_btnAddClick();
    void pnl1_btnDeleteClick();
    void pnl1_btnDelAllClick();
    void pnl3_btnGoClick();

    // Stops a running conversion and waits for its worker to end, answering the worker's calls
    // into this thread meanwhile.
    void StopConversion();
    // Raises control among its kind: a picture or label above the other pictures and labels, but
    // never above the scroll box and the group boxes, which always lie above all of them.
    void BringToFront(QWidget *control);

    std::unique_ptr<Ui::MainForm> FUi;
    QTimer *tmrProgress = nullptr;
    TVideo2H264Thread *FWorker = nullptr;
    QPointer<QMessageBox> FInformationBox;
    QPointer<QMessageBox> FQuestionBox;
    quint8 FViewIndex = 0;
    QString FBrowsedFolder;
    QString FOpenFolder; // where the video open dialog was last left
    std::unique_ptr<TWorkThreadInfo> FWorkInfo;
    QString FStartupError;
};

// The one main window, reachable process-wide while it exists.
extern TMainForm *MainForm;
