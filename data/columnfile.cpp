#include "data/columnfile.h"

#include "app/textfuncs.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTextStream>

#include <cmath>

namespace {

// Beamline files stay in the megabytes; anything far larger is not one.
constexpr qint64 maxFileBytes = 64 * 1024 * 1024;
constexpr double lowestEnergy = 100.0; // eV

const QRegularExpression &blanks()
{
    static const QRegularExpression re(QStringLiteral("\\s+"));
    return re;
}

bool numbersOf(const QString &line, QVector<double> &values)
{
    const QVector<QStringRef> fields = line.splitRef(blanks(), Qt::SkipEmptyParts);
    if (fields.isEmpty())
        return false;
    values.resize(fields.size());
    for (int i = 0; i < fields.size(); ++i) {
        bool ok = false;
        values[i] = fields[i].toDouble(&ok);
        if (!ok || !std::isfinite(values[i]))
            return false;
    }
    return true;
}

int columnOf(const QStringList &names, std::initializer_list<const char *> candidates)
{
    for (const char *name : candidates) {
        const int at = names.indexOf(QLatin1String(name));
        if (at >= 0)
            return at;
    }
    return -1;
}

// How mu is made from the columns; an empty recipe when it is not mu(E).
struct MuRecipe
{
    enum Kind
    {
        None,
        Column,
        Transmission,
        Fluorescence
    } kind = None;
    int first = -1;  // mu, or i0
    int second = -1; // it or if
};

MuRecipe recipeOf(const QStringList &names, const ColumnFile::Rows &rows, int energyColumn)
{
    MuRecipe recipe;
    const int mu = columnOf(names, {"mu", "mutrans", "mufluor"});
    const int i0 = columnOf(names, {"i0"});
    const int it = columnOf(names, {"itrans", "it"});
    const int fluor = columnOf(names, {"ifluor", "if"});
    if (mu >= 0) {
        recipe = {MuRecipe::Column, mu, -1};
    } else if (i0 >= 0 && it >= 0) {
        recipe = {MuRecipe::Transmission, i0, it};
    } else if (i0 >= 0 && fluor >= 0) {
        recipe = {MuRecipe::Fluorescence, i0, fluor};
    } else if (energyColumn == 0 && !rows.isEmpty() && rows.first().size() >= 2 &&
               rows.first().first() > lowestEnergy) {
        recipe = {MuRecipe::Column, 1, -1};
    }
    return recipe;
}

double muOf(const MuRecipe &recipe, const QVector<double> &row)
{
    switch (recipe.kind) {
    case MuRecipe::Column:
        return row[recipe.first];
    case MuRecipe::Transmission:
        return std::log(row[recipe.first] / row[recipe.second]);
    case MuRecipe::Fluorescence:
        return row[recipe.second] / row[recipe.first];
    case MuRecipe::None:
        break;
    }
    return std::nan("");
}

} // namespace

bool ColumnFile::readLines(const QString &path, QStringList &lines, QString &problem)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        problem = tr("Can not read measured data file %1 : %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > maxFileBytes) {
        problem = tr("Can not use measured data file %1 : it is larger than %2 MB")
                      .arg(path)
                      .arg(maxFileBytes / (1024 * 1024));
        return false;
    }
    QTextStream in(&file);
    useFileCodec(in);
    lines = in.readAll().split(QLatin1Char('\n'));
    return true;
}

void ColumnFile::parse(const QStringList &lines, QStringList &names, Rows &rows)
{
    QString lastComment;
    QVector<double> values;
    for (const QString &line : lines) {
        const QString text = line.trimmed();
        if (text.startsWith(QLatin1Char('#'))) {
            if (rows.isEmpty())
                lastComment = text;
            continue;
        }
        if (numbersOf(text, values) && (rows.isEmpty() || values.size() >= rows.first().size()))
            rows.append(values);
    }
    int start = 0;
    while (start < lastComment.size() && lastComment.at(start) == QLatin1Char('#'))
        ++start;
    names = lastComment.mid(start).toLower().split(blanks(), Qt::SkipEmptyParts);
}

bool ColumnFile::read(const QStringList &lines, const QString &path, XafsSpectrum &spectrum,
                      QString &problem)
{
    QStringList names;
    Rows rows;
    parse(lines, names, rows);
    return spectrumOf(names, rows, path, spectrum, problem);
}

bool ColumnFile::spectrumOf(const QStringList &names, const Rows &rows, const QString &path,
                            XafsSpectrum &spectrum, QString &problem)
{
    int energyColumn = columnOf(names, {"energy", "e"});
    if (energyColumn < 0)
        energyColumn = 0;
    const MuRecipe recipe = recipeOf(names, rows, energyColumn);
    if (recipe.kind == MuRecipe::None)
        return false;

    spectrum = XafsSpectrum();
    spectrum.source = path;
    spectrum.name = QFileInfo(path).completeBaseName();
    const int needed = std::max({energyColumn, recipe.first, recipe.second}) + 1;
    for (const QVector<double> &row : rows) {
        if (row.size() < needed)
            continue;
        const double e = row[energyColumn];
        const double mu = muOf(recipe, row);
        if (!std::isfinite(mu)) {
            problem = tr("Can not use measured data file %1 : mu is not finite at %2 eV")
                          .arg(path)
                          .arg(e);
            return true;
        }
        if (!spectrum.energy.isEmpty() && e <= spectrum.energy.last()) {
            if (e < spectrum.energy.last()) {
                problem = tr("Can not use measured data file %1 : the energies fall at %2 eV")
                              .arg(path)
                              .arg(e);
                return true;
            }
            continue; // a repeated energy: the first point is kept
        }
        spectrum.energy.append(e);
        spectrum.mu.append(mu);
    }
    if (spectrum.energy.size() < minPoints) {
        problem = tr("Can not use measured data file %1 : it holds %2 points of mu(E), "
                     "at least %3 are needed")
                      .arg(path)
                      .arg(spectrum.energy.size())
                      .arg(minPoints);
    } else if (spectrum.energy.first() <= lowestEnergy) {
        problem = tr("Can not use measured data file %1 : its energies start at %2, "
                     "not above %3 eV")
                      .arg(path)
                      .arg(spectrum.energy.first())
                      .arg(lowestEnergy);
    }
    return true;
}
