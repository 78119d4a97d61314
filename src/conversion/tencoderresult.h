#pragma once

#include <QString>

// How an encoder run ended.
enum class TEncoderStatus {
    Finished,      // the encoder ended by itself; ExitCode says how it judged its work
    Crashed,       // killed by a signal nobody sent it, or died abnormally
    Stopped,       // ended because a stop was requested, whatever exit code it chose
    FailedToStart, // never ran: missing or not executable, or the working folder is unusable
};

// The outcome of one RunAndWait.
struct TEncoderResult
{
    TEncoderStatus Status = TEncoderStatus::FailedToStart;
    int ExitCode = -1; // -1 when the encoder did not start; after a crash, the signal number (Unix)
    QString ErrorTail; // the last lines the encoder wrote to stderr, or why it could not start
};
