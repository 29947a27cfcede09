#ifndef CHIAVERAGE_H
#define CHIAVERAGE_H

#include <QString>
#include <QStringList>
#include <QVector>

class Chi;

// The weighted average of several chi(k) curves, as for a spectrum averaged
// over the inequivalent sites of an absorber:
//   chi(k) = sum of w_s * chi_s(k) / sum of w_s
// on the k grid of the first curve.
class ChiAverage
{
public:
    struct Part
    {
        const Chi *chi = nullptr;
        double weight = 0; // e.g. the atoms a site holds in the unit cell
    };

    struct Result
    {
        bool ok = false;
        // Some curve was not on the first curve's grid and was interpolated
        // linearly onto it; the grid was then cut to the k range all curves
        // cover.
        bool interpolated = false;
        QString error; // why not ok
    };

    // Replaces the chi(k) data of `out` by the average (its chi(R) data is
    // cleared). Fails, leaving `out` without chi(k) data, when there is no
    // part, a part has no chi(k) data, a weight is not a positive number, or
    // the curves share no k range.
    static Result average(const QVector<Part> &parts, Chi &out);

    // Writes the chi(k) of `chi` in the two columns "k chi" that the chi(k)
    // reader takes, after "#" header lines holding the comments, whole or
    // not at all. Empty on success, otherwise the reason it was not written.
    static QString writeChiK(const Chi &chi, const QString &path, const QStringList &comments);
};

#endif
