#pragma once

#include "tencoderresult.h"

#include <QString>

// Whether one conversion produced a file the PSP can use, and if not, why.
struct TConversionOutcome
{
    bool Succeeded = false;
    QString Reason;     // empty on success; otherwise one line or a few, meant for the user
    TEncoderResult Run; // the encoder's own result; Run.Status tells a stop from a failure
};

// Why a run of the encoder did not end by itself with exit code 0 (not started, stopped, crashed,
// failed), followed by its last stderr lines; empty text when it did. A source without a video or
// an audio track is said so plainly, without the encoder's words.
QString RunFailureReason(const TEncoderResult &run);

// A conversion succeeded only if the encoder ended by itself with exit code 0, the file at output
// exists and is not empty, and its profile atom was patched (profilePatched; patchReason says why
// not). Everything else is a failure with a reason.
TConversionOutcome JudgeConversion(const TEncoderResult &run, const QString &output,
                                   bool profilePatched, const QString &patchReason = {});
