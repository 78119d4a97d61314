#pragma once

#include "tencoderresult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class TEncoderStop;

// Most of the encoder's stderr that a result keeps: enough for the last few lines.
inline constexpr qsizetype StderrTailLimit = 4096;

// Runs program with arguments as a child process whose working folder is workingFolder, and
// returns when it has ended; there is no time limit. Runs on the calling thread and never changes
// the process's own current folder, so two threads may run encoders at the same time. The child
// reads its input from the null device, writes its output to it, and shows no window; the last
// lines of its stderr come back in the result.
//
// When stop is given and a stop is requested (from any thread), the encoder is asked to finish
// (SIGINT: ffmpeg then closes its output cleanly), after the grace period terminated, after
// another killed; the result is then Stopped, even if the encoder exited with 0.
TEncoderResult RunAndWait(const QString &program, const QStringList &arguments,
                          const QString &workingFolder, TEncoderStop *stop = nullptr);

// Appends chunk to tail and keeps only its last limit bytes; cut becomes true once any byte has
// been dropped.
void AppendStderrTail(QByteArray &tail, bool &cut, const QByteArray &chunk,
                      qsizetype limit = StderrTailLimit);

// The kept stderr bytes as text: progress lines ended by carriage returns become lines of their
// own, a line cut by the limit and empty lines are dropped, the rest joined by newlines.
QString StderrTailText(const QByteArray &tail, bool cut);
