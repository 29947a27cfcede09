#ifndef FITCURVES_H
#define FITCURVES_H

#include "chi/ftoptions.h"

#include <QVector>

#include <map>
#include <memory>

class Chi;
class QObject;

// The fitted chi(k) of the jobs and site groups that have a path fit, each
// transformed to chi(R) like its job, for the plots to draw beside the job's
// own curve. Sources are keys only, never dereferenced.
class FitCurves
{
public:
    FitCurves();
    ~FitCurves();

    // Replaces the source's curve; an empty k removes it.
    void set(const QObject *source, const QVector<double> &k, const QVector<double> &chi,
             const TransformArgs &args);
    void remove(const QObject *source);
    // Null when the source has no fit.
    const Chi *curve(const QObject *source) const;
    int size() const { return int(curves.size()); }

private:
    std::map<const QObject *, std::unique_ptr<Chi>> curves;
};

#endif
