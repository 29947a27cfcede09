#ifndef CHIFORMAT_H
#define CHIFORMAT_H

#include <QString>

// Number and column formatting of the chi(R) file.

// printf "%e" as QString::asprintf does it ("1.234560e+00", "inf", "nan"),
// with a blank in front unless it starts with "-", then filled with blanks
// to width. Longer text is never cut.
QString formatSci(double value, int width);
// text filled with blanks (after it, or before it when alignRight) or cut to
// exactly width characters; a cut keeps the first characters, or the last
// ones when alignRight.
QString padText(const QString &text, int width, bool alignRight);
// n blanks; none for n <= 0.
QString spaces(int n);

#endif
