#include "chi/feffpaths.h"

#include "chi/linereader.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <limits>

namespace {

// Far beyond any real list (300 paths of 4 legs take ~150 kB): a stray huge
// file is not read whole.
constexpr qint64 maxListBytes = 32 * 1024 * 1024;

// The complete lines of a text: the piece after the last line feed was cut
// off and is dropped.
QList<QByteArray> wholeLines(const QByteArray &text)
{
    QList<QByteArray> lines = text.split('\n');
    lines.removeLast();
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    return lines;
}

bool toNumbers(const QRegularExpressionMatch &m, std::initializer_list<int> groups,
               QVector<double> &out)
{
    for (int g : groups) {
        bool ok = false;
        out << m.captured(g).toDouble(&ok);
        if (!ok)
            return false;
    }
    return true;
}

bool readList(const QString &path, QByteArray &text)
{
    // Opening a FIFO would wait for a writer; a device is no list.
    if (!fileReadProblem(path, std::numeric_limits<qint64>::max()).isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // read(n) sets aside n bytes first; a path list is a few kB.
    text = file.read(std::min(file.size(), maxListBytes));
    return true;
}

} // namespace

QString FeffPaths::read(const QString &dir)
{
    QStringList failed;
    QByteArray text;
    const QString files = QStringLiteral("files.dat");
    const QString paths = QStringLiteral("paths.dat");
    if (!readList(QDir(dir).filePath(files), text) || readFiles(text) == 0)
        failed << files;
    if (!readList(QDir(dir).filePath(paths), text) || readPaths(text) == 0)
        failed << paths;
    if (failed.isEmpty())
        return QString();
    return tr("Can not read the path lists %1 in %2: the paths are shown without identities")
        .arg(failed.join(QStringLiteral(", ")), QDir::toNativeSeparators(dir));
}

// " feff0006.dat 0.00000    11.097     8.000     3   3.4278"
int FeffPaths::readFiles(const QByteArray &text)
{
    static const QRegularExpression row(
        QStringLiteral("^\\s*feff(\\d{1,6})\\.dat\\s+(\\S+)\\s+(\\S+)\\s+(\\S+)\\s+(\\d{1,3})"
                       "\\s+(\\S+)\\s*$"),
        QRegularExpression::CaseInsensitiveOption);
    int taken = 0;
    for (const QByteArray &line : wholeLines(text)) {
        const QRegularExpressionMatch m = row.match(QString::fromLatin1(line));
        QVector<double> v; // sig2, amplitude, degeneracy, reff
        if (!m.hasMatch() || !toNumbers(m, {2, 3, 4, 6}, v))
            continue;
        const int legs = m.captured(5).toInt();
        if (legs < 2)
            continue;
        filesRows.insert(m.captured(1).toInt(), FilesRow{v[0], v[1], v[2], v[3], legs});
        ++taken;
    }
    return taken;
}

// A path: its header line, a column line, then one line per leg with the
// atom at the leg's end; the last leg returns to the absorber (ipot 0).
//   "     6    3   8.000  index, nleg, degeneracy, r=  3.4278"
//   "    0.000000    0.000000    2.958700   2 'Ti    '     2.9587  139.3965 ..."
int FeffPaths::readPaths(const QByteArray &text)
{
    static const QRegularExpression header(
        QStringLiteral("^\\s*(\\d{1,6})\\s+(\\d{1,3})\\s+(\\S+)\\s+index,\\s*nleg,\\s*degeneracy,"
                       "\\s*r=\\s*(\\S+)"));
    static const QRegularExpression atom(
        QStringLiteral("^\\s*\\S+\\s+\\S+\\s+\\S+\\s+(\\d{1,3})\\s+'([^']*)'"));
    int taken = 0;
    int number = 0;
    int legs = 0;
    QVector<double> figures; // degeneracy, reff
    QStringList labels;
    bool endsAtAbsorber = false;
    auto finish = [&] {
        if (number > 0 && legs >= 2 && labels.size() == legs && endsAtAbsorber) {
            QStringList route{element(labels.last())};
            for (int i = 0; i + 1 < legs; ++i)
                route << element(labels[i]);
            pathsRows.insert(number, PathsRow{figures[0], figures[1], legs, route});
            ++taken;
        }
        number = 0;
    };
    for (const QByteArray &raw : wholeLines(text)) {
        const QString line = QString::fromLatin1(raw);
        const QRegularExpressionMatch h = header.match(line);
        if (h.hasMatch()) {
            finish();
            figures.clear();
            labels.clear();
            if (toNumbers(h, {3, 4}, figures)) {
                number = h.captured(1).toInt();
                legs = h.captured(2).toInt();
            }
            continue;
        }
        const QRegularExpressionMatch a = atom.match(line);
        if (number > 0 && a.hasMatch()) {
            labels << a.captured(2);
            endsAtAbsorber = a.captured(1).toInt() == 0;
        }
    }
    finish();
    return taken;
}

PathIdentity FeffPaths::identity(const QString &chipFile) const
{
    PathIdentity id = identity(pathNumber(chipFile));
    id.file = chipFile;
    return id;
}

QVector<PathIdentity> FeffPaths::listedPaths() const
{
    QList<int> numbers = filesRows.keys();
    std::sort(numbers.begin(), numbers.end());
    QVector<PathIdentity> ids;
    ids.reserve(numbers.size());
    for (int number : numbers) {
        ids << identity(number);
        ids.last().file = QStringLiteral("feff%1.dat").arg(number, 4, 10, QLatin1Char('0'));
    }
    return ids;
}

PathIdentity FeffPaths::identity(int number) const
{
    PathIdentity id;
    id.number = number;
    const auto f = filesRows.constFind(id.number);
    const auto p = pathsRows.constFind(id.number);
    if (p != pathsRows.constEnd()) {
        id.reff = p->reff;
        id.degeneracy = p->degeneracy;
        id.legs = p->legs;
        id.route = p->route;
    }
    // files.dat rounds as paths.dat does, and alone has the amplitude.
    if (f != filesRows.constEnd()) {
        id.reff = f->reff;
        id.degeneracy = f->degeneracy;
        id.legs = f->legs;
        id.amplitude = f->amplitude;
        id.sigma2 = f->sigma2;
    }
    return id;
}

QVector<PathIdentity> FeffPaths::identify(const QString &dir, const QStringList &chipFiles,
                                          QString *problem)
{
    FeffPaths lists;
    const QString message = lists.read(dir);
    if (problem)
        *problem = message;
    QVector<PathIdentity> ids;
    ids.reserve(chipFiles.size());
    for (const QString &name : chipFiles)
        ids << lists.identity(name);
    return ids;
}

int FeffPaths::chipNumber(const QString &fileName)
{
    static const QRegularExpression name(QStringLiteral("^chip(\\d{1,6})\\.dat$"),
                                         QRegularExpression::CaseInsensitiveOption);
    return name.match(fileName).captured(1).toInt();
}

int FeffPaths::pathNumber(const QString &fileName)
{
    static const QRegularExpression name(QStringLiteral("^(?:chip|feff)(\\d{1,6})\\.dat$"),
                                         QRegularExpression::CaseInsensitiveOption);
    return name.match(fileName).captured(1).toInt();
}

QString FeffPaths::element(const QString &label)
{
    static const QRegularExpression symbol(QStringLiteral("^([A-Za-z])([a-z]?)"));
    const QRegularExpressionMatch m = symbol.match(label.trimmed());
    if (!m.hasMatch())
        return QStringLiteral("?");
    return m.captured(1).toUpper() + m.captured(2);
}
