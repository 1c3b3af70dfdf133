#include "support/HistoryDriver.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <filesystem>

#include "chart/Chart.h"
#include "history/DateTimePicker.h"
#include "history/Form1.h"
#include "history/Form2.h"
#include "platform/FileDialog.h"
#include "platform/Gbk.h"
#include "support/FileBytes.h"
#include "support/GuiApp.h"
#include "support/ModalDialog.h"
#include "support/WindowDriver.h"

namespace {

// The names that head an export's columns after "时间", from its first line.
std::vector<QString> exportHeading(const std::string& text)
{
    const QStringList fields = fromGbk(QByteArray::fromStdString(text.substr(0, text.find("\r\n")))).split(u'\t');
    std::vector<QString> names(fields.begin(), fields.end());
    if (names.empty() || names.front() != QStringLiteral("时间"))
        throw std::runtime_error("the export wrote no file with a heading");
    names.erase(names.begin());
    // Every field is followed by a TAB, so the line ends in an empty one.
    if (!names.empty() && names.back().isEmpty())
        names.pop_back();
    return names;
}

} // namespace

HistoryDriver::HistoryDriver()
{
    restart();
}

HistoryDriver::~HistoryDriver() = default;

Chart& HistoryDriver::chart()
{
    return *widget<Chart>(*form_, "Chart2");
}

void HistoryDriver::restart()
{
    ensureGuiApp();
    form_.reset();
    form_ = std::make_unique<TForm1>();
}

void HistoryDriver::show(const QSize& size)
{
    form_->resize(size);
    form_->show();
    QApplication::processEvents();
}

std::string HistoryDriver::write(const std::string& name, const HistoryFileSpec& spec)
{
    writeHistoryFile(dir.file(name), spec);
    return dir.file(name);
}

void HistoryDriver::open(const std::string& path)
{
    FileDialogAnswers answers{QString::fromStdString(path)};
    widget<QPushButton>(*form_, "but_open_histr_data")->click();
}

void HistoryDriver::find(TDateTime start, TDateTime end)
{
    widget<DatePicker>(*form_, "DateTimer_give_date")->setValue(start);
    widget<TimePicker>(*form_, "DateTimer_give_time")->setValue(start);
    widget<DatePicker>(*form_, "DateTimePickerEndDate")->setValue(end);
    widget<TimePicker>(*form_, "DateTimePickerEndTime")->setValue(end);
    widget<QPushButton>(*form_, "Button1")->click();
}

void HistoryDriver::chooseAliasChannel(int channel)
{
    pick(widget<QComboBox>(*form_, "ComboBoxChName"), channel);
}

void HistoryDriver::setAlias(int channel, const QString& alias)
{
    widget<QAction>(*form_, "N2")->trigger();
    chooseAliasChannel(channel);
    widget<QLineEdit>(*form_, "MaskEditChName")->setText(alias);
    widget<QPushButton>(*form_, "btModChName")->click();
    widget<QPushButton>(*form_, "btModChNameExit")->click();
}

bool HistoryDriver::inExportDialog(const std::function<void(TForm2&)>& act)
{
    return inDialogOpenedBy<TForm2>(widget<QPushButton>(*form_, "Button_expro_histr"), act);
}

std::vector<QString> HistoryDriver::exportedChannels()
{
    const std::string path = dir.file("exported-channels.xls");
    inExportDialog([&](TForm2& form2) {
        // The export's own message is no business of the test's boxes.
        MessageBoxCapture exportBoxes;
        FileDialogAnswers answers{QString::fromStdString(path)};
        ReplaceFileAnswers replace{true};
        widget<QPushButton>(form2, "Button1")->click();
    });
    const std::vector<QString> names = exportHeading(readFileBytes(path));
    std::filesystem::remove(path);
    return names;
}

void HistoryDriver::moveMouse(const QPoint& onChart)
{
    sendMouseMove(chart(), onChart);
    QApplication::processEvents();
}

bool HistoryDriver::crossHairFollowsMouse()
{
    if (!form_->isVisible())
        show(QSize(1200, 800));
    const QRect plot = chart().plotRect();
    moveMouse(plot.center());
    const bool follows = chart().crossHairCount() == 1;
    moveMouse(QPoint(plot.left() - 3, plot.center().y()));
    return follows;
}

QLabel* HistoryDriver::statusPanel(int i)
{
    return widget<QLabel>(*form_, QStringLiteral("StatusBar1.Panels[%1]").arg(i));
}

int HistoryDriver::rowCount()
{
    static const QRegularExpression rowBox(QStringLiteral("^ChannelCheckBox\\d+$"));
    return int(widget<QWidget>(*form_, "ScrollBox_hisrt_colorContents")->findChildren<QCheckBox*>(rowBox).size());
}

QCheckBox* HistoryDriver::rowCheckBox(int row)
{
    return widget<QCheckBox>(*form_, QStringLiteral("ChannelCheckBox%1").arg(row));
}

QLineEdit* HistoryDriver::rowValueEdit(int row)
{
    return widget<QLineEdit>(*form_, QStringLiteral("ChannelValueEdit%1").arg(row));
}

QWidget* HistoryDriver::rowSwatch(int row)
{
    return widget<QWidget>(*form_, QStringLiteral("ChannelSwatch%1").arg(row));
}

void sendMouseMove(QWidget& widget, const QPoint& at)
{
    QWidget* target = widget.childAt(at);
    if (!target)
        throw std::logic_error("no part of " + widget.objectName().toStdString() + " at that point");
    const QPoint local = target->mapFrom(&widget, at);
    QMouseEvent move(QEvent::MouseMove, local, target->mapToGlobal(local), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(target, &move);
}

QString shownTime(TDateTime t)
{
    return FormatDateTime(QStringLiteral("YY-MM-DD HH:NN:SS"), t);
}
