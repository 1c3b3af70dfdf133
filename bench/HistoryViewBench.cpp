// The history program's curve view at full size: 128 series of 20,000
// points, the window 1920 x 1080 offscreen. Targets: a mouse move over the
// chart, crosshair and 128 read-outs, in at most 1 ms without a redraw of
// the curves; "放大" and "恢复" each at most 100 ms to the chart painted.
#include "HistoryProgram.h"

#include <QPushButton>

#include "chart/Chart.h"
#include "history/Form1.h"
#include "support/WindowDriver.h"

namespace {

class OpenView {
public:
    OpenView()
    {
        program_.open(program_.window().write("view.nx", stationFile(20000)));
        // Series 1 counts the redraws of the curves; series 0 keeps the
        // crosshair's bookkeeping.
        program_.window().chart().series(1).setAfterDrawValues([this] { ++renders_; });
    }

    TForm1& form() { return program_.window().form(); }
    Chart& chart() { return program_.window().chart(); }
    void paint() { program_.paint(); }
    int renders() const { return renders_; }

private:
    HistoryProgram program_;
    int renders_ = 0;
};

void BM_MouseMoveCrossHairAndReadOuts(benchmark::State& state)
{
    OpenView view;
    Chart& chart = view.chart();
    const QRect area = chart.plotRect();
    const int before = view.renders();
    int step = 0;
    for (auto _ : state) {
        const QPoint at(area.left() + 10 + step % (area.width() - 20), area.center().y() + step % 50);
        sendMouseMove(chart, at);
        // The overlay and the read-outs shown.
        if (state.range(0))
            QApplication::processEvents();
        step += 7;
    }
    state.counters["curve_redraws"] = view.renders() - before;
}
BENCHMARK(BM_MouseMoveCrossHairAndReadOuts)
    ->ArgName("painted")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly();

void BM_ZoomIn(benchmark::State& state)
{
    OpenView view;
    for (auto _ : state) {
        widget<QPushButton>(view.form(), "Button11")->click();
        view.paint();
        state.PauseTiming();
        widget<QPushButton>(view.form(), "but_unzoom")->click();
        view.paint();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ZoomIn)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

void BM_UndoZoom(benchmark::State& state)
{
    OpenView view;
    for (auto _ : state) {
        state.PauseTiming();
        widget<QPushButton>(view.form(), "Button11")->click();
        view.paint();
        state.ResumeTiming();
        widget<QPushButton>(view.form(), "but_unzoom")->click();
        view.paint();
    }
}
BENCHMARK(BM_UndoZoom)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
