#include "tvideo2h264thread.h"

#include "encoderfile.h"
#include "encoderjobs.h"
#include "filehelpers.h"
#include "outputname.h"
#include "tconversionhost.h"
#include "tworkthreadinfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

TVideo2H264Thread::TVideo2H264Thread(TWorkThreadInfo *info, QObject *uiContext,
                                     TConversionHost *host)
    : TWorkThread(info)
    , FUiContext(uiContext)
    , FHost(host)
{
}

TVideo2H264Thread *TVideo2H264Thread::Start(TWorkThreadInfo *info, QObject *uiContext,
                                            TConversionHost *host)
{
    auto *worker = new TVideo2H264Thread(info, uiContext, host);
    // The end step runs on the UI thread once the body has ended; then the worker goes.
    connect(worker, &QThread::finished, uiContext, [host] { host->ConversionEnded(); });
    worker->start();
    return worker;
}

void TVideo2H264Thread::Stop()
{
    FStopping = true;
    FStop.RequestStop();
    {
        // Taken so that a worker between its check and its wait cannot miss the wake-up.
        const std::lock_guard lock(FAnswerMutex);
    }
    FAnswerReady.notify_all();
}

QString TVideo2H264Thread::FailureLine(const QString &source, const QString &reason)
{
    return QDir::toNativeSeparators(source) + u": "_s + reason;
}

void TVideo2H264Thread::CallUi(const std::function<void()> &call)
{
    QMetaObject::invokeMethod(FUiContext, call, Qt::BlockingQueuedConnection);
}

void TVideo2H264Thread::UpdateStatus()
{
    const QString text = FStatusText;
    CallUi([this, text] { FHost->SetStatusText(text); });
}

void TVideo2H264Thread::ShowStatusMessage()
{
    const QString text = FStatusText;
    CallUi([this, text] { FHost->ShowInformation(text); });
}

void TVideo2H264Thread::OpenOutputFolder()
{
    CallUi([this] { FHost->OpenOutputFolder(); });
}

bool TVideo2H264Thread::AskOpenOutputFolder()
{
    {
        const std::lock_guard lock(FAnswerMutex);
        FAnswer.reset();
    }
    // The question must not block the window, and only the UI thread may show it: it is put
    // there without waiting, and the answer comes back through the callback.
    QMetaObject::invokeMethod(
        FUiContext,
        [this] {
            FHost->AskQuestion(u"Convertion completed. Open the destination folder?"_s,
                               [this](bool yes) {
                                   {
                                       const std::lock_guard lock(FAnswerMutex);
                                       FAnswer = yes;
                                   }
                                   FAnswerReady.notify_all();
                               });
        },
        Qt::QueuedConnection);
    std::unique_lock lock(FAnswerMutex);
    FAnswerReady.wait(lock, [this] { return FAnswer.has_value() || FStopping; });
    return FAnswer.value_or(false) && !FStopping;
}

QString TVideo2H264Thread::ConvertFile(const QString &entry)
{
    const QString source = ShortPathName(entry);
    // The folder can vanish while the job runs; an empty folder would put the output beside the
    // program instead.
    FInfo->OutputDir = ShortPathName(FInfo->OutputDir);
    const QString output = FInfo->OutputDir + OutputNameFor(entry);

    FStatusText = u"Generating %1 ..."_s.arg(output);
    UpdateStatus();

    if (FInfo->OutputDir.isEmpty())
        return u"the output folder no longer exists"_s;
    if (source.isEmpty())
        return u"the file does not exist"_s;
    if (IsSameFile(source, output))
        return u"the output would replace the source"_s;
    // A file further up or down the list may lie in the output folder under this output's name;
    // the encoder would write over it, before or after it is converted.
    for (const QString &other : std::as_const(*FInfo->FileList)) {
        if (IsSameFile(other, output))
            return u"its output would replace %1, another file of the list"_s.arg(
                QDir::toNativeSeparators(other));
    }
    QString reason;
    if (!EnsureEncoder(&reason))
        return u"the encoder cannot be written: "_s + reason;

    const TConversionOutcome outcome = RunConversion(*FInfo, source, output, &FStop);
    if (outcome.Succeeded)
        return {};
    // A failed or stopped run must not leave a stub or a truncated file that looks like a result.
    if (outcome.Run.Status != TEncoderStatus::FailedToStart)
        QFile::remove(output);
    if (outcome.Run.Status == TEncoderStatus::Stopped)
        return u"the conversion was stopped"_s;
    return outcome.Reason.isEmpty() ? u"the conversion failed"_s : outcome.Reason;
}

void TVideo2H264Thread::ProcessJob()
{
    if (FInfo->OutputDir.isEmpty() || !QDir().mkpath(FInfo->OutputDir))
        return;

    FStatusText = u"Convering vodio to h264 stream ... "_s;
    UpdateStatus();

    QStringList failures;
    const qsizetype count = FInfo->FileList ? FInfo->FileList->size() : 0;
    for (qsizetype i = 0; i < count && !FStopping; ++i) {
        const QString entry = FInfo->FileList->at(i);
        const QString reason = ConvertFile(entry);
        if (!reason.isEmpty())
            failures << FailureLine(entry, reason);
    }
    if (FStopping) {
        FInfo->FileList.reset();
        return;
    }

    // Every file is done: a close from here on has nothing left to stop.
    FReporting = true;
    const QString summary = failures.isEmpty()
                                ? u"PSP video file generation completed."_s
                                : u"PSP video file generation completed with errors."_s;
    FStatusText = summary;
    UpdateStatus();
    FStatusText = failures.isEmpty() ? summary : summary + u"\n\n"_s + failures.join(u'\n');
    ShowStatusMessage();

    // From here on the job record is no longer used.
    FInfo->FileList.reset();
    if (!FStopping && AskOpenOutputFolder())
        OpenOutputFolder();
}
