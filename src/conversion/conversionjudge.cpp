#include "conversionjudge.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace {

// The encoder's own words, when it left any, follow the program's summary.
QString WithDetails(const QString &summary, const QString &details)
{
    return details.isEmpty() ? summary : summary + u":\n"_s + details;
}

// Encoder words that stand for a reason the user can act on. They come with advice for the
// encoder's own command line (a trailing '?' on the map option), which would only mislead here.
struct TKnownFailure
{
    QStringView Says;
    QStringView Means;
};

constexpr TKnownFailure KnownFailures[] = {
    {u"Stream map '0:v:0' matches no streams", u"The file has no video track"},
    {u"Output file #0 does not contain any stream", u"The file has no video track"},
    {u"Stream map '0:a:0' matches no streams",
     u"The file has no audio track, and a PSP video needs one"},
};

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
    if (run.ExitCode == 0)
        return {};
    for (const TKnownFailure &known : KnownFailures) {
        if (run.ErrorTail.contains(known.Says))
            return known.Means.toString();
    }
    return WithDetails(u"The encoder failed with exit code %1"_s.arg(run.ExitCode),
                       run.ErrorTail);
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
