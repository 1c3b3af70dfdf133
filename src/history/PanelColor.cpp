#include "history/PanelColor.h"

#include <QWidget>

void setPanelColor(QWidget* panel, const QColor& color)
{
    QPalette palette = panel->palette();
    palette.setColor(QPalette::Window, color);
    panel->setPalette(palette);
    panel->setAutoFillBackground(true);
}

QColor panelColor(const QWidget* panel)
{
    return panel->palette().color(QPalette::Window);
}
