#ifndef ATHENAPROJECT_H
#define ATHENAPROJECT_H

#include "data/xafsspectrum.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QHash>
#include <QStringList>
#include <QVector>

// The project file of the field's processing program: a Perl data dump,
// usually gzip-compressed, whose first line reads "# Athena project file --
// ...". Each group is "$old_group = 'key';", "@args = ('name','value',...);"
// (the label and the processing parameters), "@x = (...);" and "@y =
// (...);" (energies and mu, or k and chi when is_chi is 1), closed by a
// "[record]" line.
class AthenaProject
{
    Q_DECLARE_TR_FUNCTIONS(AthenaProject)
public:
    // The file's text, gunzipped when compressed; false with a message when
    // it cannot be read or its compressed stream is damaged or cut short.
    static bool readText(const QString &path, QByteArray &text, QString &problem);
    static bool isProject(const QByteArray &text);

    // Every group of the text as a spectrum, in the file's order; an empty
    // text, or the one message that says why the file cannot be used (then
    // groups is empty): no group, a group without data, a text cut short.
    static QString read(const QByteArray &text, const QString &path, QVector<XafsSpectrum> &groups);

    // The items of a Perl list "('a','b\'c',3)"; false when it is not one.
    static bool parseList(const QByteArray &text, QStringList &items);
};

#endif
