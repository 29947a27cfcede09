#ifndef CHI_H
#define CHI_H

#include "chi/chiformat.h"
#include "chi/ftoptions.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVector>

// Smallest and largest value seen; the empty extent is (1e300, -1e300) so
// that the first value widens both ends.
struct Extent
{
    double min = 1e300;
    double max = -1e300;
};

// One chi(k) curve as read from a FEFF result file and the chi(R) computed
// from it. k in 1/Angstrom, r in Angstrom.
class Chi : public QObject
{
    Q_OBJECT
public:
    explicit Chi(QObject *parent = nullptr);

    void reset();
    void clearChiK();
    void clearChiR();
    // Replaces all data by the curve of the file; hasChiK tells the outcome.
    void readChiK(const QString &path);
    // Replaces all data by the given points (k and chi of one size, non-empty
    // for data), computed rather than read; path names where they come from.
    void setChiK(const QVector<double> &kValues, const QVector<double> &chiValues,
                 const QString &path);
    // chi(R) from the chi(k) points with kMin <= k <= kMax on the grid
    // R = rMin, rMin + rDelta, ... (step added to the running value) up to
    // rMax. Points with a non-finite k or chi are left out (and reported on
    // log); unusable settings or a grid of more than maxGridPoints give an
    // empty grid and a log line. Does nothing without chi(k) data.
    void transform(double kMin, double kMax, double rMin, double rMax, double rDelta);
    // The same with the options of args.ft: the plain sums above, or the
    // standard transform (StandardTransform), whose k range is the window's
    // support kMin - dk/2 to kMax + dk/2. args is kept in `transformed`.
    void transform(const TransformArgs &args);
    // Writes chiR.dat whole or not at all; empty on success, otherwise the
    // reason it was not written.
    QString writeChiR(const QString &path, const QStringList &comments) const;

    // Why the chi(k) data cannot give a chi(R) over kMin <= k <= kMax: a
    // value that is not a finite number, a chi(k) beyond +-maxChi, or fewer
    // than minPoints points in the range. Empty when they can (or when there is no chi(k) data).
    // Untranslated: it goes into the batch run's result lines as well.
    QString unusableReason(double kMin, double kMax) const;
    static constexpr int minPoints = 10;
    // Far beyond any chi(k), small enough that the transform's sums stay
    // finite.
    static constexpr double maxChi = 1e6;

    // Widens [min, max] to value; a NaN value changes neither.
    static void updateExtent(double value, double &min, double &max)
    {
        if (min > value)
            min = value;
        if (value > max)
            max = value;
    }

    // Largest R grid transform computes (32 bytes per point and the sums).
    static constexpr int maxGridPoints = 1000000;

    bool hasChiK = false;
    QVector<double> k;
    QVector<double> chi;
    Extent kExtent;
    Extent chiExtent;
    bool hasChiR = false;
    QVector<double> r;
    QVector<double> chiRAbs;
    QVector<double> chiRRe;
    QVector<double> chiRIm;
    Extent rExtent;
    Extent chiRAbsExtent;
    TransformArgs transformed; // of the last transform
    // Different after every transform of any Chi: tells a cache whether a
    // curve it made from this one (at this address) is still current.
    quint64 generation = 0;
    QString sourcePath;

signals:
    void log(QString msg);

private:
    void appendPoint(double kValue, double chiValue);
    bool usableSettings(double kMin, double kMax, double rMin, double rMax, double rDelta);
    bool buildGrid(double rMin, double rMax, double rDelta);
    void sumGrid(const TransformArgs &args);
};

#endif
