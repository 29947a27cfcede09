#ifndef CHI_H
#define CHI_H

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
    void transform(double kMin, double kMax, double rMin, double rMax, double rDelta);
    void writeChiR(const QString &path, const QStringList &comments) const;

    static void updateExtent(double value, double &min, double &max);

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
    QString sourcePath;

signals:
    void log(QString msg);
};

// Number formatting of the chi(R) file.
QString formatSci(double value, int width);
QString padText(const QString &text, int width, bool alignRight);
QString spaces(int n);

#endif
