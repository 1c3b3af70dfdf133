#pragma once
// Clicks of the left mouse button on a string grid, delivered as the window
// system delivers them: to the rows' area or to the heading row.
#include <QApplication>
#include <QHeaderView>
#include <QMouseEvent>

#include "station/StringGrid.h"

inline void sendMouse(QWidget* target, QEvent::Type type, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, target->mapToGlobal(at), Qt::LeftButton, held, keys);
    QApplication::sendEvent(target, &event);
}

inline void mouseClick(QWidget* target, QPoint at, Qt::KeyboardModifiers keys = Qt::NoModifier)
{
    sendMouse(target, QEvent::MouseButtonPress, at, keys);
    sendMouse(target, QEvent::MouseButtonRelease, at, keys);
}

inline void mouseDoubleClick(QWidget* target, QPoint at)
{
    mouseClick(target, at);
    sendMouse(target, QEvent::MouseButtonDblClick, at);
    sendMouse(target, QEvent::MouseButtonRelease, at);
}

// The middle of a body cell, in the rows' area (the viewport).
inline QPoint cellCentre(const StringGrid& grid, int col, int row)
{
    return grid.visualRect(grid.model()->index(row - 1, col)).center();
}

// A point in the grid's blank area, under its last row.
inline QPoint belowTheRows(const StringGrid& grid)
{
    const int last = grid.rowCount() - 1;
    return {5, grid.rowViewportPosition(last) + grid.rowHeight(last) + 5};
}

inline QPoint inTheHeadingRow()
{
    return {5, 5};
}
