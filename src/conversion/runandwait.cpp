#include "runandwait.h"

#include "tencoderstop.h"

#include <QDeadlineTimer>
#include <QProcess>

#include <chrono>

#ifdef Q_OS_UNIX
#include <signal.h>
#include <unistd.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/prctl.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

using namespace Qt::StringLiterals;

namespace {

// How often the waiting thread looks for a stop request. QProcess offers no wait that another
// thread can interrupt, and the thumbnail runs on the UI thread, where a nested event loop would
// let user input in while the window is meant to be blocked.
constexpr int StopPollMs = 50;

enum class TStopStep { None, Interrupted, Terminated, Killed };

// Sends the next, firmer request to end.
TStopStep Escalate(QProcess &process, TStopStep done)
{
    switch (done) {
    case TStopStep::None:
#ifdef Q_OS_UNIX
        // ffmpeg ends on SIGINT as on its 'q' key: it flushes and closes its output.
        if (process.processId() > 0)
            ::kill(static_cast<pid_t>(process.processId()), SIGINT);
        return TStopStep::Interrupted;
#else
        // Console programs ignore the close message that terminate() sends on Windows; go
        // straight on to the firm steps.
        process.terminate();
        return TStopStep::Terminated;
#endif
    case TStopStep::Interrupted:
        process.terminate();
        return TStopStep::Terminated;
    case TStopStep::Terminated:
    case TStopStep::Killed:
        process.kill();
        return TStopStep::Killed;
    }
    return done;
}

} // namespace

void AppendStderrTail(QByteArray &tail, bool &cut, const QByteArray &chunk, qsizetype limit)
{
    tail += chunk;
    if (tail.size() > limit) {
        tail.remove(0, tail.size() - limit);
        cut = true;
    }
}

QString StderrTailText(const QByteArray &tail, bool cut)
{
    QByteArray text = tail;
    text.replace('\r', '\n');
    QList<QByteArray> lines = text.split('\n');
    if (cut && !lines.isEmpty())
        lines.removeFirst(); // began somewhere inside a line
    QStringList kept;
    for (const QByteArray &line : std::as_const(lines)) {
        const QString trimmed = QString::fromLocal8Bit(line).trimmed();
        if (!trimmed.isEmpty())
            kept << trimmed;
    }
    return kept.join(u'\n');
}

TEncoderResult RunAndWait(const QString &program, const QStringList &arguments,
                          const QString &workingFolder, TEncoderStop *stop)
{
    TEncoderResult result;
    if (stop && stop->StopRequested()) {
        result.Status = TEncoderStatus::Stopped;
        return result;
    }

    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(workingFolder);
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::SeparateChannels);
#ifdef Q_OS_LINUX
    // Should this program die without stopping its encoder (killed, crashed), the encoder must
    // not write on into the output folder unseen: it is ended with it. The signal comes when the
    // thread that started the child ends, and this thread waits here for the child.
    const pid_t parent = ::getpid();
    process.setChildProcessModifier([parent] {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127); // the program died before the request took hold
    });
#endif
#ifdef Q_OS_WIN
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments *args) { args->flags |= CREATE_NO_WINDOW; });
#endif

    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(-1)) {
        result.Status = TEncoderStatus::FailedToStart;
        result.ExitCode = -1;
        result.ErrorTail = process.errorString();
        return result;
    }

    QByteArray tail;
    bool cut = false;
    TStopStep step = TStopStep::None;
    QDeadlineTimer nextStep;
    while (process.state() != QProcess::NotRunning) {
        if (process.waitForFinished(StopPollMs))
            break;
        AppendStderrTail(tail, cut, process.readAllStandardError());
        if (!stop || !stop->StopRequested())
            continue;
        if (step == TStopStep::None || (step != TStopStep::Killed && nextStep.hasExpired())) {
            step = Escalate(process, step);
            nextStep.setRemainingTime(stop->GracePeriod());
        }
    }
    AppendStderrTail(tail, cut, process.readAllStandardError());

    result.ExitCode = process.exitCode();
    result.ErrorTail = StderrTailText(tail, cut);
    if (step != TStopStep::None)
        result.Status = TEncoderStatus::Stopped;
    else if (process.exitStatus() == QProcess::CrashExit)
        result.Status = TEncoderStatus::Crashed;
    else
        result.Status = TEncoderStatus::Finished;
    return result;
}
