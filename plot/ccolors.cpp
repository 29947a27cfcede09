#include "plot/ccolors.h"

namespace {

// Moves two thirds of the way toward B where B is brighter, keeps A where A
// is at least as bright.
int blendChannel(int a, int b)
{
    return a >= b ? a : (a + 2 * b) / 3;
}

QColor blend(const QColor &a, const QColor &b)
{
    int r = blendChannel(a.red(), b.red());
    int g = blendChannel(a.green(), b.green());
    int bl = blendChannel(a.blue(), b.blue());
    // Too pale to read on white: darken, green most.
    if (r + g + bl >= 501) {
        r = int(0.8 * r);
        g = int(0.6 * g);
        bl = int(0.8 * bl);
    }
    return QColor(r, g, bl);
}

} // namespace

CColors::CColors() : CColors(40) {}

CColors::CColors(int n) : CColors(baseColors(), n) {}

CColors::CColors(const QVector<QColor> &base, int n) : colors(base)
{
    extendTo(n);
}

QVector<QColor> CColors::baseColors()
{
    return {QColor(0, 0, 0),       QColor(255, 0, 0),     QColor(0, 0, 255),
            QColor(120, 220, 120), QColor(200, 200, 0),   QColor(240, 0, 240),
            QColor(0, 240, 240),   QColor(160, 0, 0),     QColor(0, 160, 0),
            QColor(0, 0, 160),     QColor(255, 160, 160), QColor(160, 160, 160),
            QColor(120, 220, 120), QColor(160, 160, 255), QColor(240, 160, 0)};
}

// Each pass blends every entry with the one before it (the first with the
// last) and appends the blends, until n entries exist.
void CColors::extendTo(int n)
{
    while (!colors.isEmpty() && colors.size() < n) {
        const int m = colors.size();
        for (int k = 1; k <= m && colors.size() < n; ++k)
            colors.append(blend(colors[k % m], colors[k - 1]));
    }
}
