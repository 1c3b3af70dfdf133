#include "platform/StatusPanels.h"

#include <QLabel>
#include <QStatusBar>

QList<QLabel*> addStatusPanels(QStatusBar* bar, const QList<int>& widths)
{
    QList<QLabel*> panels;
    for (qsizetype i = 0; i < widths.size(); ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("%1.Panels[%2]").arg(bar->objectName()).arg(i));
        panel->setFrameShape(QFrame::Panel);
        panel->setFrameShadow(QFrame::Sunken);
        const bool last = i == widths.size() - 1;
        if (last) {
            panel->setMinimumWidth(widths[i]);
            // A long text must not widen the window; the panel takes the room left.
            panel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
        } else {
            panel->setFixedWidth(widths[i]);
        }
        bar->addWidget(panel, last ? 1 : 0);
        panels.append(panel);
    }
    return panels;
}
