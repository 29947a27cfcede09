#ifndef SHOWNCURVES_H
#define SHOWNCURVES_H

#include "plot/plotcurve.h"

#include <QCoreApplication>
#include <QVector>

#include <functional>

class Chi;
class Demeter;
class MeasuredCurves;
class SiteGroup;

// The curves a plot window draws, in its drawing order: every shown job's
// total (and its fit, and with Show2 its checked paths), the shown site
// averages (and their fits), the shown measured curves; in chi(R) each
// component that is drawn, a fit as its magnitude only.
class ShownCurves
{
    Q_DECLARE_TR_FUNCTIONS(ShownCurves)
public:
    struct Choice
    {
        bool chiR = false;
        int kWeight = 0; // chi(k) only
        bool abs = true, re = false, im = false;
        std::function<bool(int)> pathShown;
        // The chi(R) drawn for a curve (in the standard transform, made again
        // with the window's weight).
        std::function<const Chi &(const Chi &)> curveOf;
        // The path fit of a job or site group to draw; null for none.
        std::function<const Chi *(const QObject *)> fitOf;
    };

    static QVector<PlotCurve> collect(const QVector<Demeter *> &jobs,
                                      const QVector<const SiteGroup *> &groups,
                                      const MeasuredCurves &measured, const Choice &choice);

    // "path 23 · Ca–O 2.356 Å", or "path 4" without FEFF's lists.
    static QString pathName(const Demeter &job, int j);

private:
    static void addJob(QVector<PlotCurve> &out, const Demeter &job, const Choice &choice);
    static void addFit(QVector<PlotCurve> &out, const PlotCurve &owner, const QObject *source,
                       const Choice &choice);
    static void addCurve(QVector<PlotCurve> &out, PlotCurve base, const Chi &chi,
                         const Choice &choice, bool abs, bool re, bool im);
};

#endif
