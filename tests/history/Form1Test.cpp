#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>

#include "chart/Chart.h"
#include "history/AboutBox.h"
#include "history/Form1.h"
#include "history/PanelColor.h"
#include "support/FileBytes.h"
#include "support/GuiApp.h"
#include "support/HistoryDriver.h"
#include "support/ModalDialog.h"
#include "support/WindowDriver.h"

namespace {

// The window as it starts: nothing loaded, the crosshair off, find, export
// and "全选" disabled, the paging controls, the progress panel and the alias
// editor hidden, DevName.dat made as a table of zeros.
TEST(Form1Start, WindowStartsEmptyWithItsControlsInPlace)
{
    HistoryDriver w;
    TForm1& form = w.form();
    w.show(QSize(1920, 1080));

    EXPECT_EQ(form.windowTitle(), QStringLiteral("历史数据分析软件"));
    EXPECT_EQ(readFileBytes(w.dir.file("DevName.dat")), std::string(10240, '\0'));
    EXPECT_FALSE(w.crossHairFollowsMouse());
    EXPECT_FALSE(widget<QPushButton>(form, "Button1")->isEnabled());
    EXPECT_FALSE(widget<QPushButton>(form, "Button_expro_histr")->isEnabled());
    EXPECT_FALSE(widget<QCheckBox>(form, "CheckBox_allhisrt_curve")->isEnabled());
    EXPECT_TRUE(widget<QCheckBox>(form, "CheckBox_allhisrt_curve")->isChecked());
    for (QWidget* hidden : std::initializer_list<QWidget*>{widget<QLabel>(form, "Label_histr_pagecount"), widget<QPushButton>(form, "Button_histr_back"),
                                                           widget<QPushButton>(form, "Button_histr_next"), widget<QFrame>(form, "Panel_histread_progress"), widget<QFrame>(form, "Panel1")})
        EXPECT_FALSE(hidden->isVisible()) << hidden->objectName().toStdString();
    EXPECT_EQ(widget<QComboBox>(form, "Combox_histrch_color")->currentText(), QStringLiteral("Combox_histrch_color"));
    EXPECT_EQ(widget<QProgressBar>(form, "CGauge1")->maximum(), 1000);
    EXPECT_EQ(widget<QLineEdit>(form, "MaskEditChName")->maxLength(), 22);
    EXPECT_EQ(panelColor(widget<QLabel>(form, "Panel_back_color")), QColor(Qt::white));
    EXPECT_EQ(w.chart().backColor(), QColor(Qt::white));
    EXPECT_EQ(w.chart().title(), QStringLiteral("历史曲线"));
    EXPECT_EQ(w.chart().leftAxis().minimum(), 0);
    EXPECT_EQ(w.chart().leftAxis().maximum(), 1000);
    EXPECT_EQ(w.chart().seriesCount(), 0);
    EXPECT_GT(w.chart().plotRect().width(), w.chart().width() / 2) << "an empty legend takes no room";
    EXPECT_EQ(widget<QScrollArea>(form, "ScrollBox_hisrt_color")->height(), 264);

    const QList<QAction*> menu = widget<QMenuBar>(form, "MainMenu1")->actions();
    ASSERT_EQ(menu.size(), 1);
    EXPECT_EQ(menu[0]->text(), QStringLiteral("系统"));
    ASSERT_EQ(menu[0]->menu()->actions().size(), 1);
    EXPECT_EQ(menu[0]->menu()->actions()[0]->text(), QStringLiteral("修改设备别名"));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(w.statusPanel(i)->width(), (std::array{500, 140, 50, 50})[std::size_t(i)]);

    // The open dialog, not answered by the test, is Qt's own.
    QStringList openFilters;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        openFilters = dialog.nameFilters();
        dialog.reject();
    });
    widget<QPushButton>(form, "but_open_histr_data")->click();
    EXPECT_EQ(openFilters, QStringList{QStringLiteral("历史数据 (*.nx)")});
}

TEST(Form1Start, AboutBoxClosesWithOk)
{
    ensureGuiApp();
    TAboutBox about;
    about.show();
    widget<QPushButton>(about, "OKButton")->click();
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
    EXPECT_TRUE(widget<QLabel>(about, "Version")->text().startsWith(QStringLiteral("版本：0.1.5")));
}

} // namespace
