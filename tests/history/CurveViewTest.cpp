// The curve view: the channel rows' check boxes and "全选", the colours,
// "修改量程", the zoom buttons, the time track bar and the print preview.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QSlider>

#include "chart/Chart.h"
#include "history/Form1.h"
#include "history/PanelColor.h"
#include "platform/ColorDialog.h"
#include "platform/Conversions.h"
#include "support/HistoryDriver.h"
#include "support/ModalDialog.h"
#include "support/WindowDriver.h"

namespace {

const TDateTime Start = EncodeDateTime(2018, 10, 18, 9, 5, 0);

class CurveView : public testing::Test {
protected:
    void SetUp() override { w.open(path); }

    TForm1& form() { return w.form(); }
    // The names of the channels given, as an export heads its columns.
    static std::vector<QString> names(std::initializer_list<int> channels)
    {
        std::vector<QString> result;
        for (int j : channels)
            result.push_back(channelName(j));
        return result;
    }
    std::vector<bool> linesVisible()
    {
        std::vector<bool> visible;
        for (int i = 0; i < w.chart().seriesCount(); ++i)
            visible.push_back(w.chart().series(i).isLineVisible());
        return visible;
    }
    static void click(QWidget* panel)
    {
        const QPointF at(5, 5);
        QMouseEvent release(QEvent::MouseButtonRelease, at, panel->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(panel, &release);
    }

    HistoryDriver w;
    const std::string path = w.write("h.nx", {.start = Start, .channels = 4, .records = 1000});
};

// The red time and read-out labels stand in the chart's top margin, clear of
// the plot, from the smallest window the layout allows to a large screen.
TEST_F(CurveView, TimeLabelsSitAboveThePlotAtEveryWindowSize)
{
    form().show();
    for (const QSize size : {QSize(1, 1), QSize(761, 639), QSize(1920, 1080)}) {
        form().resize(size);
        QApplication::processEvents();
        const int plotTop = w.chart().plotRect().top();
        for (const QLabel* label : {widget<QLabel>(form(), "lb_histr_time"), widget<QLabel>(form(), "Label_histr_oncross")})
            EXPECT_LT(label->geometry().bottom(), plotTop)
                << label->objectName().toStdString() << " on a chart " << w.chart().height() << " high";
    }
}

// Unticking a row hides its curve's line only: the legend entry, the share
// in the axes and the value in the read-out stay. The export follows.
TEST_F(CurveView, RowCheckBoxesShowAndHideCurvesAndChooseExportedChannels)
{
    const QLineEdit* edit = w.rowValueEdit(0);
    EXPECT_EQ(edit->text(), QStringLiteral("0.0"));
    EXPECT_TRUE(edit->font().bold());
    EXPECT_EQ(edit->font().pointSize(), 10);
    EXPECT_EQ(edit->palette().color(QPalette::Text), QColor(0, 0, 255));
    EXPECT_EQ(w.rowSwatch(3)->geometry(), QRect(230, 28 + 22 * 3, 20, 20));

    w.rowCheckBox(2)->click();
    EXPECT_EQ(linesVisible(), (std::vector<bool>{true, true, false, true}));
    EXPECT_EQ(w.exportedChannels(), names({0, 1, 3}));
    EXPECT_TRUE(w.chart().series(2).isActive()) << "still in the legend and the axes";
    EXPECT_EQ(w.chart().series(2).count(), 1000);

    w.rowCheckBox(2)->click();
    EXPECT_EQ(linesVisible(), (std::vector<bool>(4, true)));
    EXPECT_EQ(w.exportedChannels(), names({0, 1, 2, 3}));

    // A new file's rows come ticked, and so its channels are exported.
    w.rowCheckBox(1)->click();
    w.open(w.write("other.nx", {.start = Start, .channels = 4, .records = 5}));
    EXPECT_TRUE(w.rowCheckBox(1)->isChecked());
    EXPECT_EQ(w.exportedChannels(), names({0, 1, 2, 3}));
}

TEST_F(CurveView, SelectAllTicksEveryRow)
{
    widget<QCheckBox>(form(), "CheckBox_allhisrt_curve")->click();
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(w.rowCheckBox(i)->isChecked());
    EXPECT_EQ(linesVisible(), (std::vector<bool>(4, false)));
    EXPECT_EQ(w.exportedChannels(), names({}));

    w.rowCheckBox(3)->click();
    EXPECT_FALSE(widget<QCheckBox>(form(), "CheckBox_allhisrt_curve")->isChecked()) << "a row leaves the select-all box alone";
    widget<QCheckBox>(form(), "CheckBox_allhisrt_curve")->click();
    EXPECT_EQ(linesVisible(), (std::vector<bool>(4, true)));
    EXPECT_EQ(w.exportedChannels(), names({0, 1, 2, 3}));
}

// One colour dialog recolours the chosen channel and the background and
// opens on the colour chosen last; a find keeps a channel's colour, an open
// gives the chart's own back.
TEST_F(CurveView, ColourDialogRecoloursTheChosenChannelAndTheBackground)
{
    pick(widget<QComboBox>(form(), "Combox_histrch_color"), 1);
    EXPECT_EQ(panelColor(widget<QLabel>(form(), "Pnl_histr_color")), w.chart().series(1).color());

    const QColor teal(0, 128, 128), grey(200, 200, 200), pink(255, 192, 203);
    {
        ColorDialogAnswers answers{teal, grey, QColor(), pink};
        click(widget<QLabel>(form(), "Pnl_histr_color"));
        EXPECT_EQ(panelColor(widget<QLabel>(form(), "Pnl_histr_color")), teal);
        EXPECT_EQ(w.chart().series(1).color(), teal);
        EXPECT_EQ(panelColor(w.rowSwatch(1)), teal);

        click(widget<QLabel>(form(), "Panel_back_color"));
        EXPECT_EQ(w.chart().backColor(), grey);
        EXPECT_EQ(panelColor(widget<QLabel>(form(), "Panel_back_color")), grey);

        click(widget<QLabel>(form(), "Panel_back_color"));  // cancelled
        EXPECT_EQ(w.chart().backColor(), grey);
        EXPECT_EQ(answers.asked(), 3);

        // Typed text chooses no channel: only the panel takes the colour.
        widget<QComboBox>(form(), "Combox_histrch_color")->setEditText(QStringLiteral("锅炉"));
        click(widget<QLabel>(form(), "Pnl_histr_color"));
        EXPECT_EQ(panelColor(widget<QLabel>(form(), "Pnl_histr_color")), pink);
        EXPECT_EQ(w.chart().series(1).color(), teal);
    }
    // Qt's own dialog, not answered by the test, opens on the colour chosen last.
    QColor openedOn;
    whenShown<QColorDialog>([&](QColorDialog& dialog) {
        openedOn = dialog.currentColor();
        dialog.reject();
    });
    click(widget<QLabel>(form(), "Panel_back_color"));
    EXPECT_EQ(openedOn, pink);
    EXPECT_EQ(w.chart().backColor(), grey);

    w.find(Start, Start + 10 * 60 / SecondsPerDay);
    EXPECT_EQ(w.chart().series(1).color(), teal);
    w.open(path);
    EXPECT_NE(w.chart().series(1).color(), teal);
    EXPECT_EQ(panelColor(w.rowSwatch(1)), w.chart().series(1).color());
}

struct RangeCase {
    const char* lower;
    const char* upper;
    const char* message;  // nullptr: none
    double minimum, maximum;
};

// The axis never has its minimum above its maximum on the way: an end that
// passed the other would be refused.
TEST_F(CurveView, RangeButtonSetsTheLeftAxisInAnOrderThatKeepsItWhole)
{
    const std::vector<RangeCase> cases = {
        {"100", "1000", nullptr, 100, 1000},
        {"100", "100", "上限要大于下限！", 100, 1000},
        {"-50", "50", nullptr, -50, 50},
        {"200", "900", nullptr, 200, 900},
        {"1200", "1300", nullptr, 1200, 1300},
        {"0.1", "0.2", nullptr, double(0.1f), double(0.2f)},
    };
    for (const RangeCase& c : cases) {
        w.boxes.clear();
        widget<QLineEdit>(form(), "ME_histr_down")->setText(QString::fromUtf8(c.lower));
        widget<QLineEdit>(form(), "ME_histr_up")->setText(QString::fromUtf8(c.upper));
        form().but_mod_upClick();
        EXPECT_EQ(w.boxes.texts(), c.message ? std::vector<QString>{QString::fromUtf8(c.message)} : std::vector<QString>{})
            << c.lower << " " << c.upper;
        EXPECT_EQ(w.chart().leftAxis().minimum(), c.minimum) << c.lower << " " << c.upper;
        EXPECT_EQ(w.chart().leftAxis().maximum(), c.maximum) << c.lower << " " << c.upper;
    }
    for (const char* upper : {"abc", "1e39"}) {
        widget<QLineEdit>(form(), "ME_histr_up")->setText(QString::fromUtf8(upper));
        EXPECT_THROW(form().but_mod_upClick(), EConvertError) << upper;
        EXPECT_EQ(w.chart().leftAxis().maximum(), double(0.2f));
    }
}

// 1000 points at X 0 to 999: the track bar follows a zoom, moves the window
// by percent of the data and is disabled by an undone zoom.
TEST_F(CurveView, ZoomButtonsAndTheTimeTrackBar)
{
    ChartAxis& bottom = w.chart().bottomAxis();
    EXPECT_FALSE(widget<QSlider>(form(), "tb_histr_time")->isEnabled()) << "the open undid the zoom";
    widget<QPushButton>(form(), "Button11")->click();
    EXPECT_TRUE(widget<QSlider>(form(), "tb_histr_time")->isEnabled());
    EXPECT_DOUBLE_EQ(bottom.minimum(), 0.15 * 999);
    EXPECT_EQ(widget<QSlider>(form(), "tb_histr_time")->value(), 15);

    widget<QSlider>(form(), "tb_histr_time")->setValue(50);
    EXPECT_DOUBLE_EQ(bottom.minimum(), 499.5);
    EXPECT_DOUBLE_EQ(bottom.maximum() - bottom.minimum(), 0.7 * 999);
    widget<QSlider>(form(), "tb_histr_time")->setValue(10);
    EXPECT_DOUBLE_EQ(bottom.minimum(), 99.9) << "moving left sets the minimum first";

    widget<QPushButton>(form(), "but_unzoom")->click();
    EXPECT_FALSE(widget<QSlider>(form(), "tb_histr_time")->isEnabled());
    EXPECT_TRUE(bottom.isAutomatic());
    EXPECT_EQ(bottom.maximum(), 999);

    widget<QPushButton>(form(), "Button11")->click();
    widget<QPushButton>(form(), "Button12")->click();
    EXPECT_DOUBLE_EQ(bottom.maximum() - bottom.minimum(), 0.91 * 999);
    EXPECT_DOUBLE_EQ(bottom.maximum() + bottom.minimum(), 999);
    EXPECT_DOUBLE_EQ(w.chart().leftAxis().maximum() - w.chart().leftAxis().minimum(), 910);
    EXPECT_EQ(widget<QSlider>(form(), "tb_histr_time")->value(), 4);
}

// The bar is enabled before any file; moving it then must not pin the time
// axis to the empty chart's range.
TEST(TimeTrackBar, BeforeAnyFileMovesNothing)
{
    HistoryDriver w;
    ASSERT_TRUE(widget<QSlider>(w.form(), "tb_histr_time")->isEnabled());
    widget<QSlider>(w.form(), "tb_histr_time")->setValue(60);
    EXPECT_TRUE(w.chart().bottomAxis().isAutomatic());
    w.open(w.write("h.nx", {.records = 50}));
    EXPECT_EQ(w.chart().bottomAxis().maximum(), 49);
}

TEST_F(CurveView, PrintPreviewPrintsWithoutMargins)
{
    bool shown = false;
    whenShown<QPrintPreviewDialog>([&](QPrintPreviewDialog& dialog) {
        shown = true;
        dialog.reject();
    });
    widget<QPushButton>(form(), "Button5")->click();
    EXPECT_TRUE(shown);
    const QRect page(0, 0, 1000, 700);
    EXPECT_EQ(w.chart().printArea(page), page);
}

} // namespace
