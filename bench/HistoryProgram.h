// The history program for the benchmarks: its window 1920 x 1080 offscreen
// in a temporary working directory, and history files of 128 channels as
// the station writes them, in the page cache once written.
#pragma once

#include "BenchMain.h"

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "chart/Chart.h"
#include "history/DateTimePicker.h"
#include "history/Form1.h"
#include "platform/FileDialog.h"
#include "platform/Gbk.h"
#include "support/WindowDriver.h"

constexpr int Channels = 128;

// A history file as the station writes it: slow swings with a little noise.
inline std::string writeHistoryFile(const QTemporaryDir& dir, const char* name, long records)
{
    const std::string path = dir.filePath(QString::fromLatin1(name)).toStdString();
    auto header = std::make_unique<HistoryFileHeader>();
    header->StartTime = EncodeDateTime(2018, 10, 18, 9, 5, 3);
    header->RecordInterval = 1;
    header->ChannelCount = Channels;
    for (int j = 0; j < Channels; ++j)
        copyToField(header->ChannelNames[j], QStringLiteral("锅炉温度%1").arg(j + 1));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(header.get(), sizeof *header, 1, file);
    std::vector<float> record(Channels);
    for (long k = 0; k < records; ++k) {
        for (int j = 0; j < Channels; ++j)
            record[std::size_t(j)] = float(500 + 300 * std::sin(double(k) * 1e-4 + j) + double((k * 7919 + j) % 13));
        std::fwrite(record.data(), sizeof(float), record.size(), file);
    }
    std::fclose(file);
    return path;
}

class HistoryProgram {
public:
    HistoryProgram()
    {
        if (!dir_.isValid() || chdir(dir_.path().toLocal8Bit().constData()) != 0)
            std::abort();
        form_ = std::make_unique<TForm1>();
        form_->showNormal();
        form_->resize(1920, 1080);
        QApplication::processEvents();
    }

    const QTemporaryDir& dir() const { return dir_; }
    TForm1& form() { return *form_; }

    // "打开历史数据....", its handler run and the chart painted.
    void open(const std::string& path)
    {
        FileDialogAnswers answers{QString::fromStdString(path)};
        widget<QPushButton>(*form_, "but_open_histr_data")->click();
        paint();
    }

    // "查找" over the whole file.
    void findAll()
    {
        widget<DatePicker>(*form_, "DateTimer_give_date")->setValue(form_->Loads.HistStartTime);
        widget<TimePicker>(*form_, "DateTimer_give_time")->setValue(form_->Loads.HistStartTime);
        widget<DatePicker>(*form_, "DateTimePickerEndDate")->setValue(form_->Loads.HistEndTime);
        widget<TimePicker>(*form_, "DateTimePickerEndTime")->setValue(form_->Loads.HistEndTime);
        widget<QPushButton>(*form_, "Button1")->click();
        paint();
    }

    // What the event loop has queued, then the chart painted now.
    void paint()
    {
        QApplication::processEvents();
        widget<Chart>(*form_, "Chart2")->repaint();
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<TForm1> form_;
};

