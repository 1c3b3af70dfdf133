#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <csignal>

#include "platform/StopSignals.h"
#include "support/GuiApp.h"

namespace {

// Each test ends its loops only through SIGTERM; should that fail, a late
// timer ends them another way, so that the test fails instead of hanging.
constexpr int GiveUpMs = 10000;

void raiseStopSignal()
{
    QTimer::singleShot(0, [] { std::raise(SIGTERM); });
}

TEST(StopSignals, EndTheMessageLoopFromAModalDialog)
{
    ensureGuiApp();
    quitOnStopSignals();
    QWidget window;
    window.show();
    QTimer::singleShot(0, [&window] {
        QDialog dialog(&window);
        raiseStopSignal();
        dialog.exec();
    });
    QTimer::singleShot(GiveUpMs, [] { QCoreApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
}

// A dialog shown before the message loop runs (a start-up error) has no
// message loop to quit.
TEST(StopSignals, EndADialogShownBeforeTheMessageLoop)
{
    ensureGuiApp();
    quitOnStopSignals();
    QDialog dialog;
    raiseStopSignal();
    QTimer::singleShot(GiveUpMs, &dialog, &QDialog::accept);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}

}  // namespace
