#include "plot/groupcurves.h"

#include "jobs/sitegroup.h"
#include "plot/dataline.h"

#include <QPainter>

namespace {

void setPen(QPainter *p, const SiteGroup *group)
{
    p->setPen(curvePen(group->color, 2));
}

} // namespace

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

void GroupCurves::drawK(QPainter *p, const ChCoord &c, int kWeight) const
{
    for (const QPointer<SiteGroup> &g : groups) {
        if (!g || !g->isShown())
            continue;
        setPen(p, g);
        drawDataLine(p, c, g->average.k, g->average.chi, kWeight);
    }
}

void GroupCurves::drawR(QPainter *p, const ChCoord &c,
                        const std::function<const Chi &(const Chi &)> &curveOf) const
{
    for (const QPointer<SiteGroup> &g : groups) {
        if (!g || !g->isShown())
            continue;
        setPen(p, g);
        const Chi &curve = curveOf(g->average);
        drawDataLine(p, c, curve.r, curve.chiRAbs, 0);
    }
}
