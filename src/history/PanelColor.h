#pragma once
#include <QColor>

class QWidget;

// The colour of a panel or swatch: its background, painted whole.
void setPanelColor(QWidget* panel, const QColor& color);
QColor panelColor(const QWidget* panel);
