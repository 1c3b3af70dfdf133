#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <qcustomplot.h>

#include "HistoryFiles.h"
#include "history/AboutBox.h"
#include "history/Form1.h"
#include "history/PanelColor.h"
#include "platform/MessageBox.h"
#include "support/FileBytes.h"
#include "support/GuiApp.h"
#include "support/WorkDir.h"

namespace {

class Form1Start : public testing::Test {
protected:
    void SetUp() override { ensureGuiApp(); }
    WorkDir dir;
};

TEST_F(Form1Start, WindowStartsEmptyWithItsControlsInPlace)
{
    TForm1 form;
    form.resize(1920, 1080);
    form.show();
    QApplication::processEvents();
    form.grab().save("/tmp/i13/form.png");
    form.grab(QRect(0, 0, 700, 500)).save("/tmp/i13/crop.png");
    auto* plot = form.Chart2->findChild<QCustomPlot*>();
    for (int i = 0; i < plot->plotLayout()->elementCount(); ++i) if (plot->plotLayout()->elementAt(i)) qDebug() << i << plot->plotLayout()->elementAt(i)->outerRect() << plot->plotLayout()->elementAt(i)->maximumOuterSizeHint() << plot->plotLayout()->elementAt(i)->maximumSize();
    qDebug() << form.Chart2->plotRect() << form.Chart2->geometry() << form.ScrollBox_hisrt_color->geometry();
}

} // namespace
