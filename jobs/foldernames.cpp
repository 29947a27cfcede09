#include "jobs/foldernames.h"

QString FolderNames::take(const QString &wanted)
{
    QString name = wanted;
    if (isTaken(name)) {
        int &suffix = lastSuffix[key(wanted)];
        suffix = qMax(suffix, 1);
        do
            name = wanted + QStringLiteral("-%1").arg(++suffix);
        while (isTaken(name));
    }
    taken.insert(key(name));
    return name;
}

void FolderNames::release(const QString &name)
{
    taken.remove(key(name));
    // A released NAME-k may be handed out again: later takes start over.
    const int dash = name.lastIndexOf(QLatin1Char('-'));
    if (dash > 0)
        lastSuffix.remove(key(name.left(dash)));
}

bool FolderNames::isTaken(const QString &name) const
{
    return taken.contains(key(name));
}

Settings FolderNames::assign(const Settings &base, const QFileInfo &input, QString *note)
{
    Settings s = base;
    const QString wanted = input.completeBaseName();
    s.jobFolder = take(wanted);
    note->clear();
    if (s.jobFolder != wanted)
        *note = tr("%1 runs in the folder %2: %3 is another job's")
                    .arg(input.absoluteFilePath(), s.jobFolder, wanted);
    return s;
}
