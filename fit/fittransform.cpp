#include "fit/fittransform.h"

#include "fit/ftwindow.h"

#include <algorithm>
#include <cmath>

double FitTransform::rStep()
{
    return M_PI / (kStep * nFft);
}

QVector<double> FitTransform::grid(double kLast)
{
    const int n = kLast >= 0.0 ? int(1.01 + kLast / kStep) : 0;
    QVector<double> k(std::min(n, nFft));
    for (int i = 0; i < k.size(); ++i)
        k[i] = kStep * i;
    return k;
}

QVector<double> FitTransform::interpolate(const QVector<double> &k, const QVector<double> &chi,
                                          const QVector<double> &grid)
{
    QVector<double> out(grid.size(), 0.0);
    const int n = std::min(k.size(), chi.size());
    if (n == 0)
        return out;
    int j = 0;
    for (int i = 0; i < grid.size(); ++i) {
        const double x = grid[i];
        if (x <= k[0]) {
            out[i] = chi[0];
            continue;
        }
        if (x >= k[n - 1]) {
            out[i] = chi[n - 1];
            continue;
        }
        while (j + 1 < n && k[j + 1] < x)
            ++j;
        // k[j] < x <= k[j + 1]; equal abscissae take the later point.
        const double span = k[j + 1] - k[j];
        out[i] = span > 0.0 ? chi[j] + (chi[j + 1] - chi[j]) * (x - k[j]) / span : chi[j + 1];
    }
    return out;
}

QVector<double> FitTransform::window(double kMin, double kMax, double dk)
{
    QVector<double> x(nFft);
    for (int i = 0; i < nFft; ++i)
        x[i] = kStep * i;
    return FtWindow::hanning(x, kMin, kMax, dk);
}

FitTransform::FitTransform(const FitSettings &settings, int gridPoints)
    : set(settings), win(window(settings.kMin, settings.kMax, settings.dk)), points(gridPoints)
{
    kFirst = 0;
    while (kFirst < points && win[kFirst] == 0.0)
        ++kFirst;
    kLast = points;
    while (kLast > kFirst && win[kLast - 1] == 0.0)
        --kLast;
    weight.resize(kLast - kFirst);
    const double norm = kStep / std::sqrt(M_PI);
    for (int i = kFirst; i < kLast; ++i)
        weight[i - kFirst] = norm * win[i] * std::pow(kStep * i, set.kWeight);
    const int rFirst = int(0.01 + set.rMin / rStep());
    const int rEnd = std::min(nFft / 2, int(0.01 + set.rMax / rStep()));
    rowsMatrix = matrix(rFirst, rEnd);
    rowCount = 2 * std::max(0, rEnd - rFirst);
}

namespace {

// cos and sin of 2 pi j / nFft: every angle of the transform is one of them.
struct TrigTable
{
    double cosine[FitTransform::nFft];
    double sine[FitTransform::nFft];
    TrigTable()
    {
        for (int j = 0; j < FitTransform::nFft; ++j) {
            cosine[j] = std::cos(2.0 * M_PI * j / FitTransform::nFft);
            sine[j] = std::sin(2.0 * M_PI * j / FitTransform::nFft);
        }
    }
};

const TrigTable &trig()
{
    static const TrigTable table; // built once, thread-safe
    return table;
}

} // namespace

QVector<double> FitTransform::matrix(int iFirst, int iEnd) const
{
    const TrigTable &t = trig();
    const int cols = kLast - kFirst;
    const int rowsOut = 2 * std::max(0, iEnd - iFirst);
    QVector<double> m(rowsOut * cols);
    for (int r = iFirst; r < iEnd; ++r) {
        double *re = m.data() + 2 * (r - iFirst) * cols;
        double *im = re + cols;
        for (int i = kFirst; i < kLast; ++i) {
            // exp(-2 pi i n m / N), the forward FFT's sign; n*m reduced first
            // keeps the angle exact for large indices.
            const int j = int((qint64(i) * r) % nFft);
            re[i - kFirst] = weight[i - kFirst] * t.cosine[j];
            im[i - kFirst] = -weight[i - kFirst] * t.sine[j];
        }
    }
    return m;
}

namespace {

// Four partial sums: independent additions keep the multiply-add unit busy
// where one running sum would wait for each addition.
double dot(const double *a, const double *b, int n)
{
    double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
    int j = 0;
    for (; j + 4 <= n; j += 4) {
        s0 += a[j] * b[j];
        s1 += a[j + 1] * b[j + 1];
        s2 += a[j + 2] * b[j + 2];
        s3 += a[j + 3] * b[j + 3];
    }
    for (; j < n; ++j)
        s0 += a[j] * b[j];
    return (s0 + s1) + (s2 + s3);
}

} // namespace

void FitTransform::applyWindowed(const double *values, double *out, int columns) const
{
    const int cols = kLast - kFirst;
    for (int c = 0; c < columns; ++c)
        for (int row = 0; row < rowCount; ++row)
            out[c * rowCount + row] =
                dot(rowsMatrix.constData() + row * cols, values + c * cols, cols);
}

void FitTransform::apply(const double *curve, double *out) const
{
    applyWindowed(curve + kFirst, out);
}

double FitTransform::epsilonR(const QVector<double> &curve) const
{
    const int rFirst = int(0.01 + 15.0 / rStep());
    const int rEnd = std::min(nFft / 2, int(1.01 + 30.0 / rStep()));
    const QVector<double> m = matrix(rFirst, rEnd);
    const int cols = kLast - kFirst;
    const int n = 2 * (rEnd - rFirst);
    if (n <= 0 || cols <= 0 || curve.size() < kLast)
        return 0.0;
    double squares = 0.0;
    for (int row = 0; row < n; ++row) {
        double sum = 0.0;
        for (int j = 0; j < cols; ++j)
            sum += m[row * cols + j] * curve[kFirst + j];
        squares += sum * sum;
    }
    double windowSum = 0.0;
    for (double w : win)
        windowSum += w;
    const double windowMean = windowSum * kStep / (set.kMax - set.kMin);
    return std::sqrt(squares / n) / windowMean;
}

double FitTransform::epsilonK(double epsR) const
{
    const int w = 2 * set.kWeight + 1;
    return epsR *
           std::sqrt(2.0 * M_PI * w / (kStep * (std::pow(set.kMax, w) - std::pow(set.kMin, w))));
}
