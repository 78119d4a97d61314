#include "tworkthread.h"

#include "filehelpers.h"
#include "tworkthreadinfo.h"

#include <QDir>

#include <exception>

TWorkThread::TWorkThread(TWorkThreadInfo *info, QObject *parent)
    : QThread(parent)
    , FInfo(info)
{
    FInfo->OutputDir = WithTrailingSeparator(FInfo->OutputDir);
    FInfo->OutputDir = ShortPathName(FInfo->OutputDir);
}

void TWorkThread::run()
{
    // Nothing may leave a thread's body: the end step must run whatever happened.
    try {
        ProcessJob();
    } catch (const std::exception &) {
    } catch (...) {
    }
}
