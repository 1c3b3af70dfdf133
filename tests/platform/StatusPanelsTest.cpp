#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QStatusBar>

#include "platform/StatusPanels.h"
#include "support/GuiApp.h"

// The first panels keep their widths through a resize; the last one takes
// whatever the bar has left, so a long text in it shows whole.
TEST(StatusPanels, LastPanelReachesTheBarsEnd)
{
    ensureGuiApp();
    QMainWindow window;
    QStatusBar* bar = window.statusBar();
    bar->setSizeGripEnabled(false);
    const QList<QLabel*> panels = addStatusPanels(bar, {380, 50, 50});
    ASSERT_EQ(panels.size(), 3);
    panels[2]->setText("127.0.0.1 Connect Success, and a good deal more text than fits");

    for (const int width : {1034, 1920}) {
        window.resize(width, 400);
        window.show();
        QCoreApplication::processEvents();
        EXPECT_EQ(panels[0]->width(), 380) << width;
        EXPECT_EQ(panels[1]->width(), 50) << width;
        const int lastRight = panels[2]->geometry().right();
        EXPECT_GE(lastRight, bar->contentsRect().right() - bar->layout()->contentsMargins().right() - 4) << width;
        EXPECT_LE(lastRight, bar->width()) << width;
        EXPECT_EQ(window.width(), width) << "a long text must not widen the window";
    }
}
