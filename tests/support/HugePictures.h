#pragma once
#include <QByteArray>

// Small picture files whose headers declare far more pixels than they hold,
// as a damaged or hostile file may: a decoder that trusts the header sets
// aside memory for the whole declared picture.

// A baseline JPEG of a few hundred bytes declaring width x height.
QByteArray jpegDeclaring(int width, int height);

// A run-length encoded 8-bit BMP declaring width x height whose data ends at
// once, which leaves every pixel at colour 0: a valid picture of any size.
QByteArray rleBmpDeclaring(int width, int height);
