#include "chi/rankingtable.h"

#include "app/textfuncs.h"
#include "chi/resultfile.h"

#include <QDir>
#include <QStringList>

#include <algorithm>
#include <cmath>

void RankingTable::add(const QString &job, const QString &input, const AgreementFigures &figures)
{
    rows.append({job, input, figures});
}

// NaN compares false with everything, so it is put last explicitly.
bool RankingTable::before(const AgreementFigures &a, const AgreementFigures &b)
{
    if (a.hasK() != b.hasK())
        return a.hasK();
    return a.hasK() && a.rK < b.rK;
}

void RankingTable::removeInside(const QString &folder)
{
    const QString inside = QDir(folder).absolutePath() + QLatin1Char('/');
    rows.erase(std::remove_if(
                   rows.begin(), rows.end(),
                   [&](const Row &row) { return QDir(row.job).absolutePath().startsWith(inside); }),
               rows.end());
}

QVector<RankingTable::Row> RankingTable::sorted() const
{
    QVector<Row> list = rows;
    std::stable_sort(list.begin(), list.end(),
                     [](const Row &a, const Row &b) { return before(a.figures, b.figures); });
    return list;
}

QString RankingTable::text() const
{
    QString out = QStringLiteral("job\tinput\tr_factor_k\tscale_k\tr_factor_r\tscale_r\n");
    for (const Row &row : sorted()) {
        const AgreementFigures &f = row.figures;
        out += QStringList{tableField(row.job),   tableField(row.input), tableNumber(f.rK),
                           tableNumber(f.scaleK), tableNumber(f.rR),     tableNumber(f.scaleR)}
                   .join(QLatin1Char('\t'));
        out += QLatin1Char('\n');
    }
    return out;
}

bool RankingTable::write(const QString &path, QString &error) const
{
    error = ResultFile::writeBytes(path, text().toUtf8());
    return error.isEmpty();
}
