#include "plot/pathtip.h"

#include <cmath>

QString PathTip::text(const PathIdentity &id)
{
    if (id.number <= 0)
        return QString();
    QStringList parts{tr("path %1").arg(id.number)};
    if (!id.route.isEmpty())
        parts << route(id);
    if (std::isfinite(id.reff))
        parts << tr("reff %1 Å").arg(id.reff, 0, 'f', 3);
    if (std::isfinite(id.degeneracy))
        parts << tr("N %1").arg(id.degeneracy, 0, 'g', 6);
    if (id.legs > 0)
        parts << tr("%1 legs").arg(id.legs);
    if (std::isfinite(id.amplitude))
        parts << tr("%1 %").arg(id.amplitude, 0, 'f', 1);
    return parts.join(QStringLiteral(" · "));
}

QStringList PathTip::texts(const QVector<PathIdentity> &ids)
{
    QStringList tips;
    for (const PathIdentity &id : ids)
        tips << text(id);
    return tips;
}

QString PathTip::route(const PathIdentity &id)
{
    return id.route.join(QStringLiteral("–"));
}
