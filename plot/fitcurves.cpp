#include "plot/fitcurves.h"

#include "chi/chi.h"

#include <algorithm>

FitCurves::FitCurves() = default;

FitCurves::~FitCurves() = default;

void FitCurves::set(const QObject *source, const QVector<double> &k, const QVector<double> &chi,
                    const TransformArgs &args)
{
    const int n = std::min(k.size(), chi.size());
    if (n == 0) {
        remove(source);
        return;
    }
    auto curve = std::make_unique<Chi>();
    for (int i = 0; i < n; ++i) {
        curve->k.append(k[i]);
        curve->chi.append(chi[i]);
        Chi::updateExtent(k[i], curve->kExtent.min, curve->kExtent.max);
        Chi::updateExtent(chi[i], curve->chiExtent.min, curve->chiExtent.max);
    }
    curve->hasChiK = true;
    curve->transform(args);
    curves[source] = std::move(curve);
}

void FitCurves::remove(const QObject *source)
{
    curves.erase(source);
}

const Chi *FitCurves::curve(const QObject *source) const
{
    const auto it = curves.find(source);
    return it == curves.end() ? nullptr : it->second.get();
}
