#pragma once

#include "tencoderstop.h"
#include "tworkthread.h"

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>

class TConversionHost;

// The conversion worker: converts every file of the job, one after another, into its PSP MP4
// file in the output folder, tells the window each step, reports what failed and why, and offers
// to open the output folder. It runs its end step on the UI thread and then deletes itself.
class TVideo2H264Thread : public TWorkThread
{
    Q_OBJECT

public:
    // Constructs the worker on the UI thread and starts it. host is called on uiContext's thread.
    static TVideo2H264Thread *Start(TWorkThreadInfo *info, QObject *uiContext,
                                    TConversionHost *host);

    // UI thread: stops the running encoder at once (its partial output is removed), converts no
    // further file and shows no box and no question. The caller waits for the thread to end.
    void Stop();
    bool Stopping() const { return FStopping; }
    // Every file is done: only the report and the closing question may still be open.
    bool Reporting() const { return FReporting; }

    // The text shown for a failed file: its path, ": ", then the reason.
    static QString FailureLine(const QString &source, const QString &reason);

protected:
    void ProcessJob() override;
    void ShowStatusMessage() override;
    void UpdateStatus() override;

private:
    TVideo2H264Thread(TWorkThreadInfo *info, QObject *uiContext, TConversionHost *host);

    // Converts one entry of the list; returns the reason it failed, or empty text.
    QString ConvertFile(const QString &entry);
    bool AskOpenOutputFolder();
    void OpenOutputFolder();
    void CallUi(const std::function<void()> &call);

    QObject *FUiContext;
    TConversionHost *FHost;
    TEncoderStop FStop;
    std::atomic<bool> FStopping = false;
    std::atomic<bool> FReporting = false;
    std::mutex FAnswerMutex;
    std::condition_variable FAnswerReady;
    std::optional<bool> FAnswer;
};
