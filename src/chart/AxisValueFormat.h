#pragma once
#include <QString>

// A value as the vertical axis writes its labels: thousands grouped with
// commas and at most three decimals, trailing zeros dropped ("#,##0.###").
QString formatAxisValue(double value);
