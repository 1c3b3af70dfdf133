#pragma once
// The station's main window as tests and benchmarks drive it, in a fresh
// base directory that is the working directory while the driver lives: the
// configuration written as files before the window starts, then what a user
// clicks, types and reads on the screen, by the components' names. The
// window's fields stay its own.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QTimer>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "station/AlarmForm.h"
#include "station/GeneralView.h"
#include "station/MainForm.h"
#include "station/StringGrid.h"
#include "station/core/ConfigFile.h"
#include "support/FileBytes.h"
#include "support/GridClicks.h"
#include "support/StationConfig.h"
#include "support/WindowDriver.h"
#include "support/WorkDir.h"

class StationDriver {
public:
    StationDriver() = default;
    StationDriver(const StationDriver&) = delete;
    StationDriver& operator=(const StationDriver&) = delete;
    ~StationDriver() { close(); }

    // --- before the window starts -------------------------------------------

    // The configuration the next start() writes (see StationConfig).
    MeterConfig& addDevice(const MeterConfig& device) { return config_.addDevice(device); }
    void setPassword(const QString& password) { config_.setPassword(password); }

    // A file of the base directory, e.g. "Res/GSM_Alarm.ini", its folder made
    // when missing: for what the configuration types do not write.
    void writeBaseFile(const std::string& name, const std::string& bytes) const
    {
        const std::filesystem::path path = dir_.file(name);
        std::filesystem::create_directories(path.parent_path());
        writeFileBytes(path.string(), bytes);
    }

    // Writes the configuration given since the last start, then makes the
    // main window, which enters run mode, and after it the alarm window, as
    // the program entry does. Windows already running are closed first.
    void start()
    {
        close();
        writeConfiguration();
        window_ = std::make_unique<Tfm_MainForm>();
        alarmWindow_ = std::make_unique<TFormAlarm>();
        FormAlarm = alarmWindow_.get();
    }

    // What start() writes first, for a test that must write it sooner.
    void writeConfiguration() { config_.write(dir_.path()); }

    void close()
    {
        FormAlarm = nullptr;
        alarmWindow_.reset();
        window_.reset();
    }

    const WorkDir& dir() const { return dir_; }
    Tfm_MainForm& window() const { return *window_; }
    TFormAlarm& alarmWindow() const { return *alarmWindow_; }

    // --- what a user does ---------------------------------------------------

    template <typename T>
    T& widget(const QString& name) const
    {
        return *::widget<T>(*window_, name);
    }

    // The controls a user acts on must be enabled: acting on a disabled one
    // would do nothing and prove nothing.
    void click(const char* button) const { enabled<QAbstractButton>(button).click(); }
    void type(const char* edit, const QString& text) const { enabled<QLineEdit>(edit).setText(text); }
    // A pick from the list, which tells the handlers as a user's pick does.
    void choose(const char* box, int item) const
    {
        QComboBox& combo = enabled<QComboBox>(box);
        combo.setCurrentIndex(item);
        emit combo.activated(item);
    }
    // Clicks with the mouse on a body row of a grid.
    void clickRow(const char* grid, int row) const
    {
        const auto [area, at] = rowPlace(grid, row);
        mouseClick(area, at);
    }
    void doubleClickRow(const char* grid, int row) const
    {
        const auto [area, at] = rowPlace(grid, row);
        mouseDoubleClick(area, at);
    }

    // A serial device typed into the editor and added with "添加".
    void addInEditor(const QString& name, int comPort = 0, const QString& address = QStringLiteral("1")) const
    {
        type("ed_MeterName", name);
        type("ed_MeterAddr", address);
        choose("cbo_CommMod", 0);
        choose("cboBox_MeterCommSerial", comPort);
        click("btn_MeterAdd");
    }

    // --- what the screen shows ----------------------------------------------

    QString text(const char* edit) const { return widget<QLineEdit>(edit).text(); }
    QString cell(const char* grid, int col, int row) const { return widget<StringGrid>(grid).Cells(col, row); }

    // The components the window makes in code.
    QTimer& timer() const { return widget<QTimer>("timer_PerSecond"); }
    QLabel& statusPanel(int i) const { return widget<QLabel>(QStringLiteral("statusBar_MainForm_Panel%1").arg(i)); }
    const GeneralView& overview() const { return widget<GeneralView>("GeneralViewControls"); }
    const GeneralViewPanel& panel(int g) const { return overview().panel(g); }
    QCheckBox& curveCheckBox(int g) const { return widget<QCheckBox>(QStringLiteral("chkBoxCurvesSelect%1").arg(g)); }
    // The curves' check boxes, in global channel order.
    QList<QCheckBox*> curveCheckBoxes() const
    {
        QList<QCheckBox*> boxes;
        for (QCheckBox* box : widget<QWidget>("scrBox_CurvesSelectListContents").findChildren<QCheckBox*>())
            if (box->objectName().startsWith(QLatin1String("chkBoxCurvesSelect")))
                boxes << box;
        return boxes;
    }

    // --- what the station writes --------------------------------------------

    std::string configFile() const { return readFileBytes(dir_.file("Config.dat")); }
    // The stored part of slot k of Config.dat, as the file holds it.
    MeterConfig savedDevice(int slot) const { return storedAt<MeterConfig>(configFile(), ConfigFile::slotOffset(slot)); }
    std::int32_t savedMeterCount() const { return storedAt<std::int32_t>(configFile(), ConfigFile::MeterCountOffset); }
    // The baud index saved for COM port + 1.
    std::int32_t savedPortBaud(int port) const
    {
        return storedAt<std::int32_t>(configFile(), ConfigFile::PortBaudTableOffset + 4 * port);
    }

    // --- for what is not a user ---------------------------------------------

    // One run of the one-second timer's handler, as its time-out runs it.
    void tick() const { window_->timer_PerSecondTimer(); }
    // The slot's run-time part, which the test writes in place of the
    // polling threads; they are stopped.
    MeterRecord& polled(int slot) const { return window_->pollingStandIn(slot); }

private:
    template <typename T>
    T& enabled(const QString& name) const
    {
        T& control = widget<T>(name);
        if (!control.isEnabled())
            throw std::logic_error(name.toStdString() + " is disabled");
        return control;
    }

    // Where a click on the body row lands: the middle of its first cell, in
    // the rows' area.
    std::pair<QWidget*, QPoint> rowPlace(const char* grid, int row) const
    {
        StringGrid& g = enabled<StringGrid>(grid);
        return {g.viewport(), cellCentre(g, 0, row)};
    }

    WorkDir dir_;
    StationConfig config_;
    std::unique_ptr<Tfm_MainForm> window_;
    std::unique_ptr<TFormAlarm> alarmWindow_;
};
