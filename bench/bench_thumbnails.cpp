// Thumbnail scaling and the thumbnail grid, against baselines measured in the same run:
// a memcpy of the source picture and Qt's own smooth scaling for ScaleBitmap; a fixed goal in
// milliseconds for the grid's repaint; the peak memory of a 10,000-item list.
#include "scalebitmap.h"
#include "tphotothumbpanel.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QScrollArea>
#include <QScrollBar>

#include <cstdio>
#include <cstring>
#include <map>
#include <string>

using namespace Qt::StringLiterals;

namespace {

QImage NoisePicture(int width, int height)
{
    QImage image(width, height, ThumbnailFormat);
    quint32 state = 12345;
    for (int y = 0; y < height; ++y) {
        uchar *line = image.scanLine(y);
        for (qsizetype i = 0; i < qsizetype(width) * 3; ++i) {
            state = state * 1664525u + 1013904223u;
            line[i] = uchar(state >> 24);
        }
    }
    return image;
}

// The machine is shared: the summary uses the median of several repetitions.
void Repeated(benchmark::internal::Benchmark *benchmark)
{
    benchmark->Repetitions(5)->ReportAggregatesOnly(true);
}

const QImage &FullHdFrame()
{
    static const QImage frame = NoisePicture(1920, 1080);
    return frame;
}

void BM_MemcpyOfSource(benchmark::State &state)
{
    const QImage &source = FullHdFrame();
    QByteArray target(source.sizeInBytes(), Qt::Uninitialized);
    for (auto _ : state) {
        std::memcpy(target.data(), source.constBits(), size_t(source.sizeInBytes()));
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyOfSource)->Unit(benchmark::kMicrosecond)->Apply(Repeated);

void BM_ScaleBitmap(benchmark::State &state)
{
    QImage source = FullHdFrame();
    QImage thumb;
    for (auto _ : state) {
        ScaleBitmap(source, thumb, 100);
        benchmark::DoNotOptimize(thumb.constBits());
    }
}
BENCHMARK(BM_ScaleBitmap)->Unit(benchmark::kMicrosecond)->Apply(Repeated);

void BM_QtSmoothScaled(benchmark::State &state)
{
    const QImage &source = FullHdFrame();
    for (auto _ : state) {
        QImage thumb = source.scaled(100, 100, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        benchmark::DoNotOptimize(thumb.constBits());
    }
}
BENCHMARK(BM_QtSmoothScaled)->Unit(benchmark::kMicrosecond)->Apply(Repeated);

// A picture lower than the thumbnail, as wide as a crafted bitmap may declare: each source row
// feeds many destination rows, which must not each cost a pass over the whole width.
const QImage &WideFlatPicture()
{
    static const QImage picture = NoisePicture(2000000, 2);
    return picture;
}

void BM_MemcpyOfWideFlat(benchmark::State &state)
{
    const QImage &source = WideFlatPicture();
    QByteArray target(source.sizeInBytes(), Qt::Uninitialized);
    for (auto _ : state) {
        std::memcpy(target.data(), source.constBits(), size_t(source.sizeInBytes()));
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyOfWideFlat)->Unit(benchmark::kMicrosecond)->Apply(Repeated);

void BM_ScaleBitmapWideFlat(benchmark::State &state)
{
    QImage source = WideFlatPicture();
    QImage thumb;
    for (auto _ : state) {
        ScaleBitmap(source, thumb, 100);
        benchmark::DoNotOptimize(thumb.constBits());
    }
}
BENCHMARK(BM_ScaleBitmapWideFlat)->Unit(benchmark::kMicrosecond)->Apply(Repeated);

// The grid as the main window holds it: a 384 x 260 scroll area, cells of 110 x 90. Each item
// holds a full-size 640 x 480 frame, as the add command leaves it (shared between the items,
// which costs the same to draw).
struct TGridFixture
{
    explicit TGridFixture(int count)
    {
        area.resize(384, 260);
        panel = new TPhotoThumbPanel;
        panel->resize(384, 260);
        panel->setCellWidth(110);
        panel->setCellHeight(90);
        area.setWidget(panel);
        const QImage frame = NoisePicture(640, 480);
        for (int i = 0; i < count; ++i) {
            TThumbItem *item = panel->ThumbItems().Add();
            item->setFileName(u"/videos/clip%1.avi"_s.arg(i));
            item->setBitmap(frame);
        }
        area.show();
        QApplication::processEvents();
        panel->setSelectedIndex(0);
        QApplication::processEvents();
    }
    QScrollArea area;
    TPhotoThumbPanel *panel;
};

void BM_GridRepaint1000(benchmark::State &state)
{
    TGridFixture grid(1000);
    QScrollBar *bar = grid.area.verticalScrollBar();
    bar->setValue(bar->maximum() / 2);
    QApplication::processEvents();
    grid.panel->setSelectedIndex(500);
    for (auto _ : state)
        grid.panel->DrawThumbs();
}
BENCHMARK(BM_GridRepaint1000)->Unit(benchmark::kMicrosecond)->Apply(Repeated);

// Peak resident memory, in kB, read from the kernel; the peak is reset first where the kernel
// allows it, so it covers only what follows.
qint64 StatusField(const char *name)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(name))
            return line.mid(qsizetype(std::strlen(name))).trimmed().split(' ').first().toLongLong();
    return -1;
}

bool ResetPeak()
{
    QFile clear(u"/proc/self/clear_refs"_s);
    return clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
}

struct TMemoryFigures
{
    qint64 BeforeKb = -1;
    qint64 PeakKb = -1;
    bool PeakReset = false;
    int PanelHeight = 0;
};

TMemoryFigures MeasureTenThousand()
{
    TMemoryFigures figures;
    figures.PeakReset = ResetPeak();
    figures.BeforeKb = StatusField("VmRSS:");
    {
        TGridFixture grid(10000);
        QScrollBar *bar = grid.area.verticalScrollBar();
        for (int step = 0; step <= 10; ++step) {
            bar->setValue(bar->maximum() * step / 10);
            grid.panel->KeyUp(Qt::Key_Right, Qt::NoModifier);
            QApplication::processEvents();
        }
        figures.PanelHeight = grid.panel->height();
        figures.PeakKb = StatusField("VmHWM:");
    }
    return figures;
}

// Keeps the console output and remembers each benchmark's median real time per iteration.
class TRecordingReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median"
                && !run.error_occurred)
                Microseconds[run.run_name.function_name] = run.GetAdjustedRealTime();
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> Microseconds;
};

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    // First, while the heap is still fresh: memory freed by the timing runs stays resident and
    // would hide what the long list costs.
    const TMemoryFigures memory = MeasureTenThousand();
    TRecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const auto &t = reporter.Microseconds;
    std::printf("\nSummary\n");
    if (t.count("BM_ScaleBitmap") && t.count("BM_MemcpyOfSource") && t.count("BM_QtSmoothScaled")) {
        const double scale = t.at("BM_ScaleBitmap");
        std::printf(
            "  ScaleBitmap 1920x1080 -> 100 (medians): %.0f us = %.2f x memcpy of the source "
            "(goal <= 3), %.1f x faster than Qt smooth scaling (goal >= 2)\n",
            scale, scale / t.at("BM_MemcpyOfSource"), t.at("BM_QtSmoothScaled") / scale);
    }
    if (t.count("BM_ScaleBitmapWideFlat") && t.count("BM_MemcpyOfWideFlat")) {
        const double scale = t.at("BM_ScaleBitmapWideFlat");
        std::printf("  ScaleBitmap 2,000,000x2 -> 100 (medians): %.0f us = %.2f x memcpy of the "
                    "source (goal <= 5)\n",
                    scale, scale / t.at("BM_MemcpyOfWideFlat"));
    }
    if (t.count("BM_GridRepaint1000"))
        std::printf(
            "  Grid repaint of the visible area, 1,000 items (median): %.3f ms (goal <= 2 ms)\n",
            t.at("BM_GridRepaint1000") / 1000.0);

    if (memory.PeakKb >= 0) {
        const double wholeControlMb = 384.0 * memory.PanelHeight * 4 / (1024 * 1024);
        std::printf("  10,000 items (panel %d px high): peak resident %.1f MB, %.1f MB above the "
                    "%.1f MB before the list was built%s; composing the whole control would "
                    "need %.0f MB per drawing\n",
                    memory.PanelHeight, memory.PeakKb / 1024.0,
                    (memory.PeakKb - memory.BeforeKb) / 1024.0, memory.BeforeKb / 1024.0,
                    memory.PeakReset ? "" : " (peak not resettable: whole-run peak)",
                    wholeControlMb);
    }
    return 0;
}
