#include "app/inputlist.h"

#include <QDir>
#include <QDirIterator>

#include <algorithm>
#include <utility>
#include <vector>

InputList::InputList(const QString &cifFolder, const QString &inpFolder)
    : cifDir(cifFolder), inpDir(inpFolder), cifNames(listNames(cifFolder, cifPatterns())),
      inpNames(listNames(inpFolder, inpPatterns()))
{}

QStringList InputList::cifPatterns()
{
    return {QStringLiteral("*.cif"), QStringLiteral("*.inp")};
}

QStringList InputList::inpPatterns()
{
    return {QStringLiteral("*.inp")};
}

QStringList InputList::listNames(const QString &dir, const QStringList &patterns)
{
    // QDir::entryList would hold a QFileInfo for every entry at once. The
    // iterator's defaults are QDir's: all entries but hidden ones, patterns
    // matched without regard to case.
    std::vector<std::pair<QString, QString>> keyed; // lower-case name, name
    QDirIterator it(dir, patterns);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        keyed.emplace_back(name.toLower(), name);
    }
    // QDir's order: names compared in lower case, ties in listing order.
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    QStringList names;
    names.reserve(int(keyed.size()));
    for (const auto &entry : keyed)
        names.append(entry.second);
    return names;
}

void InputList::keepShare(int share, int shares)
{
    int place = 0;
    auto keep = [&place, share, shares](QStringList &names) {
        QStringList kept;
        kept.reserve(names.size() / shares + 1);
        for (const QString &name : qAsConst(names)) {
            if (place++ % shares == share - 1)
                kept.append(name);
        }
        names = kept;
    };
    keep(cifNames);
    keep(inpNames);
}

InputList::Entry InputList::takeFirst()
{
    Entry entry;
    entry.viaAtoms = !cifNames.isEmpty();
    if (entry.viaAtoms)
        entry.file = QFileInfo(QDir(cifDir), cifNames.takeFirst());
    else
        entry.file = QFileInfo(QDir(inpDir), inpNames.takeFirst());
    return entry;
}
