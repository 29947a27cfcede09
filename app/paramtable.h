#ifndef PARAMTABLE_H
#define PARAMTABLE_H

#include <QString>
#include <QStringList>
#include <QVector>

// Ordered (key, value, rest) entries, duplicates kept. Exact and any-case
// lookups see only the first matching entry; rests() sees all of them.
class ParamTable
{
public:
    ParamTable() = default;
    // The command-line table: "-x value" pairs, a value being the next
    // argument unless it starts with "-". Stray words are ignored.
    ParamTable(int argc, const char *const *argv);

    void add(const QString &key, const QString &value, const QString &rest);
    void readFile(const QString &fileName);

    bool hasKey(const QString &key) const;
    QString exactValue(const QString &key) const;
    QString value(const QString &key, const QString &defaultValue) const;
    QStringList rests(const QString &key) const;
    // The values of every entry of exactly this key, in order (a repeated
    // command-line option).
    QStringList values(const QString &key) const;
    int size() const { return entries.size(); }

private:
    struct Entry
    {
        QString key;
        QString upperKey;
        QString value;
        QString rest;
    };
    void addLine(const QString &line);

    QVector<Entry> entries;
};

#endif
