#include "tapplication.h"

#include "tmainform.h"

#include <QIcon>
#include <QMessageBox>
#include <QSocketNotifier>

#include <exception>
#include <memory>

#ifndef Q_OS_WIN
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

using namespace Qt::StringLiterals;

namespace {

#ifndef Q_OS_WIN
int SignalPipe[2] = {-1, -1};

void OnStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(SignalPipe[0], &byte, 1);
}
#endif

} // namespace

TApplication::TApplication(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(u"Quenbry"_s);
    setApplicationDisplayName(u"Quenbry"_s);
    setApplicationVersion(u"2.00"_s);
    QIcon icon;
    for (const int size : {48, 64, 128, 256})
        icon.addFile(u":/images/quenbry-%1.png"_s.arg(size), QSize(size, size));
    setWindowIcon(icon);

#ifndef Q_OS_WIN
    // A signal handler may only write a byte; the event loop picks it up and closes in order.
    if (SignalPipe[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, SignalPipe) == 0) {
        FSignalNotifier = new QSocketNotifier(SignalPipe[1], QSocketNotifier::Read, this);
        connect(FSignalNotifier, &QSocketNotifier::activated, this, &TApplication::StopRequested);
        struct sigaction action {};
        action.sa_handler = OnStopSignal;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESTART;
        for (const int sig : {SIGTERM, SIGINT, SIGHUP})
            ::sigaction(sig, &action, nullptr);
    }
#endif
}

TApplication::~TApplication()
{
#ifndef Q_OS_WIN
    if (FSignalNotifier) {
        struct sigaction action {};
        action.sa_handler = SIG_DFL;
        for (const int sig : {SIGTERM, SIGINT, SIGHUP})
            ::sigaction(sig, &action, nullptr);
        ::close(SignalPipe[0]);
        ::close(SignalPipe[1]);
        SignalPipe[0] = SignalPipe[1] = -1;
    }
#endif
}

void TApplication::StopRequested()
{
#ifndef Q_OS_WIN
    char byte;
    [[maybe_unused]] const auto got = ::read(SignalPipe[1], &byte, 1);
#endif
    // exit() also ends any nested loop (a message box), so the shut-down always runs.
    exit(0);
}

bool TApplication::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &error) {
        ShowError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowError(u"An unknown error occurred."_s);
    }
    return false;
}

void TApplication::RunHandler(const std::function<void()> &handler)
{
    try {
        handler();
    } catch (const std::exception &error) {
        ShowError(QString::fromUtf8(error.what()));
    } catch (...) {
        ShowError(u"An unknown error occurred."_s);
    }
}

void TApplication::ShowError(const QString &text)
{
    QMessageBox::critical(activeWindow(), applicationDisplayName(), text);
}

int TApplication::RunMainForm()
{
    auto form = std::make_unique<TMainForm>();
    MainForm = form.get();
    if (!form->StartupError().isEmpty()) {
        QMessageBox::critical(nullptr, applicationDisplayName(), form->StartupError());
        form.reset();
        MainForm = nullptr;
        return 1;
    }
    form->show();
    const int result = exec();
    form.reset();
    MainForm = nullptr;
    return result;
}
