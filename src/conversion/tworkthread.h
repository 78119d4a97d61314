#pragma once

#include <QString>
#include <QThread>

class TWorkThreadInfo;

// Base of a worker that runs one job on a thread of its own. It borrows the job record from its
// constructor to its end; the record is written by nobody else meanwhile. What the job shows, it
// hands to the UI thread in FStatusText, inside a blocking call.
class TWorkThread : public QThread
{
    Q_OBJECT

public:
    // Adds the trailing separator to the record's output folder and replaces it by its short form
    // (empty text for a folder that does not exist). Does not start the thread.
    explicit TWorkThread(TWorkThreadInfo *info, QObject *parent = nullptr);

protected:
    void run() final;

    // The job itself, on the worker thread. An exception ends it, like a return.
    virtual void ProcessJob() {}
    // Show FStatusText in the status line / in a message box; both run on the UI thread and the
    // worker waits for them.
    virtual void ShowStatusMessage() = 0;
    virtual void UpdateStatus() = 0;

    QString FStatusText;
    TWorkThreadInfo *FInfo;
};
