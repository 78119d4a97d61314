#pragma once

#include "tapplicationinfo.h"

#include <QString>

// The few values the whole process shares. WorkDir and AppInfo are written once during start-up,
// before any worker thread exists, and only read afterwards. IsConverting is written only on the
// UI thread: set when a conversion starts, cleared by the worker's end step.

// The private work folder, with a trailing separator. Holds the encoder "av", the thumbnail
// picture and the encoder's statistics files. Empty until start-up has made and checked it.
extern QString WorkDir;

extern bool IsConverting;

extern TApplicationInfo AppInfo;

// Name of the encoder file inside WorkDir.
QString EncoderFileName();
