// The export of 100,000 records x 128 channels with no record skipped, from
// "导 出 数 据" to the message at its end, the history file in the page
// cache and the export written into it too (on tmpfs where there is one:
// rewriting a file that the disk is still being given waits for the disk).
// Target: at most 0.4 s. Beside it, for comparison, the same lines written
// value by value with fprintf("%.5g").
#include "HistoryProgram.h"

#include <QDir>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

#include "history/Form2.h"
#include "platform/FileDialog.h"
#include "support/WindowDriver.h"

namespace {

constexpr long Records = 100000;

// Where the export files go: in memory where the machine has a tmpfs.
QTemporaryDir exportDir()
{
    return QTemporaryDir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/export-XXXXXX")
                                                                    : QDir::tempPath() + QStringLiteral("/export-XXXXXX"));
}

void BM_Export100kRecords128Channels(benchmark::State& state)
{
    HistoryProgram program;
    program.open(program.window().write("export.nx", stationFile(Records)));
    const QTemporaryDir outDir = exportDir();
    const QString out = outDir.filePath(QStringLiteral("export.xls"));
    // The dialog opens on the whole file.
    const bool shown = program.window().inExportDialog([&](TForm2& form2) {
        for (auto _ : state) {
            FileDialogAnswers answers{out};
            ReplaceFileAnswers replace{true};
            widget<QPushButton>(form2, "Button1")->click();
        }
    });
    const std::vector<QString> everyExportDone(std::size_t(state.iterations()), QStringLiteral("数据导出完成！"));
    if (!shown || program.window().boxes.texts() != everyExportDone)
        state.SkipWithError("an export failed");
    state.counters["file_MB"] = double(QFileInfo(out).size()) / (1 << 20);
}
BENCHMARK(BM_Export100kRecords128Channels)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5);

void BM_SameLinesByFprintf(benchmark::State& state)
{
    QTemporaryDir dir;
    const std::string history = dir.filePath(QStringLiteral("export.nx")).toStdString();
    writeHistoryFile(history, stationFile(Records));
    const QTemporaryDir outDir = exportDir();
    const std::string out = outDir.filePath(QStringLiteral("fprintf.xls")).toStdString();
    std::vector<float> record(Channels);
    for (auto _ : state) {
        std::FILE* in = std::fopen(history.c_str(), "rb");
        std::FILE* file = std::fopen(out.c_str(), "wb");
        std::fseek(in, long(sizeof(HistoryFileHeader)), SEEK_SET);
        while (std::fread(record.data(), sizeof(float), record.size(), in) == record.size()) {
            std::fputs("18-10-18 09:05:03\t", file);
            for (float v : record)
                std::fprintf(file, "%.5g\t", double(v));
            std::fputs("\r\n", file);
        }
        std::fclose(file);
        std::fclose(in);
    }
}
BENCHMARK(BM_SameLinesByFprintf)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);

} // namespace

int main(int argc, char** argv)
{
    return runBenchmarks(argc, argv);
}
