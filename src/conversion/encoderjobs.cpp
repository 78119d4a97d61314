#include "encoderjobs.h"

#include "encodercommand.h"
#include "outputname.h"
#include "processvariables.h"
#include "pspprofile.h"
#include "runandwait.h"
#include "tworkthreadinfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QMutex>

using namespace Qt::StringLiterals;

namespace {

QString EncoderProgram()
{
    return WorkDir + EncoderFileName();
}

} // namespace

QString VideoEncoderFor(const QString &program, TEncoderStop *stop)
{
    static QMutex mutex;
    static QHash<QString, QString> known;
    {
        const QMutexLocker lock(&mutex);
        const auto found = known.constFind(program);
        if (found != known.constEnd())
            return *found;
    }

    // One tiny frame through xvid says more than parsing the encoder list would.
    const QStringList probe = {u"-nostdin"_s, u"-hide_banner"_s, u"-loglevel"_s, u"error"_s,
                               u"-f"_s, u"lavfi"_s, u"-i"_s, u"color=size=16x16:duration=0.1"_s,
                               u"-frames:v"_s, u"1"_s, u"-c:v"_s, XvidVideoEncoder.toString(),
                               u"-f"_s, u"null"_s, u"-"_s};
    const TEncoderResult run = RunAndWait(program, probe, QFileInfo(program).absolutePath(), stop);
    if (run.Status != TEncoderStatus::Finished)
        return XvidVideoEncoder.toString();
    const QString encoder = run.ExitCode == 0 ? XvidVideoEncoder.toString()
                                              : NativeVideoEncoder.toString();
    const QMutexLocker lock(&mutex);
    known.insert(program, encoder);
    return encoder;
}

TThumbnailOutcome RunThumbnail(const QString &source, TEncoderStop *stop)
{
    TThumbnailOutcome outcome;
    outcome.PicturePath = WorkDir + ThumbnailFileName.toString();
    if (QFileInfo::exists(outcome.PicturePath) && !QFile::remove(outcome.PicturePath)) {
        outcome.Reason = u"The old thumbnail %1 could not be removed"_s.arg(outcome.PicturePath);
        return outcome;
    }

    outcome.Run = RunAndWait(EncoderProgram(), ThumbnailArguments(source), WorkDir, stop);
    outcome.Reason = RunFailureReason(outcome.Run);
    const QFileInfo picture(outcome.PicturePath);
    outcome.Written = outcome.Reason.isEmpty() && picture.isFile() && picture.size() > 0;
    // A video shorter than 3 s ends the encoder with 0 and no picture: say so rather than
    // repeat its silence.
    if (!outcome.Written && outcome.Reason.isEmpty())
        outcome.Reason = u"The video has no frame at 3 seconds"_s;
    return outcome;
}

TConversionOutcome RunConversion(const TWorkThreadInfo &info, const QString &source,
                                 const QString &output, TEncoderStop *stop)
{
    if (IsSameFile(source, output)) {
        TConversionOutcome refused;
        refused.Reason = u"The output %1 is the source itself and would be overwritten"_s.arg(
            QDir::toNativeSeparators(output));
        return refused;
    }

    const QString program = EncoderProgram();
    const QStringList arguments = ConversionArguments(info, source, output,
                                                      VideoEncoderFor(program, stop));
    const TEncoderResult run = RunAndWait(program, arguments, WorkDir, stop);

    bool patched = false;
    QString patchReason;
    if (RunFailureReason(run).isEmpty() && QFileInfo(output).size() > 0)
        patched = PatchPspVideoBitrate(output, PspMuxVideoBitrate, &patchReason);
    return JudgeConversion(run, output, patched, patchReason);
}
