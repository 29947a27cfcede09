#ifndef MEASUREDCHI_H
#define MEASUREDCHI_H

#include <QCoreApplication>
#include <QString>

class Chi;

// Reads a measured chi(k) curve as the field's processing programs export
// it: "#" comment lines, then white-space separated columns with k in 1/A in
// the first and chi(k) in the second. When the last comment line before the
// data names the columns ("# k chik2 ...") and calls the second one chik,
// chik2 or chik3, the values are k-weighted and are divided by k, k^2 or k^3
// (points at k = 0 are then left out). Lines whose first two fields are not
// finite numbers are passed over; CRLF line ends and blank lines are fine.
// A file of mu(E) (energies in the first column) is refused.
class MeasuredChi
{
    Q_DECLARE_TR_FUNCTIONS(MeasuredChi)
public:
    // Fills chi (k, chi, extents, sourcePath; no chi(R)) and returns an empty
    // text, or leaves chi without data and returns the one log line that
    // says why the file was refused.
    static QString read(const QString &path, Chi &chi);
    // The same, then refused (chi left without data, the one log line
    // returned) unless the curve can stand for a measurement over
    // kMin <= k <= kMax: k increasing from point to point, chi(k) not zero
    // everywhere and nowhere beyond +-Chi::maxChi (after the division by a
    // power of k), and at least Chi::minPoints points in the range.
    static QString read(const QString &path, Chi &chi, double kMin, double kMax);

    // The power of k the second column carries according to a column line
    // (the comment line's text without its "#"), whatever the first column
    // is called: 1 to 3, 0 when unweighted or when the line names no columns.
    static int columnWeight(const QString &columnLine);

    // k of measured chi(k) ends near 20 1/A; a first column beyond this holds
    // the energies of mu(E) (thousands of eV), and the file is refused.
    static constexpr double largestK = 50.0;
};

#endif
