#ifndef FEFFINP_H
#define FEFFINP_H

#include <QString>
#include <QVector>

// One card rewrite for FEFF input files. Entries are created once at start-up
// and shared (by pointer) by every copy of the settings; they are never freed.
struct FeffInp
{
    bool commented = false; // written as "#name text" when set
    QString name;           // card keyword, without any "%" marking
    QString text;           // everything after the keyword
};

using FeffInpList = QVector<FeffInp *>;

// Builds an entry from "name text", "%name text" or "% name text".
FeffInp *parseFeffInp(const QString &text);
// Index of the first entry whose name equals name exactly, or -1.
int findFeffInp(const FeffInpList &list, const QString &name);
// Replaces the entry of the same name in place (freeing it), or appends.
void putFeffInp(FeffInpList &list, FeffInp *entry);
// Writes "show feff Inps" and one line per entry to the debug output.
void showFeffInps(const FeffInpList &list);

#endif
