#include "plot/groupcurves.h"

#include "jobs/sitegroup.h"

void GroupCurves::add(SiteGroup *group)
{
    groups.append(group);
}

void GroupCurves::remove(SiteGroup *group)
{
    groups.removeAll(group);
}

QVector<const Chi *> GroupCurves::shown() const
{
    QVector<const Chi *> curves;
    for (const QPointer<SiteGroup> &g : groups)
        if (g && g->isShown())
            curves.append(&g->average);
    return curves;
}

QVector<const SiteGroup *> GroupCurves::shownGroups() const
{
    QVector<const SiteGroup *> list;
    for (const QPointer<SiteGroup> &g : groups)
        if (g && g->isShown())
            list.append(g);
    return list;
}
