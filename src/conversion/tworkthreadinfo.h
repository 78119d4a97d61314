#pragma once

#include <QString>
#include <QStringList>

#include <memory>

// The job record that carries one conversion from the Go button to the worker: the output folder,
// the sources and the encoder values. The main window owns the one instance; each start refills
// every field, and the worker borrows it until its end step. Fields only, no behaviour.
class TWorkThreadInfo
{
public:
    QString OutputDir;                     // output folder; the worker adds the trailing separator
    std::unique_ptr<QStringList> FileList; // full paths of the sources, in grid order; null when idle
    QString Title;                         // title stored in every output file
    QString Resolution;                    // frame size as "WxH", e.g. "320x240"
    QString Aspect;                        // "4:3" or "16:9"
    int Channels = 0;                      // 1 or 2
    int SampleRate = 0;                    // Hz
    double FrameRate = 0;                  // frames per second
    int VideoBitrate = 0;                  // kbit/s
    int AudioBitrate = 0;                  // kbit/s
    int Volume = 0;                        // percent; 100 leaves the volume unchanged
};
