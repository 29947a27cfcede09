#include "data/xdifile.h"

#include "data/columnfile.h"

#include <QRegularExpression>

bool XdiFile::isXdi(const QStringList &lines)
{
    return !lines.isEmpty() &&
           lines.first().trimmed().startsWith(QLatin1String("# XDI/"), Qt::CaseInsensitive);
}

QString XdiFile::read(const QStringList &lines, const QString &path, XafsSpectrum &spectrum)
{
    static const QRegularExpression field(QStringLiteral("^#\\s*([\\w.]+)\\s*:\\s*(.*)$"));
    QStringList names;
    QString energyUnit;
    QString element;
    QString edge;
    for (const QString &line : lines) {
        const QString text = line.trimmed();
        if (!text.startsWith(QLatin1Char('#')))
            continue;
        if (text.startsWith(QLatin1String("# ///")))
            break;
        const QRegularExpressionMatch m = field.match(text);
        if (!m.hasMatch())
            continue;
        const QString key = m.captured(1).toLower();
        const QStringList words = m.captured(2).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (key == QLatin1String("element.symbol") && !words.isEmpty()) {
            element = words.first();
        } else if (key == QLatin1String("element.edge") && !words.isEmpty()) {
            edge = words.first();
        } else if (key.startsWith(QLatin1String("column.")) && !words.isEmpty()) {
            bool ok = false;
            const int column = key.mid(7).toInt(&ok);
            if (!ok || column < 1 || column > 1000)
                continue;
            while (names.size() < column)
                names.append(QString());
            names[column - 1] = words.first().toLower();
            if (names[column - 1] == QLatin1String("energy") && words.size() > 1)
                energyUnit = words.at(1).toLower();
        }
    }

    QStringList commentNames; // the rows only; the Column.N names win
    ColumnFile::Rows rows;
    ColumnFile::parse(lines, commentNames, rows);
    if (energyUnit == QLatin1String("kev")) {
        const int e = names.indexOf(QLatin1String("energy"));
        for (QVector<double> &row : rows)
            if (e < row.size())
                row[e] *= 1000.0;
    }
    QString problem;
    if (!ColumnFile::spectrumOf(names.isEmpty() ? commentNames : names, rows, path, spectrum,
                                problem))
        return tr("Can not use XDI file %1 : it names no mu(E) columns (mutrans, mufluor, "
                  "or i0 with itrans or ifluor)")
            .arg(path);
    spectrum.element = element;
    spectrum.edge = edge;
    return problem;
}
