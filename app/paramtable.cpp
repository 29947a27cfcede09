#include "app/paramtable.h"

#include "app/textfuncs.h"
#include "chi/linereader.h"

#include <QDebug>

namespace {

// Far beyond any configuration; its lines are looked at up to
// LineReader::maxLineChars characters.
constexpr qint64 maxConfigBytes = 16LL * 1024 * 1024;

} // namespace

ParamTable::ParamTable(int argc, const char *const *argv)
{
    for (int i = 0; i < argc; ++i) {
        const QString arg = QString::fromUtf8(argv[i]);
        if (!arg.startsWith(QLatin1Char('-')))
            continue;
        QString value;
        if (i + 1 < argc && argv[i + 1][0] != '-') {
            value = QString::fromUtf8(argv[i + 1]);
            ++i;
        }
        add(arg, value, value);
    }
}

void ParamTable::add(const QString &key, const QString &value, const QString &rest)
{
    entries.append({key, key.toUpper(), value, rest});
}

void ParamTable::readFile(const QString &fileName)
{
    // Bounded: a configuration that is a FIFO or a device must not hang
    // the start.
    LineReader in(fileName, maxConfigBytes);
    if (fileName.isEmpty() || !in.open().isEmpty()) {
        qDebug() << "Can't open config file : " << fileName;
        return;
    }
    QString line;
    while (in.next(line))
        addLine(line);
}

void ParamTable::addLine(const QString &line)
{
    if (isBlankLine(line))
        return;
    const auto [key, rest] = takeToken(stripComment(line));
    add(key, takeToken(rest).first, rest);
}

bool ParamTable::hasKey(const QString &key) const
{
    for (const Entry &e : entries) {
        if (e.key == key)
            return true;
    }
    return false;
}

QString ParamTable::exactValue(const QString &key) const
{
    for (const Entry &e : entries) {
        if (e.key == key)
            return e.value;
    }
    return QString();
}

QString ParamTable::value(const QString &key, const QString &defaultValue) const
{
    const QString upper = key.toUpper();
    for (const Entry &e : entries) {
        if (e.upperKey == upper)
            return e.value;
    }
    return defaultValue;
}

QStringList ParamTable::rests(const QString &key) const
{
    const QString upper = key.toUpper();
    QStringList result;
    for (const Entry &e : entries) {
        if (e.upperKey == upper)
            result.append(e.rest);
    }
    return result;
}

QStringList ParamTable::values(const QString &key) const
{
    QStringList result;
    for (const Entry &e : entries) {
        if (e.key == key)
            result.append(e.value);
    }
    return result;
}
