#ifndef XDIFILE_H
#define XDIFILE_H

#include "data/xafsspectrum.h"

#include <QCoreApplication>
#include <QStringList>

// An XDI file: a first line "# XDI/1.0 ...", header fields "# Name.key:
// value" up to "# ///", column names from "# Column.N: name [unit]", the
// element from Element.symbol and Element.edge, then rows of numbers. Energy
// in keV (its column's unit) is turned into eV; mu is made from the named
// columns as for other column files.
class XdiFile
{
    Q_DECLARE_TR_FUNCTIONS(XdiFile)
public:
    static bool isXdi(const QStringList &lines);
    // Fills spectrum and returns an empty text, or the one message that says
    // why the file cannot be used.
    static QString read(const QStringList &lines, const QString &path, XafsSpectrum &spectrum);
};

#endif
