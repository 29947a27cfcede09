#ifndef PLOTFIXTURE_H
#define PLOTFIXTURE_H

#include "app/settings.h"
#include "jobs/demeter.h"
#include "plot/chiview.h"
#include "plot/chiviewctrl.h"
#include "tests/plot/plotpixels.h"

#include <QLayout>
#include <QTemporaryDir>
#include <QtTest>

// A plot controller with its two windows and the jobs a test adds; setUp()
// runs after the common part of init.
class PlotFixture : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        dir.reset(new QTemporaryDir);
        QVERIFY(dir->isValid());
        ctrl = new ChiViewCtrl;
        logged.clear();
        connect(ctrl, &ChiViewCtrl::log, this, [this](const QString &line) { logged << line; });
        setUp();
    }
    void cleanup()
    {
        qDeleteAll(jobs);
        jobs.clear();
        // The application never deletes the windows; the tests do.
        delete ctrl->chiKView();
        delete ctrl->chiRView();
        delete ctrl;
    }

protected:
    virtual void setUp() {}
    // A shown job with the data of setData().
    Demeter *addJob(const Values &x = {}, const Values &y = {}, bool r = false)
    {
        Settings s; // the job reads its input file only when asked to
        s.resDir = dir->filePath(QStringLiteral("res"));
        const QString input = dir->filePath(QStringLiteral("job%1.inp").arg(jobs.size()));
        jobs << new Demeter(s, QFileInfo(input), Demeter::FeffWaiting);
        ctrl->addDemeter(jobs.last());
        setData(jobs.last()->chi, x, y, r);
        jobs.last()->ui.Show->setChecked(true);
        return jobs.last();
    }
    // Paints the window's surface at 600 x 400 (plot area 60..570 by
    // 360..20), with fixedRange in the range x -15..20, y -20..20 instead of
    // an automatic one.
    static QImage render(ChiView *v, bool fixedRange = false)
    {
        if (fixedRange) {
            v->rescale = false;
            surface(v)->coord.setRange(-15, -20, 20, 20);
        }
        // Let the layout size the surface first, then set the size assumed.
        v->ensurePolished();
        v->layout()->activate();
        DispA *d = surface(v);
        d->setFixedSize(600, 400); // so that no later layout pass changes it
        QImage img(d->size(), QImage::Format_RGB32);
        img.fill(Qt::green);
        d->render(&img);
        return img;
    }

    QScopedPointer<QTemporaryDir> dir;
    ChiViewCtrl *ctrl = nullptr;
    QVector<Demeter *> jobs;
    QStringList logged; // by ctrl, in this test
};

#endif
