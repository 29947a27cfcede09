#ifndef AXISTITLES_H
#define AXISTITLES_H

#include "chi/ftoptions.h"

#include <QCoreApplication>
#include <QString>

class ChCoord;
class QPainter;

// What a chi plot shows, in words on the plot: the axis titles with their
// units and, in chi(R), the transform and k weight the curves were made with.
// Units as the reference analysis programs give them: k in Å⁻¹, kⁿ·χ(k) in
// Å⁻ⁿ, R in Å, and the standard transform's χ(R) of weight n in Å⁻⁽ⁿ⁺¹⁾
// (dk·kⁿ·χ); the plain sums are numbers without a unit.
class AxisTitles
{
    Q_DECLARE_TR_FUNCTIONS(AxisTitles)
public:
    struct Titles
    {
        QString x;
        QString y;
        QString note; // empty: none
    };

    static Titles chiK(int kWeight);
    // abs, re, im: the components drawn; the transform of the drawn curves.
    static Titles chiR(const TransformArgs &t, bool abs, bool re, bool im);
    // "standard transform, k weight 2, Hanning window dk 1 Å⁻¹, k 3–16 Å⁻¹".
    static QString transformNote(const TransformArgs &t);
    // "Å⁻³": a power of the inverse Ångström in superscript digits.
    static QString inverseAngstrom(int power);

    // The y title above the plot's top left corner, the note above its top
    // right corner, the x title under the tick labels at the right end of the
    // x axis; in the margins, so no curve is covered.
    static void draw(QPainter *p, const ChCoord &c, const Titles &titles);
};

#endif
