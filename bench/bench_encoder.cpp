// What the program's way of running the encoder costs, against baselines measured in the same
// run:
// - the thumbnail: seeking on the input side (the program's command) against the old output-side
//   seek, at 3 s and deep into a 60 s 720p clip (47 s: 7 s past a key frame);
// - a conversion through RunConversion (child process in the work folder, stop polling, stderr
//   tail, profile patch, verdict) against the same encoder arguments started directly.
// Prints the ratios at the end.

#include "defaultsettings.h"
#include "encodercommand.h"
#include "encoderjobs.h"
#include "filehelpers.h"
#include "processvariables.h"
#include "runandwait.h"
#include "tworkthreadinfo.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDir>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <string>

using namespace Qt::StringLiterals;

namespace {

QString LongClip;  // 60 s, 1280x720, a key frame every 10 s as common encoders set it
QString SmallClip; // 10 s, 320x240: a typical file to convert
QString OutputDir;

QString Encoder()
{
    return WorkDir + EncoderFileName();
}

bool MakeClip(const QString &path, const QString &size, int seconds)
{
    const TEncoderResult run = RunAndWait(
        Encoder(),
        {u"-nostdin"_s, u"-loglevel"_s, u"error"_s, u"-y"_s, u"-f"_s, u"lavfi"_s, u"-i"_s,
         u"testsrc2=size=%1:rate=25:duration=%2"_s.arg(size).arg(seconds), u"-f"_s, u"lavfi"_s,
         u"-i"_s, u"sine=frequency=440:sample_rate=44100:duration=%1"_s.arg(seconds),
         u"-c:v"_s, u"mpeg4"_s, u"-q:v"_s, u"5"_s, u"-g"_s, u"250"_s, u"-c:a"_s, u"pcm_s16le"_s,
         u"file:"_s + path},
        QDir::tempPath());
    if (run.ExitCode != 0)
        std::fprintf(stderr, "cannot make %s: %s\n", qPrintable(path), qPrintable(run.ErrorTail));
    return run.ExitCode == 0;
}

// The program's thumbnail command, with the seek moved to seconds.
QStringList InputSeek(int seconds)
{
    QStringList arguments = ThumbnailArguments(LongClip);
    arguments[arguments.indexOf(u"-ss"_s) + 1] = QString::number(seconds);
    return arguments;
}

// The old command: decode from the start, drop everything before the time, keep one frame.
QStringList OutputSeek(int seconds)
{
    return {u"-nostdin"_s, u"-hide_banner"_s, u"-nostats"_s, u"-loglevel"_s, u"error"_s,
            u"-i"_s, EncoderPathArgument(LongClip), u"-ss"_s, QString::number(seconds),
            u"-t"_s, u"0.001"_s, u"-frames:v"_s, u"1"_s, u"-y"_s, u"thumb%d.jpg"_s};
}

void RunThumbnailCommand(benchmark::State &state, const QStringList &arguments)
{
    for (auto _ : state) {
        const TEncoderResult run = RunAndWait(Encoder(), arguments, WorkDir);
        if (run.ExitCode != 0 || !QFileInfo::exists(WorkDir + u"thumb1.jpg"_s))
            state.SkipWithError("no thumbnail");
    }
}

void BM_ThumbnailInputSeek(benchmark::State &state)
{
    RunThumbnailCommand(state, InputSeek(int(state.range(0))));
}

void BM_ThumbnailOutputSeek(benchmark::State &state)
{
    RunThumbnailCommand(state, OutputSeek(int(state.range(0))));
}

void BM_ConversionProgram(benchmark::State &state)
{
    const QString output = OutputDir + u"program.mp4"_s;
    for (auto _ : state) {
        if (!RunConversion(DefaultSettingsInfo(), SmallClip, output).Succeeded)
            state.SkipWithError("conversion failed");
    }
}

void BM_ConversionDirect(benchmark::State &state)
{
    const QString output = OutputDir + u"direct.mp4"_s;
    const QStringList arguments = ConversionArguments(DefaultSettingsInfo(), SmallClip, output,
                                                      VideoEncoderFor(Encoder()));
    for (auto _ : state) {
        QProcess process;
        process.setWorkingDirectory(WorkDir);
        process.start(Encoder(), arguments);
        process.waitForFinished(-1);
        if (process.exitCode() != 0)
            state.SkipWithError("conversion failed");
    }
}

BENCHMARK(BM_ThumbnailInputSeek)->Arg(3)->Arg(47)->Iterations(5)->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThumbnailOutputSeek)->Arg(3)->Arg(47)->Iterations(3)->UseRealTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConversionProgram)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConversionDirect)->Iterations(5)->UseRealTime()->Unit(benchmark::kMillisecond);

// Keeps each benchmark's mean real time for the ratios.
class TRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            FTimes[run.benchmark_name()] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    double Time(const std::string &name) const
    {
        const auto found = FTimes.find(name);
        return found == FTimes.end() ? 0 : found->second;
    }

private:
    std::map<std::string, double> FTimes;
};

void PrintRatio(const TRatioReporter &reporter, const char *what, const std::string &subject,
                const std::string &baseline)
{
    const double subjectTime = reporter.Time(subject);
    const double baselineTime = reporter.Time(baseline);
    if (subjectTime > 0 && baselineTime > 0)
        std::printf("%-52s %6.3f  (%.0f ms against %.0f ms)\n", what, subjectTime / baselineTime,
                    subjectTime, baselineTime);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);

    QTemporaryDir dir;
    QDir().mkpath(dir.filePath(u"work"_s));
    QDir().mkpath(dir.filePath(u"out"_s));
    WorkDir = WithTrailingSeparator(dir.filePath(u"work"_s));
    OutputDir = WithTrailingSeparator(dir.filePath(u"out"_s));
    QString reason;
    if (!SaveResourceToFile(u"exefile"_s, u"av"_s, Encoder(), &reason)) {
        std::fprintf(stderr, "cannot write the encoder: %s\n", qPrintable(reason));
        return 1;
    }
    LongClip = dir.filePath(u"long720.avi"_s);
    SmallClip = dir.filePath(u"small.avi"_s);
    std::printf("Making the clips (60 s at 1280x720, 10 s at 320x240)...\n");
    std::fflush(stdout);
    if (!MakeClip(LongClip, u"1280x720"_s, 60) || !MakeClip(SmallClip, u"320x240"_s, 10))
        return 1;

    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\nRatios (below 1: the program's way is faster)\n");
    PrintRatio(reporter, "thumbnail at 3 s: input seek / output seek",
               "BM_ThumbnailInputSeek/3/iterations:5/real_time",
               "BM_ThumbnailOutputSeek/3/iterations:3/real_time");
    PrintRatio(reporter, "thumbnail at 47 s of 60 s 720p: input / output seek",
               "BM_ThumbnailInputSeek/47/iterations:5/real_time",
               "BM_ThumbnailOutputSeek/47/iterations:3/real_time");
    PrintRatio(reporter, "conversion: RunConversion / encoder run directly",
               "BM_ConversionProgram/iterations:5/real_time",
               "BM_ConversionDirect/iterations:5/real_time");
    return 0;
}
