#include "fit/feffpathset.h"

#include "chi/feffpaths.h"
#include "chi/linereader.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// feff.inp of a job is a few kB; a larger one is not read whole.
constexpr qint64 maxInputBytes = 4 * 1024 * 1024;

bool positiveNumber(const QByteArray &word, double &value)
{
    bool ok = false;
    const double v = word.toDouble(&ok);
    if (!ok || !std::isfinite(v) || v <= 0.0)
        return false;
    value = v;
    return true;
}

} // namespace

QStringList FeffPathSet::read(const QString &dir)
{
    paths.clear();
    ids.clear();
    QStringList problems;
    QFile input(QDir(dir).filePath(QStringLiteral("feff.inp")));
    // Regular files only: a FIFO would block the open.
    const bool readable =
        fileReadProblem(input.fileName(), std::numeric_limits<qint64>::max()).isEmpty();
    s02 =
        readable && input.open(QIODevice::ReadOnly) ? s02FromInput(input.read(maxInputBytes)) : 1.0;

    FeffPaths lists;
    const QStringList files = pathFiles(dir);
    if (files.isEmpty())
        return problems;
    const QString listProblem = lists.read(dir);
    if (!listProblem.isEmpty())
        problems << listProblem;
    for (const QString &name : files) {
        FeffPath path;
        QString error;
        if (!path.read(QDir(dir).filePath(name), &error)) {
            problems << error;
            continue;
        }
        PathIdentity id = lists.identity(name);
        if (!id.hasFigures()) {
            id.reff = path.reff();
            id.degeneracy = path.degeneracy();
            id.legs = path.legs();
        }
        if (id.route.isEmpty())
            id.route = path.route();
        paths.push_back(std::move(path));
        ids << id;
    }
    return problems;
}

PathParameters FeffPathSet::feffParameters(int i) const
{
    PathParameters p;
    p.s02 = s02;
    const double listed = ids[i].sigma2;
    p.sigma2 = std::isfinite(listed) ? listed : 0.0;
    return p;
}

double FeffPathSet::s02FromInput(const QByteArray &feffInp)
{
    double hole = 1.0;
    double card = qQNaN();
    for (const QByteArray &line : feffInp.split('\n')) {
        // Cards are case-blind; '*' starts a comment, also after a card.
        const int comment = line.indexOf('*');
        const QList<QByteArray> w =
            (comment < 0 ? line : line.left(comment)).simplified().toUpper().split(' ');
        if (w.value(0) == "S02" && w.size() >= 2)
            positiveNumber(w[1], card);
        else if (w.value(0) == "HOLE" && w.size() >= 3)
            positiveNumber(w[2], hole);
    }
    return std::isfinite(card) ? card : hole;
}

QStringList FeffPathSet::pathFiles(const QString &dir)
{
    QStringList names;
    for (const QString &name : QDir(dir).entryList({QStringLiteral("feff*.dat")}, QDir::Files,
                                                   QDir::Name | QDir::IgnoreCase))
        if (FeffPaths::pathNumber(name) > 0 &&
            name.startsWith(QLatin1String("feff"), Qt::CaseInsensitive))
            names << name;
    std::sort(names.begin(), names.end(), [](const QString &a, const QString &b) {
        return FeffPaths::pathNumber(a) < FeffPaths::pathNumber(b);
    });
    return names;
}

QVector<double> FeffPathSet::chipGrid(double kMax)
{
    QVector<double> k;
    const int count = kMax >= 0.0 ? int(std::floor(kMax / 0.05 + 1e-9)) + 1 : 0;
    k.reserve(count);
    for (int i = 0; i < count; ++i)
        k << 0.05 * i;
    return k;
}
