#ifndef AXIS_H
#define AXIS_H

#include <QString>
#include <QVector>

// Tick step of the 1-2-5 kind for the range lo..hi (either order), the first
// tick at or above the lower end and the last at or below the upper end.
// A range that is empty, not finite, or too narrow for its step to move the
// tick values yields step 0, first 1, last 0: no ticks.
void axisTicks(double lo, double hi, double &step, double &first, double &last);
// The ticks of axisTicks, each made by adding step to the previous one,
// at most 100 of them.
QVector<double> axisTickValues(double lo, double hi);
// Label text of a y-axis value in about width characters.
QString axisNumber(double v, int width);
// floor(log10(|v|)); 0 for 0 and for values that are not finite.
int decadeOf(double v);
// Number of decimal digits of decadeOf(v), plus one.
int exponentWidth(double v);

#endif
