#pragma once

#include "conversionjudge.h"
#include "tencoderresult.h"

#include <QString>

class TEncoderStop;
class TWorkThreadInfo;

// The two jobs the program gives its encoder, each run from WorkDir + the encoder's file name
// with WorkDir as its working folder.

struct TThumbnailOutcome
{
    bool Written = false; // a new picture is at PicturePath
    QString PicturePath;  // WorkDir + thumb1.jpg
    QString Reason;       // why no picture came, when none did
    TEncoderResult Run;
};

// Grabs the frame at 3 s of the video at source into WorkDir/thumb1.jpg. An earlier thumb1.jpg is
// removed first, so a video without a frame at 3 s (shorter, unreadable) can never show the
// picture of the video added before it.
TThumbnailOutcome RunThumbnail(const QString &source, TEncoderStop *stop = nullptr);

// Converts source into the PSP MP4 file output with the values of info, then states 768 kbit/s in
// its profile atom, and judges the result (see JudgeConversion). An output that is the source
// itself is refused before the encoder starts, since the encoder would empty its own input.
TConversionOutcome RunConversion(const TWorkThreadInfo &info, const QString &source,
                                 const QString &output, TEncoderStop *stop = nullptr);

// The video encoder to name in the conversion command for the encoder at program: xvid when that
// build has it, else its native MPEG-4 Visual encoder. Asked once per program path; a program that
// cannot be run is not remembered, so it is asked again next time.
// A stop requested meanwhile ends the question too; the answer is then not remembered.
QString VideoEncoderFor(const QString &program, TEncoderStop *stop = nullptr);
