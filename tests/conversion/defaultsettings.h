#pragma once

#include "tworkthreadinfo.h"

// The encoder values that the output settings give when the user changes nothing.
inline TWorkThreadInfo DefaultSettingsInfo()
{
    TWorkThreadInfo info;
    info.Resolution = QStringLiteral("320x240");
    info.Aspect = QStringLiteral("4:3");
    info.FrameRate = 15;
    info.VideoBitrate = 576;
    info.AudioBitrate = 128;
    info.SampleRate = 44100;
    info.Channels = 2;
    info.Volume = 100;
    return info;
}
