#pragma once
#include <QImage>
#include <QRgb>
#include <vector>

#include "chart/ColumnPoints.h"
#include "chart/PointBuffer.h"

// One series to draw: its points joined by straight lines. They come from
// column when it is set, else from points.
struct CurveRun {
    const PointBuffer* points = nullptr;
    QRgb color = 0xFF000000;  // drawn opaque
    int penWidth = 1;
    const ColumnPoints* column = nullptr;
};

// The value window shown on the image: X from xMin at the left column to xMax
// at the right one, Y from yMin at the bottom row to yMax at the top one.
struct CurveWindow {
    double xMin = 0, xMax = 1;
    double yMin = 0, yMax = 1;
};

// Draws lines straight into the pixels of an ARGB32 premultiplied image, in
// series order, clipped to the image and without antialiasing. Each column
// gets the span of rows that the line covers there, so a series costs about
// one span per column whatever its point count; wider pens widen each span.
// A column's points that share a pixel column are taken as their minimum and
// maximum in one pass over the floats.
// Large charts are split into column bands drawn side by side on a few
// threads; a pixel is always written by one band, in series order.
void rasterizeCurves(QImage& image, const std::vector<CurveRun>& runs, const CurveWindow& window);
