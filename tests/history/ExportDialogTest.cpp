// The export dialog over the window's open file: its range, its refusals
// and the file it writes.
#include "ExportText.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <cmath>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

#include "history/DateTimePicker.h"
#include "history/Form1.h"
#include "history/Form2.h"
#include "platform/Conversions.h"
#include "platform/FileDialog.h"
#include "support/AlarmRecordBytes.h"
#include "support/ChildProcess.h"
#include "support/FifoWatchdog.h"
#include "support/FileBytes.h"
#include "support/FullDisk.h"
#include "support/HistoryDriver.h"
#include "support/ModalDialog.h"
#include "support/WindowDriver.h"

namespace {

const HistoryFileSpec Spec{.channels = 4, .records = 10};  // 10 minutes from 09:05

// The lines of an export of the whole file.
std::vector<ExportLine> everyRecord()
{
    std::vector<ExportLine> lines;
    for (int k = 0; k < Spec.records; ++k)
        lines.push_back({k, 60.0 * k});
    return lines;
}

class ExportDialog : public testing::Test {
protected:
    // The alias is no name the export writes.
    void SetUp() override
    {
        w.open(w.write("h.nx", Spec));
        w.setAlias(1, QStringLiteral("进口"));
    }

    // Sets a picker pair to t: the date picker on t's date at another time
    // of day, the time picker on t's time of day at another date.
    static void setPickers(DateTimePicker* date, DateTimePicker* time, TDateTime t)
    {
        date->setValue(std::floor(t) + 0.9);
        time->setValue(t - 3);
    }
    static void setRange(TForm2& form2, double startSeconds, double endSeconds)
    {
        setPickers(widget<DatePicker>(form2, "DateTimePicker_histr_startdate"), widget<TimePicker>(form2, "DateTimePicker_histr_starttime"),
                   secondsAfter(Spec, startSeconds));
        setPickers(widget<DatePicker>(form2, "DateTimePicker_histr_enddate"), widget<TimePicker>(form2, "DateTimePicker_histr_endtime"),
                   secondsAfter(Spec, endSeconds));
    }
    HistoryDriver w;
};

// The button opens the dialog on the file's range; an export as the
// dialog stands takes every record, the channels shown, under the
// header's names, and the dialog stays for another.
TEST_F(ExportDialog, ExportsTheFileAsTheDialogOpens)
{
    w.rowCheckBox(2)->click();
    const bool shown = w.inExportDialog([&](TForm2& form2) {
        EXPECT_EQ(form2.windowTitle(), QStringLiteral("输入时间范围"));
        EXPECT_EQ(widget<QLabel>(form2, "Label_histr_timerange")->text(),
                  QStringLiteral("有效时间范围：18-10-18 09:05:00 至 18-10-18 09:15:00         "));
        EXPECT_EQ(widget<DatePicker>(form2, "DateTimePicker_histr_startdate")->value(), Spec.start);
        EXPECT_EQ(widget<TimePicker>(form2, "DateTimePicker_histr_starttime")->value(), Spec.start);
        EXPECT_EQ(widget<DatePicker>(form2, "DateTimePicker_histr_enddate")->value(), historyFileEnd(Spec));
        EXPECT_EQ(widget<TimePicker>(form2, "DateTimePicker_histr_endtime")->value(), historyFileEnd(Spec));
        EXPECT_EQ(widget<QLabel>(form2, "Label1")->text(), QStringLiteral("开始时间： "));
        EXPECT_EQ(widget<QLabel>(form2, "Label2")->text(), QStringLiteral("结束时间："));
        EXPECT_EQ(widget<QLabel>(form2, "Label3")->text(), QStringLiteral("采样频率："));
        EXPECT_EQ(widget<QLineEdit>(form2, "Edit1")->text(), QStringLiteral("0"));
        EXPECT_EQ(widget<QPushButton>(form2, "Button1")->text(), QStringLiteral("导 出 数 据"));
        EXPECT_EQ(widget<QProgressBar>(form2, "CGauge1")->size(), QSize(257, 20));

        FileDialogAnswers answers{QString::fromStdString(w.dir.file("out")), QString::fromStdString(w.dir.file("again.xls"))};
        widget<QPushButton>(form2, "Button1")->click();
        EXPECT_EQ(widget<QProgressBar>(form2, "CGauge1")->maximum(), 10);
        EXPECT_EQ(widget<QProgressBar>(form2, "CGauge1")->value(), 0);
        widget<QPushButton>(form2, "Button1")->click();
        EXPECT_TRUE(form2.isVisible());
    });
    ASSERT_TRUE(shown);
    EXPECT_EQ(w.boxes.texts(), (std::vector<QString>(2, QStringLiteral("数据导出完成！"))));
    const std::uint8_t channelsShown[] = {1, 1, 0, 1};
    const std::string expected = expectedExport(Spec, everyRecord(), channelsShown);
    EXPECT_EQ(readFileBytes(w.dir.file("out.xls")), expected) << "named with the default extension";
    EXPECT_EQ(readFileBytes(w.dir.file("again.xls")), expected);
}

struct RefusalCase {
    const char* name;
    double startSeconds, endSeconds;  // the file spans 0 to 600
    const char* skip;
    const char* message;
};

// A range outside the file, backwards, or a negative skip is refused before
// anything is read or asked; the date pickers keep the date and time put
// together.
TEST_F(ExportDialog, RefusesBadRangesAndSkipsBeforeAskingForAFile)
{
    const std::vector<RefusalCase> cases = {
        {"start after end", 120, 60, "0", "时间范围不正确！"},
        {"start before the file", -60, 300, "0", "时间范围不正确！"},
        {"end after the file", 0, 660, "0", "时间范围不正确！"},
        {"a negative skip", 0, 600, "-1", "采样频率不能小于0!"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.name);
        w.boxes.clear();
        EXPECT_TRUE(w.inExportDialog([&](TForm2& form2) {
            setRange(form2, c.startSeconds, c.endSeconds);
            widget<QLineEdit>(form2, "Edit1")->setText(QString::fromUtf8(c.skip));
            FileDialogAnswers answers{QString::fromStdString(w.dir.file("out.xls"))};
            widget<QPushButton>(form2, "Button1")->click();
            EXPECT_EQ(w.boxes.texts(), std::vector<QString>{QString::fromUtf8(c.message)});
            EXPECT_EQ(answers.asked(), 0);
            EXPECT_FALSE(std::filesystem::exists(w.dir.file("out.xls")));
            EXPECT_EQ(widget<DatePicker>(form2, "DateTimePicker_histr_startdate")->value(), secondsAfter(Spec, c.startSeconds));
        }));
    }

    EXPECT_TRUE(w.inExportDialog([&](TForm2& form2) {
        setRange(form2, 0, 600);
        widget<QLineEdit>(form2, "Edit1")->setText(QStringLiteral("1x"));
        FileDialogAnswers answers{QString::fromStdString(w.dir.file("out.xls"))};
        EXPECT_THROW(form2.Button1Click(), EConvertError);
        EXPECT_EQ(answers.asked(), 0);
        EXPECT_FALSE(std::filesystem::exists(w.dir.file("out.xls")));
    }));
}

// What comes of the save dialog and of the file it names.
TEST_F(ExportDialog, ReportsAFileThatCannotBeCreatedOrWrittenWhole)
{
    const bool shown = w.inExportDialog([&](TForm2& form2) {
        setRange(form2, 0, 600);
        {
            FileDialogAnswers cancelled{QString()};
            widget<QPushButton>(form2, "Button1")->click();
            EXPECT_TRUE(w.boxes.shown().empty());
            EXPECT_EQ(cancelled.asked(), 1);
        }
        {
            FileDialogAnswers answers{QString::fromStdString(w.dir.file("no/out.xls"))};
            widget<QPushButton>(form2, "Button1")->click();
            EXPECT_EQ(w.boxes.texts(), std::vector<QString>{QStringLiteral("无法创建导出文件!")});
        }
        w.boxes.clear();
        {
            FileDialogAnswers answers{QString::fromStdString(w.dir.file("out.xls"))};
            FullDisk disk(200);
            widget<QPushButton>(form2, "Button1")->click();
            EXPECT_EQ(w.boxes.texts(), std::vector<QString>{QStringLiteral("导出文件写入失败!")});
        }
    });
    EXPECT_TRUE(shown);
}

// The month folder holds the station's alarm records, named like the
// history file with ".xls": an export replaces such a file only after a Yes.
TEST_F(ExportDialog, ReplacesAnExistingFileOnlyWhenTheUserSaysYes)
{
    const std::string alarms = w.dir.file("h.xls");
    const std::string rows = alarmRecordBytes({"锅炉温度0", "上限报警", "18-10-18", "09:05:00", "09:06:00"});
    writeFileBytes(alarms, rows);
    const bool shown = w.inExportDialog([&](TForm2& form2) {
        setRange(form2, 0, 600);
        {
            FileDialogAnswers answers{QString::fromStdString(alarms), QString()};
            ReplaceFileAnswers replace{false};
            widget<QPushButton>(form2, "Button1")->click();
            EXPECT_EQ(replace.asked(), 1);
            EXPECT_EQ(answers.asked(), 2) << "No returns to the dialog, here cancelled";
            EXPECT_TRUE(w.boxes.shown().empty());
            EXPECT_TRUE(readFileBytes(alarms) == rows);
        }
        {
            FileDialogAnswers answers{QString::fromStdString(w.dir.file("h"))};
            ReplaceFileAnswers replace{true};
            widget<QPushButton>(form2, "Button1")->click();
            EXPECT_EQ(replace.asked(), 1) << "asked for the name with its extension";
            EXPECT_EQ(w.boxes.texts(), std::vector<QString>{QStringLiteral("数据导出完成！")});
            const std::uint8_t all[] = {1, 1, 1, 1};
            EXPECT_EQ(readFileBytes(alarms), expectedExport(Spec, everyRecord(), all));
        }
        w.boxes.clear();
        const std::string history = readFileBytes(w.dir.file("h.nx"));
        {
            FileDialogAnswers answers{QString::fromStdString(w.dir.file("h.nx"))};
            ReplaceFileAnswers replace{true};
            widget<QPushButton>(form2, "Button1")->click();
            EXPECT_EQ(w.boxes.texts(), std::vector<QString>{QStringLiteral("无法创建导出文件!")});
            EXPECT_TRUE(readFileBytes(w.dir.file("h.nx")) == history) << "the history file is never replaced";
        }
    });
    EXPECT_TRUE(shown);
}

// An export onto a FIFO never waits for a reader, and never writes into
// one: it is a file that cannot be created.
TEST_F(ExportDialog, RefusesAFifoWithoutWaitingOnIt)
{
    const std::string target = w.dir.file("fifo.xls");
    FifoWatchdog fifo(target, FifoWatchdog::Opener::Writer);
    const bool shown = w.inExportDialog([&](TForm2& form2) {
        setRange(form2, 0, 600);
        {
            FileDialogAnswers answers{QString::fromStdString(target)};
            ReplaceFileAnswers replace{true};
            widget<QPushButton>(form2, "Button1")->click();
            EXPECT_FALSE(fifo.released()) << "the export waited for a reader";
            EXPECT_EQ(w.boxes.texts(), std::vector<QString>{QStringLiteral("无法创建导出文件!")});
        }
        w.boxes.clear();
        const int reader = open(target.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        ASSERT_GE(reader, 0);
        {
            FileDialogAnswers answers{QString::fromStdString(target)};
            ReplaceFileAnswers replace{true};
            widget<QPushButton>(form2, "Button1")->click();
            EXPECT_EQ(w.boxes.texts(), std::vector<QString>{QStringLiteral("无法创建导出文件!")}) << "with a reader on it";
        }
        char byte;
        EXPECT_EQ(read(reader, &byte, 1), 0) << "nothing reached the reader";
        close(reader);
    });
    EXPECT_TRUE(shown);
}

// Qt's own save dialog asks the question; a No leaves it open and the file
// as it was.
TEST_F(ExportDialog, QtsSaveDialogAsksBeforeReplacingAFile)
{
    const std::string alarms = w.dir.file("h.xls");
    writeFileBytes(alarms, "alarm rows");
    QString question;
    QStringList filters;
    bool leftOpen = false;
    whenShown<QMessageBox>([&](QMessageBox& box) {
        question = box.text();
        box.button(QMessageBox::No)->click();
    });
    whenShown<QFileDialog>([&](QFileDialog& save) {
        filters = save.nameFilters();
        type(save, "fileNameEdit", QString::fromStdString(alarms));
        save.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Save)->click();
        leftOpen = save.isVisible();
        if (leftOpen)
            save.reject();
    });
    EXPECT_TRUE(w.inExportDialog([&](TForm2& form2) {
        setRange(form2, 0, 600);
        widget<QPushButton>(form2, "Button1")->click();
    }));
    EXPECT_EQ(filters, QStringList{QStringLiteral("Excel文件 (*.xls)")});
    EXPECT_TRUE(question.contains(QStringLiteral("h.xls"))) << question.toStdString();
    EXPECT_TRUE(leftOpen);
    EXPECT_TRUE(w.boxes.shown().empty());
    EXPECT_EQ(readFileBytes(alarms), "alarm rows");
}

// A program the project did not write reads the export back: Python's csv
// module, TAB-separated and GBK, finds the heading and the values.
TEST_F(ExportDialog, PythonsCsvModuleReadsTheExport)
{
    EXPECT_TRUE(w.inExportDialog([&](TForm2& form2) {
        setRange(form2, 120, 240);
        FileDialogAnswers answers{QString::fromStdString(w.dir.file("out.xls"))};
        widget<QPushButton>(form2, "Button1")->click();
    }));
    ASSERT_EQ(w.boxes.texts(), std::vector<QString>{QStringLiteral("数据导出完成！")});

    ChildProcess python({"/usr/bin/python3", TEST_SOURCE_DIR "/history/read_export.py", w.dir.file("out.xls")});
    ASSERT_TRUE(python.waitFor([](const auto& lines) { return !lines.empty() && lines.back().text == "END"; }));
    std::vector<QStringList> rows;
    for (const ChildProcess::Line& line : python.lines()) {
        if (line.text == "END")
            break;
        QStringList fields;
        for (const QJsonValue field : QJsonDocument::fromJson(QByteArray::fromStdString(line.text)).array())
            fields.append(field.toString());
        rows.push_back(fields);
    }
    const std::vector<QStringList> expected = {
        {QStringLiteral("时间"), QStringLiteral("锅炉温度0"), QStringLiteral("锅炉温度1"), QStringLiteral("锅炉温度2"),
         QStringLiteral("锅炉温度3"), QString()},
        {QStringLiteral("18-10-18 09:07:00"), "2", "2.25", "2.5", "2.75", QString()},
        {QStringLiteral("18-10-18 09:08:00"), "3", "3.25", "3.5", "3.75", QString()},
        {QStringLiteral("18-10-18 09:09:00"), "4", "4.25", "4.5", "4.75", QString()},
    };
    EXPECT_EQ(rows, expected);
}

} // namespace
