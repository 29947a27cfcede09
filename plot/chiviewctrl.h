#ifndef CHIVIEWCTRL_H
#define CHIVIEWCTRL_H

#include "chi/ftoptions.h"
#include "plot/ccolors.h"
#include "plot/fitcurves.h"
#include "plot/groupcurves.h"
#include "plot/plotcurve.h"
#include "plot/weightedchir.h"

#include <QObject>
#include <QPainter>
#include <QVector>

class ChCoord;
class MeasuredCurves;
class ChiView;
class Demeter;
class SiteGroup;
struct Extent;
struct FitResult;

// Owns the chi(k) and chi(R) windows, gives every job its curve colour and
// draws both charts into the windows' surfaces. The windows have no parent
// and are never deleted: they live until the application ends. Jobs are not
// owned.
class ChiViewCtrl : public QObject
{
    Q_OBJECT
public:
    explicit ChiViewCtrl(QObject *parent = nullptr);

    void addDemeter(Demeter *job);
    void removeDemeter(Demeter *job);
    // A site group's average is drawn like a job's total, with a wider pen.
    void addSiteGroup(SiteGroup *group);
    void removeSiteGroup(SiteGroup *group);
    // The path fit of a job or site group, drawn dashed in its colour while
    // the window's "Fit" box is checked; an invalid result removes it.
    void setFit(QObject *source, const FitResult &result);
    bool hasFit(const QObject *source) const { return fits.curve(source) != nullptr; }

    ChiView *chiKView() const { return kView; }
    ChiView *chiRView() const { return rView; }
    // The measured chi(k) curves drawn in both windows (dropped onto them or
    // named by -data).
    MeasuredCurves *measuredCurves() const { return measured; }
    // The curves the window draws now, in drawing order: the chart, its
    // legend and its data export all take this list.
    QVector<PlotCurve> shownCurves(ChiView *view);
    // Saves what the window shows into fileName (PNG, SVG or data by its
    // suffix) and says so in the log; false when it could not.
    bool saveView(ChiView *view, const QString &fileName);

    CColors palette;

signals:
    void log(QString msg);

public slots:
    void drawChiK(QPainter *p);
    void drawChiR(QPainter *p);
    void changedShow2B(bool f);
    void showChiK();
    void showChiR();

private:
    void askAndSave(ChiView *view);
    void drawLegend(QPainter *p, ChiView *view, const QVector<PlotCurve> &curves);
    static bool curveBounds(const QVector<PlotCurve> &curves, const Extent &defX,
                            const Extent &defY, double &xLo, double &xHi, double &yLo, double &yHi);
    bool autoRangeK(const QVector<PlotCurve> &curves);
    bool autoRangeR(const QVector<PlotCurve> &curves);
    static int kWeight(const ChiView *view);
    TransformArgs shownTransform();
    // What the chi(R) chart draws for a curve: in the standard transform,
    // the curve made again with the weight of the window's buttons.
    const Chi &curveR(const Chi &source);
    bool pathShown(const ChiView *view, int j) const;
    static void drawGrid(QPainter *p, const ChCoord &c);
    static void drawFrame(QPainter *p, const ChCoord &c);
    static void showCursor(ChiView *view);
    static void widen(double &lo, double &hi, bool has, const Extent &e, double defLo,
                      double defHi);

    ChiView *kView;
    ChiView *rView;
    MeasuredCurves *measured; // child
    QVector<Demeter *> jobs;
    GroupCurves groups;
    FitCurves fits;
    WeightedChiR weighted;
    QString saveFolder;    // where the last plot was saved, at first the start-up folder
    int drawnRWeight = -1; // the chi(R) window's button at the last paint; -1 none
};

#endif
