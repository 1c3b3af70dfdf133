#pragma once
#include <QList>
#include <QMainWindow>
#include <cstdint>
#include <memory>

#include "history/ChannelAliases.h"
#include "history/HistoryLoads.h"
#include "platform/FileDialog.h"
#include "ui_Form1.h"

class QLabel;

// The history program's main window: a chart of the curves of one history
// file, the controls that open the file and load a time range, and the
// channel alias editor. Its components are members under their own names;
// each topic's behaviour lives in a file of its own (Form1<Topic>.cpp).
class TForm1 : public QMainWindow, public Ui::TForm1 {
    Q_OBJECT
public:
    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Five panels of 500, 140, 50, 50 and 50 pixels in StatusBar1: the open
    // file's path in panel 0, the channels left out of a wide file in panel 1.
    static constexpr int StatusPanelCount = 5;
    QLabel* StatusPanels[StatusPanelCount] = {};
    TOpenDialog open_histr_data;

    // The run-time controls of the channel rows, three per channel in channel
    // order: check box, value edit, colour swatch. The window owns them.
    QList<QWidget*> ChannelControls;
    std::uint8_t TrackSyncGuard = 0;
    std::int32_t CrossX = -1;
    std::int32_t CrossY = -1;
    std::int32_t CrossColorMask = 255;
    std::uint8_t CrossPenStyle = 0;
    // 1 until the first open and while a load runs: the read-out under the
    // mouse must not look at the loaded points then.
    std::uint8_t Busy = 1;

    // The program's state: one window per program, so it lives here.
    QString StartDir;
    ChannelAliasTable ChannelAliases;
    // 1 = the channel's curve is shown; exports take only those.
    std::uint8_t ChannelShown[MaxShownChannels] = {};
    HistoryLoads Loads;

    void FormCreate();

    // --- channel aliases ----------------------------------------------------
    QString AliasFilePath() const;
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
    void BuildChannelRows(const HistoryFileHeader& header);
    void FreeChannelRows();

private:
    void connectHandlers();
    void setupChart2();

    // The four loads' shared steps.
    enum class AfterDraw { EverySeries, FirstSeries };
    bool openForLoad(HistoryFileReader& file, const std::string& path);
    void openHistoryFile(const QString& path);
    void findRange(TDateTime start, TDateTime end);
    void loadPage(bool next);
    void replaceSeries(int count, bool titled, AfterDraw afterDraw);
    void progressSetUp(int maximum);
    LoadOutcome readInto(HistoryFileReader& file, std::int64_t capacity, TDateTime start, const LoadStop& stop);
    void showWideFileNote(const HistoryFileReader& file);

    // The points the chart shows, shared with its series.
    std::shared_ptr<const LoadColumns> loaded_;
};
