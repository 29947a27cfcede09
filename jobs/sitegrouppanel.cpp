#include "jobs/sitegrouppanel.h"

#include "jobs/sitegroup.h"

namespace {

const char runningStyle[] = "background-color: rgb(96, 255, 181);";
const char idleStyle[] = "background-color: rgb(213, 230, 255);";
const char failedStyle[] = "background-color: rgb(255, 200, 200);";

} // namespace

SiteGroupPanel::SiteGroupPanel(SiteGroup *group, QWidget *parent) : QFrame(parent), watched(group)
{
    ui.setupUi(this);
    ui.TargetName->setText(group->input().absoluteFilePath());
    ui.TargetName->setCursorPosition(ui.TargetName->text().size());
    ui.TargetName->setToolTip(group->directory());
    ui.Show->setChecked(group->isShown());
    connect(ui.Show, &QCheckBox::toggled, group, &SiteGroup::setShown);
    connect(ui.Delete, &QPushButton::clicked, this, &SiteGroupPanel::deleteMe);
    connect(group, &SiteGroup::changed, this, &SiteGroupPanel::showState);
    showState();
    showColor();
}

void SiteGroupPanel::showColor()
{
    if (!watched || !watched->color.isValid())
        return;
    ui.ColorDisp->background = watched->color;
    ui.ColorDisp->update();
}

void SiteGroupPanel::showState()
{
    if (!watched)
        return;
    QString text;
    const char *style = idleStyle;
    switch (watched->state()) {
    case SiteGroup::Listing:
        text = tr("Listing sites");
        break;
    case SiteGroup::Running:
        text = tr("%n site job(s) running", nullptr, watched->siteCount());
        style = runningStyle;
        break;
    case SiteGroup::Averaged:
        text = tr("Averaged: chiavg.dat, chiR.dat");
        break;
    case SiteGroup::Failed:
        text = tr("Failed");
        style = failedStyle;
        break;
    }
    ui.GroupStat->setText(text);
    ui.GroupStat->setStyleSheet(QString::fromLatin1(style));
    // The weights while it runs or once averaged, the reason once failed.
    QStringList lines;
    if (watched->siteCount() > 0)
        lines << watched->siteSummary();
    if (watched->state() == SiteGroup::Failed)
        lines << watched->message();
    ui.Sites->setText(lines.join(QLatin1Char('\n')));
}
