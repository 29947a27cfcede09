#ifndef GROUPCURVES_H
#define GROUPCURVES_H

#include <QPointer>
#include <QVector>

#include <functional>

class ChCoord;
class Chi;
class QPainter;
class SiteGroup;

// The site-averaged curves of the plots: each shown group's average, drawn
// in its colour with a pen twice as wide as a job's, so that it stands out
// from its site curves. Groups are not owned.
class GroupCurves
{
public:
    void add(SiteGroup *group);
    void remove(SiteGroup *group);
    int size() const { return groups.size(); }

    // The averages of the shown groups (a group without one yet is shown
    // with an empty curve).
    QVector<const Chi *> shown() const;
    QVector<const SiteGroup *> shownGroups() const;
    void drawK(QPainter *p, const ChCoord &c, int kWeight) const;
    // |chi(R)| of each shown average, of the curve curveOf gives for it.
    void drawR(QPainter *p, const ChCoord &c,
               const std::function<const Chi &(const Chi &)> &curveOf) const;

private:
    QVector<QPointer<SiteGroup>> groups;
};

#endif
