#include "plot/chiviewctrl.h"

#include "chi/chi.h"
#include "fit/fitresult.h"
#include "jobs/demeter.h"
#include "jobs/sitegroup.h"
#include "plot/axis.h"
#include "plot/axistitles.h"
#include "plot/chiview.h"
#include "plot/datadrop.h"
#include "plot/dataline.h"
#include "plot/drawtext.h"
#include "plot/measuredcurves.h"
#include "plot/pathtip.h"
#include "plot/plotexport.h"
#include "plot/plotlegend.h"
#include "plot/showncurves.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace {

constexpr double maxLabelPointSize = 15;

} // namespace

ChiViewCtrl::ChiViewCtrl(QObject *parent)
    : QObject(parent), palette(40), kView(new ChiView), rView(new ChiView),
      measured(new MeasuredCurves(this)),
      // The folder the program was started in: jobs move the current folder
      // into their result folders, where a figure would be lost.
      saveFolder(QDir::currentPath())
{
    kView->AxName->setText(tr("k"));
    kView->setWindowTitle(tr("chi k View"));
    kView->ComplexLineSelect->hide();
    kView->setChips(0);
    rView->AxName->setText(tr("R"));
    rView->setWindowTitle(tr("chi R View"));
    rView->ComplexLineSelect->show();
    rView->setChips(0);
    connect(kView, &ChiView::draw, this, &ChiViewCtrl::drawChiK);
    connect(rView, &ChiView::draw, this, &ChiViewCtrl::drawChiR);
    connect(kView, &ChiView::log, this, &ChiViewCtrl::log);
    connect(rView, &ChiView::log, this, &ChiViewCtrl::log);
    connect(measured, &MeasuredCurves::log, this, &ChiViewCtrl::log);
    for (ChiView *v : {kView, rView}) {
        auto *drop = new DataDrop(v);
        connect(drop, &DataDrop::dropped, measured, &MeasuredCurves::add);
        connect(drop, &DataDrop::log, this, &ChiViewCtrl::log);
        connect(v, &ChiView::saveRequested, this, [this, v] { askAndSave(v); });
        // A curve that comes or goes changes the ranges.
        connect(measured, &MeasuredCurves::curvesChanged, v, &ChiView::followCurves);
    }
}

// The colour follows the list length at the moment of adding, so after a
// removal a new job can share a colour with one still listed.
void ChiViewCtrl::addDemeter(Demeter *job)
{
    const QColor c = palette.colors[(jobs.size() + groups.size()) % palette.colors.size()];
    job->color = c;
    job->ui.ColorDisp->background = c;
    job->ui.ColorDisp->update();
    jobs.append(job);
    for (ChiView *v : {kView, rView}) {
        connect(job, &Demeter::newChi, v, [v, job] {
            if (job->ui.Show->isChecked())
                v->followCurves();
            else
                v->update();
        });
        connect(job, &Demeter::showChanged, v, &ChiView::followCurves);
    }
    connect(job, &Demeter::show2BToggled, this, &ChiViewCtrl::changedShow2B);
}

void ChiViewCtrl::removeDemeter(Demeter *job)
{
    jobs.removeOne(job);
    fits.remove(job);
    if (job->ui.Show->isChecked())
        for (ChiView *v : {kView, rView})
            v->followCurves();
}

void ChiViewCtrl::addSiteGroup(SiteGroup *group)
{
    group->color = palette.colors[(jobs.size() + groups.size()) % palette.colors.size()];
    groups.add(group);
    for (ChiView *v : {kView, rView}) {
        connect(group, &SiteGroup::newChi, v, [v, group] {
            if (group->isShown())
                v->followCurves();
            else
                v->update();
        });
        connect(group, &SiteGroup::showChanged, v, &ChiView::followCurves);
    }
}

void ChiViewCtrl::removeSiteGroup(SiteGroup *group)
{
    groups.remove(group);
    fits.remove(group);
    kView->followCurves();
    rView->followCurves();
}

// The fit's chi(R) is made with the settings of its job's own, so that the
// two curves compare point for point.
void ChiViewCtrl::setFit(QObject *source, const FitResult &result)
{
    if (!result.valid) {
        fits.remove(source);
    } else {
        TransformArgs args = measured->transformArgs();
        if (const auto *job = qobject_cast<const Demeter *>(source); job && job->chi.hasChiR)
            args = job->chi.transformed;
        else if (const auto *group = qobject_cast<const SiteGroup *>(source);
                 group && group->average.hasChiR)
            args = group->average.transformed;
        fits.set(source, result.k, result.fitted, args);
    }
    kView->update();
    rView->update();
}

void ChiViewCtrl::changedShow2B(bool f)
{
    const auto *job = qobject_cast<const Demeter *>(sender());
    if (!f || !job)
        return;
    const QStringList tips = PathTip::texts(job->pathIdentities());
    for (ChiView *v : {kView, rView}) {
        v->setChips(job->chips.size());
        v->setPathTips(tips);
    }
}

void ChiViewCtrl::showChiK()
{
    kView->show();
}

void ChiViewCtrl::showChiR()
{
    rView->show();
}

void ChiViewCtrl::drawChiK(QPainter *p)
{
    ChCoord &c = kView->DispChi->coord;
    c.calcPlotArea();
    // A range made unusable elsewhere (clearScale) is replaced like a
    // requested rescale, so the chart never divides by an empty range.
    const QVector<PlotCurve> curves = shownCurves(kView);
    if ((kView->rescale || !c.hasUsableRange()) && !autoRangeK(curves))
        return;
    if (!c.isUsable()) // no plot area: the surface is too small
        return;
    drawCurves(p, c, curves);
    drawGrid(p, c);
    drawFrame(p, c);
    AxisTitles::draw(p, c, AxisTitles::chiK(std::max(0, kWeight(kView))));
    drawLegend(p, kView, curves);
    showCursor(kView);
}

void ChiViewCtrl::drawChiR(QPainter *p)
{
    ChCoord &c = rView->DispChi->coord;
    c.calcPlotArea();
    // A new weight changes the magnitudes by orders: scale afresh, but only
    // where the buttons do anything (the standard transform).
    const int w = kWeight(rView);
    if (w != drawnRWeight) {
        drawnRWeight = w;
        QVector<const Chi *> curves = groups.shown();
        for (const Demeter *job : qAsConst(jobs))
            if (job->ui.Show->isChecked())
                curves.append(&job->chi);
        for (const Chi *curve : qAsConst(curves))
            if (curve->transformed.ft.standard)
                rView->rescale = true;
    }
    const QVector<PlotCurve> curves = shownCurves(rView);
    if ((rView->rescale || !c.hasUsableRange()) && !autoRangeR(curves))
        return;
    if (!c.isUsable())
        return;
    drawCurves(p, c, curves);
    drawGrid(p, c);
    drawFrame(p, c);
    AxisTitles::draw(p, c,
                     AxisTitles::chiR(shownTransform(), rView->SelAbs->isChecked(),
                                      rView->SelReal->isChecked(), rView->SelImag->isChecked()));
    drawLegend(p, rView, curves);
    showCursor(rView);
    weighted.sweep();
}

QVector<PlotCurve> ChiViewCtrl::shownCurves(ChiView *view)
{
    ShownCurves::Choice choice;
    choice.chiR = view == rView;
    choice.kWeight = std::max(0, kWeight(view));
    choice.abs = !choice.chiR || rView->SelAbs->isChecked();
    choice.re = choice.chiR && rView->SelReal->isChecked();
    choice.im = choice.chiR && rView->SelImag->isChecked();
    choice.pathShown = [this, view](int j) { return pathShown(view, j); };
    choice.curveOf = [this](const Chi &source) -> const Chi & { return curveR(source); };
    const bool fitsShown = view->ShowFit->isChecked();
    choice.fitOf = [this, fitsShown](const QObject *source) {
        return fitsShown ? fits.curve(source) : nullptr;
    };
    return ShownCurves::collect(jobs, groups.shownGroups(), *measured, choice);
}

void ChiViewCtrl::drawLegend(QPainter *p, ChiView *view, const QVector<PlotCurve> &curves)
{
    if (view->ShowLegend->isChecked())
        PlotLegend::draw(p, view->DispChi->coord, curves);
}

void ChiViewCtrl::askAndSave(ChiView *view)
{
    const QString name = PlotExport::askFileName(view, saveFolder);
    if (name.isEmpty())
        return;
    saveFolder = QFileInfo(name).absolutePath();
    saveView(view, name);
}

bool ChiViewCtrl::saveView(ChiView *view, const QString &fileName)
{
    const QString problem =
        PlotExport::save(view->DispChi, view->windowTitle(), shownCurves(view), fileName);
    if (problem.isEmpty()) {
        emit log(tr("Saved %1").arg(fileName));
        return true;
    }
    emit log(tr("Can not save %1: %2").arg(fileName, problem));
    return false;
}

bool ChiViewCtrl::pathShown(const ChiView *view, int j) const
{
    return j < view->pathBoxes().size() && view->pathBoxes()[j]->isChecked();
}

// The bounds of the drawn curves' points, as drawn (k-weighted, every chi(R)
// component shown); a curve without a finite point contributes the defaults.
// False when nothing is shown.
bool ChiViewCtrl::curveBounds(const QVector<PlotCurve> &curves, const Extent &defX,
                              const Extent &defY, double &xLo, double &xHi, double &yLo,
                              double &yHi)
{
    xLo = yLo = 1e300;
    xHi = yHi = -1e300;
    for (const PlotCurve &c : curves) {
        Extent x{1e300, -1e300}, y{1e300, -1e300};
        const int n = std::min(c.x.size(), c.y.size());
        for (int i = 0; i < n; ++i) {
            if (!std::isfinite(c.x[i]) || !std::isfinite(c.y[i]))
                continue;
            Chi::updateExtent(c.x[i], x.min, x.max);
            Chi::updateExtent(c.y[i], y.min, y.max);
        }
        const bool has = x.min <= x.max;
        widen(xLo, xHi, has, x, defX.min, defX.max);
        widen(yLo, yHi, has, y, defY.min, defY.max);
    }
    return !curves.isEmpty();
}

// The y range is made symmetric about zero.
bool ChiViewCtrl::autoRangeK(const QVector<PlotCurve> &curves)
{
    double xLo, xHi, yLo, yHi;
    if (!curveBounds(curves, {0, 20}, {-1, 1}, xLo, xHi, yLo, yHi))
        return false;
    if (std::fabs(yLo) > yHi)
        yHi = -yLo;
    else
        yLo = -yHi;
    ChCoord::makeUsable(xLo, xHi, 0, 20);
    ChCoord::makeUsable(yLo, yHi, -1, 1);
    kView->DispChi->coord.setRange(xLo, yLo, xHi, yHi);
    kView->rescale = false;
    return true;
}

bool ChiViewCtrl::autoRangeR(const QVector<PlotCurve> &curves)
{
    double xLo, xHi, yLo, yHi;
    if (!curveBounds(curves, {0, 8}, {0, 1}, xLo, xHi, yLo, yHi))
        return false;
    ChCoord::makeUsable(xLo, xHi, 0, 8);
    ChCoord::makeUsable(yLo, yHi, 0, 1);
    rView->DispChi->coord.setRange(xLo, yLo, xHi, yHi);
    rView->rescale = false;
    return true;
}

// A missing curve contributes the default bounds. So does a bound that is no
// finite number: an extent left empty by NaN-only data, or reaching infinity.
void ChiViewCtrl::widen(double &lo, double &hi, bool has, const Extent &e, double defLo,
                        double defHi)
{
    const bool valid = has && e.min <= e.max;
    lo = std::min(lo, valid && std::isfinite(e.min) ? e.min : defLo);
    hi = std::max(hi, valid && std::isfinite(e.max) ? e.max : defHi);
}

// The checked k-weight button of a window, -1 for none.
int ChiViewCtrl::kWeight(const ChiView *view)
{
    const QRadioButton *buttons[] = {view->kW0, view->kW1, view->kW2, view->kW3};
    for (int w = 0; w < 4; ++w)
        if (buttons[w]->isChecked())
            return w;
    return -1;
}

// The transform of the first shown curve with chi(R) as the chi(R) window
// draws it; every curve is made with the same settings.
TransformArgs ChiViewCtrl::shownTransform()
{
    QVector<const Chi *> curves;
    for (const Demeter *job : qAsConst(jobs))
        if (job->ui.Show->isChecked())
            curves.append(&job->chi);
    curves += groups.shown() + measured->shown();
    for (const Chi *curve : qAsConst(curves))
        if (curve->hasChiR)
            return curveR(*curve).transformed;
    return TransformArgs();
}

// No button: the curve as the job made it, with FT_KWEIGHT.
const Chi &ChiViewCtrl::curveR(const Chi &source)
{
    const int w = kWeight(rView);
    return w < 0 ? source : weighted.curve(source, w);
}

// Grid lines and tick labels in light grey over the curves. Label rows are
// negative pixel heights (the y axis points up).
void ChiViewCtrl::drawGrid(QPainter *p, const ChCoord &c)
{
    p->setPen(QPen(QColor(200, 200, 200), 1, Qt::SolidLine));
    const double rowH = std::trunc((c.plotTop - c.plotBottom) / c.labelRows);
    const double textH = std::fabs(std::trunc(rowH * c.textRatio));
    const double marginW = std::fabs(std::trunc((c.frameRight - c.frameLeft) * c.marginLeft));
    const QFont font = QApplication::font();
    DrawText text;
    double step, first, last;
    axisTicks(c.xMin, c.xMax, step, first, last);
    for (double x : axisTickValues(c.xMin, c.xMax)) {
        const double px = c.xToPixel(x);
        p->drawLine(QLineF(std::trunc(px), std::trunc(c.plotBottom), std::trunc(px),
                           std::trunc(c.plotTop)));
        QRectF r = DrawText::centeredRect(px, c.plotBottom + std::fabs(rowH) - textH / 2,
                                          c.xLenToPixel(step), textH);
        text.fitText(p, r, font, Qt::AlignHCenter | Qt::AlignVCenter, DrawText::Fit,
                     QString::number(x, 'g', 6), maxLabelPointSize);
    }
    for (double y : axisTickValues(c.yMin, c.yMax)) {
        const double py = c.yToPixel(y);
        p->drawLine(QLineF(std::trunc(c.plotLeft), std::trunc(py), std::trunc(c.plotRight),
                           std::trunc(py)));
        QRectF r = DrawText::centeredRect(marginW * 0.5, py, marginW * 0.9, textH);
        text.fitText(p, r, font, Qt::AlignRight | Qt::AlignVCenter, DrawText::Fit, axisNumber(y, 5),
                     maxLabelPointSize);
    }
}

void ChiViewCtrl::drawFrame(QPainter *p, const ChCoord &c)
{
    p->setPen(QPen(QColor(180, 180, 180), 2, Qt::SolidLine));
    const double left = std::trunc(c.plotLeft);
    const double bottom = std::trunc(c.plotBottom);
    const QPointF far(left + std::trunc(c.plotRight - c.plotLeft) - 1,
                      bottom + std::trunc(c.plotTop - c.plotBottom) - 1);
    p->drawRect(QRectF(QPointF(left, bottom), far).normalized());
}

void ChiViewCtrl::showCursor(ChiView *view)
{
    const DispA *d = view->DispChi;
    view->PosX->setText(QString::number(d->coord.pixelToX(d->mouse.curPos.x()), 'g', 6));
    view->PosY->setText(QString::number(d->coord.pixelToY(d->mouse.curPos.y()), 'g', 6));
}
