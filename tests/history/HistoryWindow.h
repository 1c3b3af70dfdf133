#pragma once
// The history program's window in a fresh working directory, with its
// dialogs and message boxes answered by the test.
#include "HistoryFiles.h"

#include <QPushButton>
#include <QString>
#include <memory>
#include <string>

#include "chart/Chart.h"
#include "history/DateTimePicker.h"
#include "history/Form1.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"
#include "support/GuiApp.h"
#include "support/WindowDriver.h"
#include "support/WorkDir.h"

class HistoryWindow {
public:
    HistoryWindow() { restart(); }

    TForm1& form() { return *form_; }
    Chart& chart() { return *widget<Chart>(*form_, "Chart2"); }
    // A new window in the same working directory: a restart of the program.
    void restart()
    {
        ensureGuiApp();
        form_.reset();
        form_ = std::make_unique<TForm1>();
    }

    std::string write(const std::string& name, const HistoryFileSpec& spec)
    {
        writeHistoryFile(dir.file(name), spec);
        return dir.file(name);
    }
    // "打开历史数据....", the dialog answered with the file, or cancelled
    // for an empty path.
    void open(const std::string& path)
    {
        FileDialogAnswers answers{QString::fromStdString(path)};
        widget<QPushButton>(*form_, "but_open_histr_data")->click();
    }
    // "查找" with the four pickers set to start and end.
    void find(TDateTime start, TDateTime end)
    {
        widget<DatePicker>(*form_, "DateTimer_give_date")->setValue(start);
        widget<TimePicker>(*form_, "DateTimer_give_time")->setValue(start);
        widget<DatePicker>(*form_, "DateTimePickerEndDate")->setValue(end);
        widget<TimePicker>(*form_, "DateTimePickerEndTime")->setValue(end);
        widget<QPushButton>(*form_, "Button1")->click();
    }

    WorkDir dir;
    MessageBoxCapture boxes;

private:
    std::unique_ptr<TForm1> form_;
};

inline QString shownTime(TDateTime t)
{
    return FormatDateTime(QStringLiteral("YY-MM-DD HH:NN:SS"), t);
}
