#pragma once

// The point that the crosshair's read-out shows for chart value x, over a
// load of `points` records whose X values span minX to maxX, whatever the
// zoom: the share of the span times the points, the last X itself counting
// as the last point. -1 where x lies outside the span or the span is empty.
int readOutIndex(double x, double minX, double maxX, int points);
