#pragma once
#include <QList>

class QLabel;
class QStatusBar;

// Sunken text panels along a status bar, one per width given, left to right.
// Every panel keeps its width but the last, which reaches to the bar's right
// end, as status bars on the desktop the programs come from do. Panel i of
// bar "StatusBar1" is named "StatusBar1.Panels[i]".
QList<QLabel*> addStatusPanels(QStatusBar* bar, const QList<int>& widths);
