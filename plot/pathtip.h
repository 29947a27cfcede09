#ifndef PATHTIP_H
#define PATHTIP_H

#include "chi/pathidentity.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVector>

// The one-line texts that name a FEFF path for the user, e.g.
// "path 23 · Ca–O–Si · reff 3.521 Å · N 8 · 3 legs · 45.2 %". Parts FEFF's
// lists did not give are left out; an identity without a number gives "".
class PathTip
{
    Q_DECLARE_TR_FUNCTIONS(PathTip)

public:
    static QString text(const PathIdentity &id);
    static QStringList texts(const QVector<PathIdentity> &ids);
    // The route as the legend and tooltips show it: "Ti–O–Ti".
    static QString route(const PathIdentity &id);
};

#endif
