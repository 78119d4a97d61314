#include "conversionjudge.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// The encoder's own words, when it left any, follow the program's summary.
QString WithDetails(const QString &summary, const QString &details)
{
    return details.isEmpty() ? summary : summary + u":\n"_s + details;
}

} // namespace

QString RunFailureReason(const TEncoderResult &run)
{
    switch (run.Status) {
    case TEncoderStatus::FailedToStart:
        return WithDetails(u"The encoder could not be started"_s, run.ErrorTail);
    case TEncoderStatus::Stopped:
        return u"The encoder was stopped"_s;
    case TEncoderStatus::Crashed:
        return WithDetails(u"The encoder crashed (signal %1)"_s.arg(run.ExitCode), run.ErrorTail);
    case TEncoderStatus::Finished:
        break;
    }
    if (run.ExitCode != 0)
        return WithDetails(u"The encoder failed with exit code %1"_s.arg(run.ExitCode),
                           run.ErrorTail);
    return {};
}

TConversionOutcome JudgeConversion(const TEncoderResult &run, const QString &output,
                                   bool profilePatched, const QString &patchReason)
{
    TConversionOutcome outcome;
    outcome.Run = run;
    outcome.Reason = RunFailureReason(run);
    if (outcome.Reason.isEmpty()) {
        const QFileInfo file(output);
        if (!file.isFile())
            outcome.Reason = WithDetails(u"The encoder wrote no output file"_s, run.ErrorTail);
        else if (file.size() == 0)
            outcome.Reason = WithDetails(u"The encoder wrote an empty output file"_s,
                                         run.ErrorTail);
        else if (!profilePatched)
            outcome.Reason = WithDetails(
                u"The video bit rate of the PSP profile could not be set"_s, patchReason);
    }
    outcome.Succeeded = outcome.Reason.isEmpty();
    return outcome;
}
