#pragma once
#include <QList>
#include <QMainWindow>
#include <cstdint>
#include <memory>

#include "history/core/ChannelAliases.h"
#include "history/core/HistoryLoads.h"
#include "platform/ColorDialog.h"
#include "platform/FileDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace Ui {
class TForm1;
}

// The history program's main window: a chart of the curves of one history
// file, the controls that open the file and load a time range, and the
// channel alias editor. Its components keep the form's names (ui->Chart2);
// its handlers are public under the names the components' events give them,
// its state is private. Each topic's behaviour lives in a file of its own
// (Form1<Topic>.cpp).
class TForm1 : public QMainWindow {
    Q_OBJECT

public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    void FormCreate();

    // --- channel aliases ----------------------------------------------------
    void N2Click();
    void ComboBoxChNameChange();
    void btModChNameClick();
    void btModChNameExitClick();

    // --- loads --------------------------------------------------------------
    void but_open_histr_dataClick();
    void Button1Click();
    void Button_histr_nextClick();
    void Button_histr_backClick();
    // Every repaint of the chart wipes the crosshair.
    void Series65AfterDrawValues();

    // --- channel rows -------------------------------------------------------
    void CheckBox_all_histr_curveClick();
    void CheckBox_allhisrt_curveClick();

    // --- colours ------------------------------------------------------------
    void Combox_histrch_colorChange();
    void Pnl_histr_colorClick();
    void Panel_back_colorClick();

    // --- range, zoom and the time track bar ---------------------------------
    void but_mod_upClick();
    void Button11Click();
    void Button12Click();
    void but_unzoomClick();
    void tb_histr_timeChange();

    // --- crosshair read-out and print preview -------------------------------
    void Chart2MouseMove(int X, int Y);
    void Button5Click();

    // --- export -------------------------------------------------------------
    void Button_expro_histrClick();

protected:
    // The colour panels are labels: their clicks come through here.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::unique_ptr<Ui::TForm1> ui;
    void connectHandlers();
    void setupChart2();

    // Five panels of 500, 140, 50, 50 and 50 pixels in StatusBar1: the open
    // file's path in panel 0, the channels left out of a wide file in panel 1.
    static constexpr int StatusPanelCount = 5;
    QLabel* StatusPanels[StatusPanelCount] = {};

    // --- channel aliases ----------------------------------------------------
    // The working directory at start, where DevName.dat lives.
    QString StartDir;
    ChannelAliasTable ChannelAliases;
    QString AliasFilePath() const;

    // --- loads --------------------------------------------------------------
    TOpenDialog open_histr_data;
    HistoryLoads Loads;
    // The points the chart shows, shared with its series.
    std::shared_ptr<LoadColumns> loaded_;
    // Their memory, between a load's removing them and its reading anew.
    std::unique_ptr<ColumnBlock> spareColumns_;
    // 1 until the first open and while a load runs: the read-out under the
    // mouse must not look at the loaded points then.
    std::uint8_t Busy = 1;
    // The four loads' shared steps.
    enum class AfterDraw { EverySeries, FirstSeries };
    void openHistoryFile(const QString& path);
    void findRange(TDateTime start, TDateTime end);
    void loadPage(bool next);
    void replaceSeries(int count, bool titled, AfterDraw afterDraw);
    void progressSetUp(int maximum);
    // How every load ends, also one that read nothing: progress panel hidden, zoom undone.
    void endLoad();
    LoadOutcome readInto(HistoryFileReader& file, std::int64_t capacity, TDateTime start, const LoadStop& stop);
    void showWideFileNote(const HistoryFileReader& file);

    // --- channel rows -------------------------------------------------------
    // Made per open: for channel j, items 3j, 3j + 1 and 3j + 2 are its
    // check box, value edit and swatch. The list only points; the window
    // deletes them.
    QList<QWidget*> ChannelControls;
    // 1 = the channel's curve is shown; exports take only those.
    std::uint8_t ChannelShown[MaxShownChannels] = {};
    void BuildChannelRows(const HistoryFileHeader& header);
    void FreeChannelRows();
    // Channel row i's controls.
    int rowCount() const { return int(ChannelControls.size() / 3); }
    QCheckBox* rowCheckBox(int i) const;
    QLineEdit* rowValueEdit(int i) const;
    QWidget* rowSwatch(int i) const { return ChannelControls[3 * i + 2]; }

    // --- colours ------------------------------------------------------------
    TColorDialog ColorDialog1;
    // The channel chosen in Combox_histrch_color; -1 when none is, or when
    // the box holds text typed into it.
    int chosenColorChannel() const;

    // --- range, zoom and the time track bar ---------------------------------
    std::uint8_t TrackSyncGuard = 0;
    // The chart's zoom, undo and scroll bring the track bar in step.
    void SyncTimeTrackBar();

    // --- crosshair read-out -------------------------------------------------
    std::int32_t CrossX = -1;
    std::int32_t CrossY = -1;
    std::int32_t CrossColorMask = 255;
    std::uint8_t CrossPenStyle = 0;
    void DrawCrossHair(int x, int y);
    void showReadOut(double x, double y);
};
