#ifndef GROUPCURVES_H
#define GROUPCURVES_H

#include <QPointer>
#include <QVector>

class Chi;
class SiteGroup;

// The site groups of the plots: each shown group's average is drawn in its
// colour with a pen twice as wide as a job's, so that it stands out from its
// site curves. Groups are not owned.
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

private:
    QVector<QPointer<SiteGroup>> groups;
};

#endif
