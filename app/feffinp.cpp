#include "app/feffinp.h"

#include "app/textfuncs.h"

#include <QDebug>

FeffInp *parseFeffInp(const QString &text)
{
    auto *entry = new FeffInp;
    std::tie(entry->name, entry->text) = takeToken(text);
    if (entry->name == QLatin1String("%")) {
        entry->commented = true;
        std::tie(entry->name, entry->text) = takeToken(entry->text);
    }
    if (entry->name.startsWith(QLatin1Char('%'))) {
        entry->commented = true;
        entry->name.remove(0, 1);
    }
    entry->text = trimLeft(entry->text);
    return entry;
}

int findFeffInp(const FeffInpList &list, const QString &name)
{
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i)->name == name)
            return i;
    }
    return -1;
}

void putFeffInp(FeffInpList &list, FeffInp *entry)
{
    const int index = findFeffInp(list, entry->name);
    if (index < 0) {
        list.append(entry);
        return;
    }
    delete list.at(index);
    list[index] = entry;
}

void showFeffInps(const FeffInpList &list)
{
    qDebug() << "show feff Inps";
    for (int i = 0; i < list.size(); ++i) {
        const FeffInp *e = list.at(i);
        qDebug() << "FeffInp" << i << e->name << e->text << (e->commented ? "true" : "false");
    }
}
