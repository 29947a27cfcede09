#ifndef PATHREFERENCE_H
#define PATHREFERENCE_H

#include <QFile>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <cmath>

// Reading the reference library's chi(k) of single paths, NAME.chi.txt of
// tests/fit/data/path_chi_reference.py: a "# set NAME s02 de0 sigma2 deltar
// third ei" line per parameter set, then rows of k and one chi per set.

// Rows of whitespace-separated numbers with the given column count; other
// lines (headers, comments) are skipped.
inline QVector<QVector<double>> numberRows(const QByteArray &text, int columns)
{
    QVector<QVector<double>> rows;
    for (const QByteArray &line : text.split('\n')) {
        const QList<QByteArray> words = line.simplified().split(' ');
        QVector<double> row;
        bool ok = words.size() == columns;
        for (int i = 0; ok && i < columns; ++i)
            row << words[i].toDouble(&ok);
        if (ok)
            rows << row;
    }
    return rows;
}

struct PathReference
{
    QStringList names;
    QVector<QVector<double>> parameters; // s02 de0 sigma2 deltar third ei
    QVector<double> k;
    QVector<QVector<double>> chi; // per set

    bool read(const QString &fileName)
    {
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray text = file.readAll();
        for (const QByteArray &line : text.split('\n')) {
            const QList<QByteArray> w = line.simplified().split(' ');
            if (w.size() == 9 && w[0] == "#" && w[1] == "set") {
                names << QString::fromLatin1(w[2]);
                parameters << QVector<double>{w[3].toDouble(), w[4].toDouble(), w[5].toDouble(),
                                              w[6].toDouble(), w[7].toDouble(), w[8].toDouble()};
            }
        }
        chi.resize(names.size());
        for (const QVector<double> &row : numberRows(text, names.size() + 1)) {
            k << row[0];
            for (int s = 0; s < names.size(); ++s)
                chi[s] << row[s + 1];
        }
        return !k.isEmpty();
    }
};

inline double largestMagnitude(const QVector<double> &values)
{
    double largest = 0.0;
    for (double v : values)
        largest = std::max(largest, std::fabs(v));
    return largest;
}

// Largest |a - b| over the points of b, relative to scale.
inline double deviation(const QVector<double> &a, const QVector<double> &b, double scale)
{
    double worst = 0.0;
    for (int i = 0; i < b.size(); ++i)
        worst = std::max(worst, std::fabs(a.value(i, qQNaN()) - b[i]));
    return std::isnan(worst) ? qInf() : worst / scale;
}

#endif
