#include "fit/pathmodel.h"

#include "chi/feffpaths.h"

#include <QDir>

#include <algorithm>
#include <cmath>

namespace {

struct Candidate
{
    int number;
    double amplitude;
    double reff;
    int legs;
};

// files.dat's paths with reff <= rMax, strongest first, ties by number.
QVector<Candidate> candidates(const FeffPaths &lists, const FitSettings &settings)
{
    QVector<Candidate> out;
    for (const PathIdentity &id : lists.listedPaths())
        if (id.hasFigures() && id.reff <= settings.pathRMax)
            out.append({id.number, id.amplitude, id.reff, id.legs});
    std::stable_sort(out.begin(), out.end(), [](const Candidate &a, const Candidate &b) {
        return a.amplitude != b.amplitude ? a.amplitude > b.amplitude : a.number < b.number;
    });
    if (out.size() > settings.maxPaths)
        out.resize(std::max(0, settings.maxPaths));
    return out;
}

} // namespace

bool PathModel::load(const QVector<QPair<QString, double>> &folders, const FitSettings &settings,
                     QString *reason)
{
    paths.clear();
    double total = 0.0;
    for (const auto &folder : folders)
        total += folder.second;
    if (folders.isEmpty() || !(total > 0.0)) {
        *reason = tr("no folder with a positive weight to fit");
        return false;
    }
    for (const auto &folder : folders) {
        FeffPaths lists;
        lists.read(folder.first);
        const QVector<Candidate> chosen = candidates(lists, settings);
        if (chosen.isEmpty()) {
            *reason =
                tr("no FEFF path files (files.dat and feffNNNN.dat with reff up to %1 A) in %2")
                    .arg(settings.pathRMax)
                    .arg(QDir::toNativeSeparators(folder.first));
            return false;
        }
        for (const Candidate &c : chosen) {
            Path path;
            const QString file =
                QDir(folder.first)
                    .filePath(QStringLiteral("feff%1.dat").arg(c.number, 4, 10, QLatin1Char('0')));
            QString error;
            if (!path.feff.read(file, &error)) {
                *reason = error;
                return false;
            }
            path.share = folder.second / total;
            paths.append(path);
        }
    }
    shortest = paths.first().feff.reff();
    for (const Path &path : paths)
        shortest = std::min(shortest, path.feff.reff());
    // sigma^2 of the first shell: single scattering within 0.25 A of the
    // shortest path.
    for (Path &path : paths)
        path.firstShell = path.feff.legs() == 2 && path.feff.reff() - shortest <= 0.25;
    return true;
}

QVector<int> PathModel::pathNumbers() const
{
    QVector<int> out;
    for (const Path &path : paths)
        out.append(path.feff.number());
    return out;
}

PathParameters PathModel::pathParameters(int path, const double *p) const
{
    const Path &one = paths[path];
    PathParameters out;
    out.s02 = p[S02] * one.share;
    out.de0 = p[De0];
    out.deltaR = p[Alpha] * one.feff.reff();
    out.sigma2 = one.firstShell ? p[Ss1] : p[Ss2];
    return out;
}

void PathModel::chi(const double *k, int n, const double *p, double *out) const
{
    std::fill(out, out + n, 0.0);
    QVector<double> one(n);
    for (int j = 0; j < paths.size(); ++j) {
        paths[j].feff.chi(k, n, pathParameters(j, p), one.data());
        for (int i = 0; i < n; ++i)
            out[i] += one[i];
    }
}

void PathModel::setPoints(const double *k, int n)
{
    points = QVector<double>(k, k + n);
    for (Cache &cache : caches) {
        cache.waves.resize(paths.size() * n);
        cache.de0 = qQNaN();
    }
}

// The minimiser asks for the Jacobian where it has just asked for the
// residual, and the Jacobian's difference in de0 keeps the other parameters:
// the spline terms of the last two shifts are kept.
const FeffPath::Wave *PathModel::wavesAt(double de0) const
{
    for (const Cache &cache : caches)
        if (cache.de0 == de0)
            return cache.waves.constData();
    Cache &cache = caches[nextCache];
    nextCache = 1 - nextCache;
    const int n = points.size();
    for (int j = 0; j < paths.size(); ++j)
        paths[j].feff.waves(points.constData(), n, de0, cache.waves.data() + j * n);
    cache.de0 = de0;
    return cache.waves.constData();
}

void PathModel::evaluate(const double *p, double *model, double *jacobian) const
{
    sumAt(p, model, jacobian);
}

// Sums the paths at the points. With jacobian, fills every column in closed
// form: each path is Im G with G = A exp(Z); sigma^2 and dR enter Z linearly,
// and the shift moves q, on which A and Z depend through the spline terms.
void PathModel::sumAt(const double *p, double *model, double *jacobian) const
{
    const int n = points.size();
    std::fill(model, model + n, 0.0);
    if (jacobian)
        std::fill(jacobian, jacobian + ParameterCount * n, 0.0);
    const FeffPath::Wave *all = wavesAt(p[De0]);
    for (int j = 0; j < paths.size(); ++j) {
        const Path &path = paths[j];
        const FeffPath::Wave *w = all + j * n;
        const double reff = path.feff.reff();
        const double sigma2 = path.firstShell ? p[Ss1] : p[Ss2];
        const double dR = p[Alpha] * reff;
        const double r = reff + dR;
        const double scale = path.feff.degeneracy() * p[S02] * path.share / (r * r);
        const double dRp = dR - 2.0 * sigma2 / reff;
        double *dSigma = jacobian ? jacobian + (path.firstShell ? Ss1 : Ss2) * n : nullptr;
        for (int i = 0; i < n; ++i) {
            const FeffPath::Wave &v = w[i];
            const double re = -2.0 * reff * v.pIm - 2.0 * sigma2 * v.ppRe - 2.0 * dRp * v.pIm;
            const double im = v.phase - 2.0 * sigma2 * v.ppIm + 2.0 * dRp * v.pRe;
            const double ez = scale * std::exp(re);
            const double e = ez * v.amp;
            const double sine = std::sin(im);
            const double gIm = e * sine;
            model[i] += gIm;
            if (!jacobian)
                continue;
            const double cosine = std::cos(im);
            const double gRe = e * cosine;
            jacobian[S02 * n + i] += gIm / p[S02];
            // dZ/dsigma^2 = -2 p^2 - 4 i p / reff
            const double zsRe = -2.0 * v.ppRe + 4.0 * v.pIm / reff;
            const double zsIm = -2.0 * v.ppIm - 4.0 * v.pRe / reff;
            dSigma[i] += gRe * zsIm + gIm * zsRe;
            // dZ/ddR = 2 i p, and the amplitude's 1/r^2
            const double dDr = gRe * 2.0 * v.pRe - gIm * 2.0 * v.pIm - 2.0 * gIm / r;
            jacobian[Alpha * n + i] += dDr * reff;
            // d/dq of amp exp(Z), times dq/ddE0 = -ETOK / 2|q|
            const double zqRe = -2.0 * reff * v.dpIm - 2.0 * sigma2 * v.dppRe - 2.0 * dRp * v.dpIm;
            const double zqIm = v.dPhase - 2.0 * sigma2 * v.dppIm + 2.0 * dRp * v.dpRe;
            const double dq = ez * (v.dAmp * sine + v.amp * (cosine * zqIm + sine * zqRe));
            jacobian[De0 * n + i] += dq * (-FeffPath::ETOK / (2.0 * std::fabs(v.q)));
        }
    }
}
