#pragma once
// The history program's main window in a fresh working directory, its
// message boxes captured, driven as a user drives it: what a test clicks,
// types and reads, found by the components' names.
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/DateTime.h"
#include "platform/MessageBox.h"
#include "support/HistoryFiles.h"
#include "support/WorkDir.h"

class Chart;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPoint;
class QSize;
class QWidget;
class TForm1;
class TForm2;

class HistoryDriver {
public:
    HistoryDriver();
    ~HistoryDriver();
    HistoryDriver(const HistoryDriver&) = delete;
    HistoryDriver& operator=(const HistoryDriver&) = delete;

    // The window: its components by name (widget<T>) and its handlers.
    TForm1& form() { return *form_; }
    Chart& chart();
    // A new window in the same working directory: a restart of the program.
    void restart();
    // The window on the offscreen screen at that size, laid out.
    void show(const QSize& size);

    // A history file in the working directory; its path.
    std::string write(const std::string& name, const HistoryFileSpec& spec);

    // "打开历史数据....", the dialog answered with path, or cancelled for an
    // empty path.
    void open(const std::string& path);
    // "查找" with the four pickers set to start and end.
    void find(TDateTime start, TDateTime end);
    // The alias editor's channel list set to channel, as a user picks it.
    void chooseAliasChannel(int channel);
    // "修改设备别名": alias typed for channel and stored with "修改", the
    // editor closed again.
    void setAlias(int channel, const QString& alias);
    // "导出EXCEL文件......": act runs in the export dialog once it shows, and
    // the dialog closes after. False when no dialog showed.
    bool inExportDialog(const std::function<void(TForm2&)>& act);
    // The channels an export of the whole file takes, by the names heading
    // its columns; it throws when the export wrote no file.
    std::vector<QString> exportedChannels();

    // A real mouse move to a point of the chart (sendMouseMove), and what
    // it leaves for the event loop done.
    void moveMouse(const QPoint& onChart);
    // Whether the crosshair follows the mouse: a move to the plot's centre
    // draws one. The mouse leaves the plot after, which takes it away. The
    // window is shown first if it is not.
    bool crossHairFollowsMouse();

    // Panel i of the status bar.
    QLabel* statusPanel(int i);
    // The channel rows beside the chart: a check box, a value edit and a
    // colour swatch each.
    int rowCount();
    QCheckBox* rowCheckBox(int row);
    QLineEdit* rowValueEdit(int row);
    QWidget* rowSwatch(int row);

    WorkDir dir;
    MessageBoxCapture boxes;

private:
    std::unique_ptr<TForm1> form_;
};

// A real mouse move to a point of a widget, sent to the child of it that
// lies there, and handled; nothing else the event loop holds is.
void sendMouseMove(QWidget& widget, const QPoint& at);

// A time as the window's labels show it: "YY-MM-DD HH:NN:SS".
QString shownTime(TDateTime t);
