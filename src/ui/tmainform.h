#pragma once

#include <QWidget>

#include <memory>

class QLabel;
class TWorkThreadInfo;

// The program's one window. Its creation handler prepares everything the rest of the program
// takes for granted (the private work folder, the encoder in it, the job record, the settings
// from config.ini); its destroy handler empties the work folder again.
class TMainForm : public QWidget
{
    Q_OBJECT

public:
    explicit TMainForm(QWidget *parent = nullptr);
    ~TMainForm() override;

    // Why start-up could not prepare the work folder or the encoder; empty when it could. A form
    // with a start-up error must not be shown: the program reports the text and ends.
    QString StartupError() const { return FStartupError; }

    TWorkThreadInfo *WorkInfo() const { return FWorkInfo.get(); }

    void UpdateView();
    void ExtractEncoder();
    void LoadApplicationInfo();

    QLabel *sb_status = nullptr;

private:
    void FormCreate();
    void FormDestroy();

    quint8 FViewIndex = 0;
    std::unique_ptr<TWorkThreadInfo> FWorkInfo;
    QString FStartupError;
};

// The one main window, reachable process-wide while it exists.
extern TMainForm *MainForm;
