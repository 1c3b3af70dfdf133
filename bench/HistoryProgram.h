// The history program for the benchmarks: its window 1920 x 1080 offscreen
// in a temporary working directory, driven as the tests drive it, and
// history files of 128 channels as the station writes them, in the page
// cache once written.
#pragma once

#include "BenchMain.h"

#include <QApplication>
#include <cmath>
#include <cstdint>
#include <string>

#include "chart/Chart.h"
#include "support/HistoryDriver.h"

constexpr int Channels = 128;

// Slow swings with a little noise.
inline float swing(std::int64_t k, int j)
{
    return float(500 + 300 * std::sin(double(k) * 1e-4 + j) + double((k * 7919 + j) % 13));
}

// A history file as the station writes it, a record a second.
inline HistoryFileSpec stationFile(std::int64_t records)
{
    return {.start = EncodeDateTime(2018, 10, 18, 9, 5, 3),
            .interval = 1,
            .channels = Channels,
            .records = records,
            .value = swing};
}

class HistoryProgram {
public:
    HistoryProgram() { window_.show(QSize(1920, 1080)); }

    HistoryDriver& window() { return window_; }

    // "打开历史数据....", its handler run and the chart painted.
    void open(const std::string& path)
    {
        window_.open(path);
        paint();
    }

    // "查找" over the whole file, and the chart painted.
    void findAll(const HistoryFileSpec& spec)
    {
        window_.find(spec.start, historyFileEnd(spec));
        paint();
    }

    // What the event loop has queued, then the chart painted now.
    void paint()
    {
        QApplication::processEvents();
        window_.chart().repaint();
    }

    // The points of each series the chart shows.
    int pointsShown() { return window_.chart().series(0).count(); }

private:
    HistoryDriver window_;
};
