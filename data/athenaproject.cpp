#include "data/athenaproject.h"

#include "data/columnfile.h"

#include <QFile>

#include <zlib.h>

#include <cctype>
#include <cmath>

namespace {

// Far beyond any real project; a stream that inflates further is refused
// rather than held in memory.
constexpr qint64 maxTextBytes = 512LL * 1024 * 1024;
const char projectMark[] = "Athena project file -- ";

struct RawGroup
{
    QString key;
    QHash<QString, QString> args;
    QStringList x;
    QStringList y;
    bool closed = false;
};

// The list after the "=" of a line "@name = (...);".
QByteArray listPart(const QByteArray &line)
{
    const int eq = line.indexOf('=');
    QByteArray list = line.mid(eq + 1).trimmed();
    if (list.endsWith(';'))
        list.chop(1);
    return list.trimmed();
}

QString quotedValue(const QByteArray &line)
{
    QStringList items;
    const QByteArray value = listPart(line);
    if (AthenaProject::parseList("(" + value + ")", items) && !items.isEmpty())
        return items.first();
    return QString::fromUtf8(value);
}

bool numbersOf(const QStringList &items, QVector<double> &values)
{
    values.resize(items.size());
    for (int i = 0; i < items.size(); ++i) {
        bool ok = false;
        values[i] = items[i].toDouble(&ok);
        if (!ok || !std::isfinite(values[i]))
            return false;
    }
    return true;
}

double paramOf(const RawGroup &g, const char *name)
{
    bool ok = false;
    const double v = g.args.value(QLatin1String(name)).toDouble(&ok);
    return ok && std::isfinite(v) ? v : BackgroundParams::unset;
}

BackgroundParams paramsOf(const RawGroup &g)
{
    BackgroundParams p;
    p.e0 = paramOf(g, "bkg_e0");
    p.pre1 = paramOf(g, "bkg_pre1");
    p.pre2 = paramOf(g, "bkg_pre2");
    p.norm1 = paramOf(g, "bkg_nor1");
    p.norm2 = paramOf(g, "bkg_nor2");
    const double nnorm = paramOf(g, "bkg_nnorm");
    if (!std::isnan(nnorm) && nnorm >= 0 && nnorm <= 5)
        p.nnorm = int(nnorm);
    p.rbkg = paramOf(g, "bkg_rbkg");
    p.kweight = paramOf(g, "bkg_kw");
    if (!(p.rbkg > 0))
        p.rbkg = BackgroundParams::unset;
    return p;
}

} // namespace

bool AthenaProject::readText(const QString &path, QByteArray &text, QString &problem)
{
    // gzread passes a file that is not compressed through unchanged.
    gzFile in = gzopen(QFile::encodeName(path).constData(), "rb");
    if (!in) {
        problem = tr("Can not read measured data file %1").arg(path);
        return false;
    }
    text.clear();
    char buffer[65536];
    int got = 0;
    while ((got = gzread(in, buffer, sizeof buffer)) > 0) {
        text.append(buffer, got);
        if (text.size() > maxTextBytes) {
            gzclose(in);
            problem = tr("Can not use measured data file %1 : it unpacks to more than %2 MB")
                          .arg(path)
                          .arg(maxTextBytes / (1024 * 1024));
            return false;
        }
    }
    int code = Z_OK;
    const QString error = QString::fromLatin1(gzerror(in, &code));
    gzclose(in);
    if (got < 0 || (code != Z_OK && code != Z_STREAM_END)) {
        problem = tr("Can not use measured data file %1 : its compressed data is damaged or "
                     "cut short (%2)")
                      .arg(path, error);
        return false;
    }
    return true;
}

bool AthenaProject::isProject(const QByteArray &text)
{
    return text.left(500).contains(projectMark);
}

bool AthenaProject::parseList(const QByteArray &text, QStringList &items)
{
    items.clear();
    const QByteArray list = text.trimmed();
    if (!list.startsWith('(') || !list.endsWith(')'))
        return false;
    int i = 1;
    const int end = list.size() - 1;
    auto skipBlanks = [&] {
        while (i < end && std::isspace(static_cast<unsigned char>(list[i])))
            ++i;
    };
    skipBlanks();
    while (i < end) {
        QByteArray item;
        const char quote = list[i];
        if (quote == '\'' || quote == '"') {
            ++i;
            while (i < end && list[i] != quote) {
                if (list[i] == '\\' && i + 1 < end)
                    ++i;
                item.append(list[i++]);
            }
            if (i >= end)
                return false; // an unclosed quote
            ++i;
        } else {
            while (i < end && list[i] != ',' && !std::isspace(static_cast<unsigned char>(list[i])))
                item.append(list[i++]);
        }
        items.append(QString::fromUtf8(item));
        skipBlanks();
        if (i < end && list[i] != ',')
            return false;
        ++i;
        skipBlanks();
    }
    return true;
}

QString AthenaProject::read(const QByteArray &text, const QString &path,
                            QVector<XafsSpectrum> &groups)
{
    groups.clear();
    QVector<RawGroup> raw;
    for (const QByteArray &rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (line.startsWith("$old_group")) {
            raw.append(RawGroup());
            raw.last().key = quotedValue(line);
            continue;
        }
        if (raw.isEmpty() || raw.last().closed)
            continue; // the journal and other project-wide entries
        RawGroup &g = raw.last();
        QStringList items;
        if (line.startsWith("[record]")) {
            g.closed = true;
        } else if (line.startsWith("@args") && parseList(listPart(line), items)) {
            for (int i = 0; i + 1 < items.size(); i += 2)
                g.args.insert(items[i], items[i + 1]);
        } else if (line.startsWith("@x ") || line.startsWith("@x=")) {
            parseList(listPart(line), g.x);
        } else if (line.startsWith("@y ") || line.startsWith("@y=")) {
            parseList(listPart(line), g.y);
        }
    }
    if (raw.isEmpty())
        return tr("Can not use project file %1 : it holds no group").arg(path);

    for (const RawGroup &g : qAsConst(raw)) {
        XafsSpectrum s;
        s.source = path;
        s.name = g.args.value(QStringLiteral("label"), g.key);
        if (!g.closed)
            return tr("Can not use project file %1 : it ends inside group \"%2\"")
                .arg(path, s.name);
        QVector<double> x;
        QVector<double> y;
        if (!numbersOf(g.x, x) || !numbersOf(g.y, y) || x.size() != y.size() ||
            x.size() < ColumnFile::minPoints)
            return tr("Can not use project file %1 : group \"%2\" holds no usable data")
                .arg(path, s.name);
        for (int i = 1; i < x.size(); ++i)
            if (x[i] <= x[i - 1])
                return tr("Can not use project file %1 : the points of group \"%2\" do not "
                          "rise at %3")
                    .arg(path, s.name)
                    .arg(x[i]);
        s.isChi = g.args.value(QStringLiteral("is_chi")).toDouble() == 1.0;
        if (s.isChi) {
            s.k = x;
            s.chi = y;
        } else {
            s.energy = x;
            s.mu = y;
            s.params = paramsOf(g);
        }
        groups.append(s);
    }
    return QString();
}
