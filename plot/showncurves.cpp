#include "plot/showncurves.h"

#include "chi/chi.h"
#include "jobs/demeter.h"
#include "jobs/sitegroup.h"
#include "plot/dataline.h"
#include "plot/measuredcurves.h"
#include "plot/pathtip.h"

#include <QCheckBox>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

QVector<PlotCurve> ShownCurves::collect(const QVector<Demeter *> &jobs,
                                        const QVector<const SiteGroup *> &groups,
                                        const MeasuredCurves &measured, const Choice &choice)
{
    QVector<PlotCurve> out;
    for (const Demeter *job : jobs)
        if (job->ui.Show->isChecked())
            addJob(out, *job, choice);
    for (const SiteGroup *group : groups) {
        PlotCurve c;
        c.job = QFileInfo(group->directory()).fileName();
        c.color = group->color;
        c.width = 2;
        c.dashes = averageDashes;
        addCurve(out, c, group->average, choice, true, false, false);
        addFit(out, c, group, choice);
    }
    for (int i = 0; i < measured.count(); ++i) {
        if (!measured.isShown(i))
            continue;
        PlotCurve c;
        c.job = QFileInfo(measured.curve(i).sourcePath).fileName();
        c.color = Qt::black;
        c.markers = true;
        addCurve(out, c, measured.curve(i), choice, true, choice.re, choice.im);
    }
    return out;
}

// Without Show2 a job shows its magnitude only, as the window draws it.
void ShownCurves::addJob(QVector<PlotCurve> &out, const Demeter &job, const Choice &choice)
{
    const bool details = job.ui.Show2->isChecked();
    PlotCurve c;
    c.job = QFileInfo(job.directory()).fileName();
    c.color = job.color;
    addCurve(out, c, job.chi, choice, choice.abs || !details, details && choice.re,
             details && choice.im);
    if (choice.abs || !details)
        addFit(out, c, &job, choice);
    if (!details)
        return;
    for (int j = 0; j < job.chips.size(); ++j) {
        if (!job.chips[j] || !choice.pathShown(j))
            continue;
        PlotCurve p = c;
        p.path = pathName(job, j);
        p.color = pathColor(job.color);
        addCurve(out, p, *job.chips[j], choice, choice.abs, choice.re, choice.im);
    }
}

// Dashed in the owner's colour, at least two pixels wide so that the dashes
// stay visible over the owner's own curve.
void ShownCurves::addFit(QVector<PlotCurve> &out, const PlotCurve &owner, const QObject *source,
                         const Choice &choice)
{
    const Chi *fit = choice.fitOf ? choice.fitOf(source) : nullptr;
    if (!fit)
        return;
    PlotCurve c = owner;
    c.path = tr("fit");
    c.width = std::max(2, owner.width);
    const int before = out.size();
    addCurve(out, c, *fit, choice, true, false, false);
    for (int i = before; i < out.size(); ++i)
        out[i].dashes = fitDashes;
}

void ShownCurves::addCurve(QVector<PlotCurve> &out, PlotCurve base, const Chi &chi,
                           const Choice &choice, bool abs, bool re, bool im)
{
    if (!choice.chiR) {
        base.xName = QStringLiteral("k");
        base.component = choice.kWeight > 0 ? QStringLiteral("k^%1 chi(k)").arg(choice.kWeight)
                                            : QStringLiteral("chi(k)");
        base.x = chi.k;
        base.y = chi.chi;
        // The chart draws these values, and the export writes them.
        const int n = std::min(base.x.size(), base.y.size());
        for (int i = 0; i < n && choice.kWeight > 0; ++i)
            base.y[i] = kWeighted(base.x[i], base.y[i], choice.kWeight);
        out.append(base);
        return;
    }
    const QVector<qreal> own = base.dashes;
    const Chi &t = choice.curveOf(chi);
    base.xName = QStringLiteral("R");
    base.x = t.r;
    const struct
    {
        bool wanted;
        const char *name;
        const QVector<double> &y;
        const QVector<qreal> &dashes;
    } parts[] = {{abs, "|chi(R)|", t.chiRAbs, own},
                 {re, "Re chi(R)", t.chiRRe, realDashes},
                 {im, "Im chi(R)", t.chiRIm, imagDashes}};
    for (const auto &part : parts) {
        if (!part.wanted)
            continue;
        PlotCurve c = base;
        c.component = QLatin1String(part.name);
        c.y = part.y;
        c.dashes = part.dashes;
        out.append(c);
    }
}

QString ShownCurves::pathName(const Demeter &job, int j)
{
    const QVector<PathIdentity> &ids = job.pathIdentities();
    if (j >= ids.size() || ids[j].number <= 0)
        return tr("path %1").arg(j + 1);
    const PathIdentity &id = ids[j];
    QString name = tr("path %1").arg(id.number);
    if (!id.route.isEmpty())
        name += QStringLiteral(" · ") + PathTip::route(id);
    if (std::isfinite(id.reff))
        name += QStringLiteral(" %1 Å").arg(id.reff, 0, 'f', 3);
    return name;
}
