#ifndef SITEGROUPPANEL_H
#define SITEGROUPPANEL_H

#include "ui_sitegrouppanel.h"

#include <QFrame>
#include <QPointer>

class SiteGroup;

// The panel of a SiteGroup in the process list: the CIF file, the group's
// state, Show and colour of the average's curve, and the site jobs with
// their weights. The main window owns it; the group is watched, not owned.
class SiteGroupPanel : public QFrame
{
    Q_OBJECT
public:
    explicit SiteGroupPanel(SiteGroup *group, QWidget *parent = nullptr);

    SiteGroup *group() const { return watched; }
    // Shows the group's colour once the plots have given it one.
    void showColor();

    Ui_SiteGroupPanel ui;

signals:
    void deleteMe();

private:
    void showState();

    QPointer<SiteGroup> watched;
};

#endif
