// Stands in for the encoder where the real one cannot be made to misbehave on demand. Its
// behaviour comes from the environment, so it can be started with the real encoder's arguments:
//   FAKEENCODER_MODE  record | exit:N | crash | spam | hang:graceful | hang:ignoreint |
//                     hang:stubborn   (unset: exit 0 without a word)
//   FAKEENCODER_LOG   file that receives what the fake saw: its folder, its arguments, its
//                     input, "pid=N" and "ready" once it waits, and each signal it was sent.
//   FAKEENCODER_PARTIAL  when set, a hanging fake first writes a few bytes to its last argument
//                     (an output path, "file:" prefix allowed), as an encoder does mid-file.

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int logFd = -1;

void Log(const char *text)
{
    if (logFd >= 0 && ::write(logFd, text, std::strlen(text)) < 0)
        std::_Exit(90);
}

void LogLine(const std::string &text)
{
    Log((text + "\n").c_str());
}

extern "C" void OnInt(int)
{
    Log("SIGINT\n");
}

extern "C" void OnIntAndLeave(int)
{
    Log("SIGINT\n");
    std::_Exit(255); // what ffmpeg does after closing its output
}

extern "C" void OnTerm(int)
{
    Log("SIGTERM\n");
}

extern "C" void OnTermAndLeave(int)
{
    Log("SIGTERM\n");
    std::_Exit(255);
}

void Handle(int signal, void (*handler)(int))
{
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}

bool StdinIsNullDevice()
{
    struct stat in = {};
    struct stat null = {};
    return fstat(0, &in) == 0 && stat("/dev/null", &null) == 0 && S_ISCHR(in.st_mode)
           && in.st_rdev == null.st_rdev;
}

} // namespace

int main(int argc, char *argv[])
{
    const char *modeText = std::getenv("FAKEENCODER_MODE");
    const std::string mode = modeText ? modeText : "";
    if (const char *log = std::getenv("FAKEENCODER_LOG"))
        logFd = ::open(log, O_WRONLY | O_CREAT | O_APPEND, 0600);

    if (mode == "record") {
        char cwd[4096] = {};
        LogLine(std::string("cwd=") + (getcwd(cwd, sizeof cwd) ? cwd : "?"));
        for (int i = 1; i < argc; ++i)
            LogLine(std::string("arg=") + argv[i]);
        LogLine(StdinIsNullDevice() ? "stdin=null" : "stdin=other");
        return 0;
    }
    if (mode.rfind("exit:", 0) == 0) {
        const int code = std::atoi(mode.c_str() + 5);
        std::fprintf(stderr, "fake failure %d\n", code);
        return code;
    }
    if (mode == "crash") {
        std::fprintf(stderr, "about to crash\n");
        std::fflush(stderr);
        std::abort();
    }
    if (mode == "spam") {
        for (int i = 0; i < 5000; ++i)
            std::fprintf(stderr, "noise line %d\n", i);
        std::fprintf(stderr, "frame=1\rframe=2\rthe last words\n");
        return 3;
    }
    if (mode.rfind("hang:", 0) == 0) {
        const std::string kind = mode.substr(5);
        if (kind == "graceful") {
            Handle(SIGINT, OnIntAndLeave);
        } else if (kind == "ignoreint") {
            Handle(SIGINT, OnInt);
            Handle(SIGTERM, OnTermAndLeave);
        } else {
            Handle(SIGINT, OnInt);
            Handle(SIGTERM, OnTerm);
        }
        if (std::getenv("FAKEENCODER_PARTIAL") && argc > 1) {
            std::string output = argv[argc - 1];
            if (output.rfind("file:", 0) == 0)
                output = output.substr(5);
            const int fd = ::open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            if (fd < 0 || ::write(fd, "partial", 7) != 7)
                std::_Exit(91);
            ::close(fd);
        }
        LogLine("pid=" + std::to_string(::getpid()));
        Log("ready\n");
        for (;;)
            pause();
    }
    return 0;
}
