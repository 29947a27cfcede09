#include "chi/chi.h"
#include "chi/measuredchi.h"
#include "fit/boundedparameter.h"
#include "fit/fittransform.h"
#include "fit/levenbergmarquardt.h"

#include <QFile>
#include <QtTest>

#include <cmath>

// The fit's transform against the reference's window, noise estimate and
// chi(R) (larch_transform.py, larch_transform.txt), the bound transform, and
// the minimiser adapter on a problem with a known minimum.
class TestFitTransform : public QObject
{
    Q_OBJECT
private slots:
    void window_data();
    void window();
    void noiseAndChiR_data();
    void noiseAndChiR();
    void interpolation_data();
    void interpolation();
    void bounds_data();
    void bounds();
    void minimiser_data();
    void minimiser();

private:
    // Lines of the reference file starting with word, split into fields.
    static QVector<QStringList> reference(const QString &word);
};

QVector<QStringList> TestFitTransform::reference(const QString &word)
{
    QFile file(QStringLiteral(FIT_TEST_DATA "/larch_transform.txt"));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QVector<QStringList> out;
    while (!file.atEnd()) {
        const QStringList fields =
            QString::fromLatin1(file.readLine()).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (!fields.isEmpty() && fields.first() == word)
            out.append(fields.mid(1));
    }
    return out;
}

void TestFitTransform::window_data()
{
    QTest::addColumn<QStringList>("row");
    const QVector<QStringList> rows = reference(QStringLiteral("window"));
    QVERIFY(rows.size() >= 4);
    for (const QStringList &row : rows)
        QTest::newRow(qPrintable(QStringLiteral("k %1-%2 dk %3").arg(row[0], row[1], row[2])))
            << row;
}

void TestFitTransform::window()
{
    QFETCH(QStringList, row);
    const QVector<double> w =
        FitTransform::window(row[0].toDouble(), row[1].toDouble(), row[2].toDouble());
    QCOMPARE(w.size(), FitTransform::nFft);
    double sum = 0.0;
    for (double v : w)
        sum += v;
    QVERIFY2(std::fabs(sum - row[3].toDouble()) < 1e-9, qPrintable(QString::number(sum, 'g', 12)));
    const int at[] = {40, 55, 61, 62, 239, 240, 281, 300};
    for (int i = 0; i < 8; ++i)
        QVERIFY2(std::fabs(w[at[i]] - row[4 + i].toDouble()) < 1e-12,
                 qPrintable(QStringLiteral("index %1: %2").arg(at[i]).arg(w[at[i]], 0, 'g', 12)));
}

void TestFitTransform::noiseAndChiR_data()
{
    QTest::addColumn<QStringList>("noise");
    for (const QStringList &row : reference(QStringLiteral("noise")))
        QTest::newRow(qPrintable(row[0])) << row;
}

// The noise and chi(R) of real measured spectra: the same interpolation,
// window, weight and sign convention as the reference (whose Im is that of
// the forward FFT).
void TestFitTransform::noiseAndChiR()
{
    QFETCH(QStringList, noise);
    Chi chi;
    QVERIFY(MeasuredChi::read(QStringLiteral(FIT_TEST_DATA "/") + noise[0], chi).isEmpty());
    FitSettings settings;
    settings.kMin = noise[1].toDouble();
    settings.kMax = noise[2].toDouble();
    settings.dk = noise[3].toDouble();
    settings.kWeight = noise[4].toInt();
    settings.rMin = 0.0;
    settings.rMax = 3.1;
    const QVector<double> grid = FitTransform::grid(chi.k.last());
    const QVector<double> curve = FitTransform::interpolate(chi.k, chi.chi, grid);
    const FitTransform transform(settings, grid.size());
    const double epsR = transform.epsilonR(curve);
    QVERIFY2(std::fabs(epsR / noise[5].toDouble() - 1.0) < 1e-9,
             qPrintable(QString::number(epsR, 'g', 12)));
    QVERIFY(std::fabs(transform.epsilonK(epsR) / noise[6].toDouble() - 1.0) < 1e-9);

    QVector<double> rows(transform.rows());
    transform.apply(curve.constData(), rows.data());
    int checked = 0;
    for (const QStringList &r : reference(QStringLiteral("chir"))) {
        if (r.mid(0, 5) != noise.mid(0, 5))
            continue;
        const int i = r[5].toInt();
        const double scale = std::hypot(r[6].toDouble(), r[7].toDouble());
        QVERIFY(std::fabs(rows[2 * i] - r[6].toDouble()) < 1e-9 * scale);
        QVERIFY(std::fabs(rows[2 * i + 1] - r[7].toDouble()) < 1e-9 * scale);
        ++checked;
    }
    QCOMPARE(checked, 4);
}

void TestFitTransform::interpolation_data()
{
    QTest::addColumn<QVector<double>>("k");
    QTest::addColumn<QVector<double>>("chi");
    QTest::addColumn<double>("at");
    QTest::addColumn<double>("expected");
    const QVector<double> k{0.5, 1.0, 2.0, 2.0, 3.0};
    const QVector<double> chi{1.0, 3.0, 5.0, 7.0, 9.0};
    QTest::newRow("before the first point holds it") << k << chi << 0.0 << 1.0;
    QTest::newRow("between points, linear") << k << chi << 0.75 << 2.0;
    QTest::newRow("past the last point holds it") << k << chi << 3.5 << 9.0;
    QTest::newRow("repeated k: after it the later value") << k << chi << 2.5 << 8.0;
}

void TestFitTransform::interpolation()
{
    QFETCH(QVector<double>, k);
    QFETCH(QVector<double>, chi);
    QFETCH(double, at);
    QFETCH(double, expected);
    QCOMPARE(FitTransform::interpolate(k, chi, {at}).value(0), expected);
}

void TestFitTransform::bounds_data()
{
    QTest::addColumn<double>("lower");
    QTest::addColumn<double>("upper");
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("atBound");
    QTest::newRow("inside") << 0.05 << 3.0 << 0.9 << false;
    QTest::newRow("at the lower bound") << -25.0 << 25.0 << -25.0 << true;
    QTest::newRow("just inside the upper bound") << -0.1 << 0.1 << 0.0997 << false;
    QTest::newRow("within the margin of the upper bound") << -0.1 << 0.1 << 0.09981 << true;
}

// The value survives the round trip through the internal variable, and the
// gradient is the derivative of the map (checked by a central difference).
void TestFitTransform::bounds()
{
    QFETCH(double, lower);
    QFETCH(double, upper);
    QFETCH(double, value);
    QFETCH(bool, atBound);
    const BoundedParameter b{lower, upper};
    const double u = b.toInternal(value);
    QVERIFY(std::fabs(b.toExternal(u) - value) < 1e-12 * (upper - lower));
    const double h = 1e-6;
    const double numeric = (b.toExternal(u + h) - b.toExternal(u - h)) / (2 * h);
    QVERIFY(std::fabs(numeric - b.gradient(u)) < 1e-6 * (upper - lower));
    QCOMPARE(b.atBound(value), atBound);
    // Any internal value maps inside the bounds.
    for (double x : {-10.0, -1.3, 0.7, 42.0})
        QVERIFY(b.toExternal(x) >= lower && b.toExternal(x) <= upper);
}

void TestFitTransform::minimiser_data()
{
    QTest::addColumn<QVector<double>>("start");
    QTest::newRow("near the minimum") << QVector<double>{2.5, 0.6, 0.4};
    QTest::newRow("far from it") << QVector<double>{0.5, 2.0, -1.0};
}

// y = a exp(-b x) + c sampled without noise: the minimum is the generating
// parameters with a zero sum of squares.
void TestFitTransform::minimiser()
{
    QFETCH(QVector<double>, start);
    const double a = 3.0, b = 0.7, c = 0.25;
    QVector<double> x, y;
    for (int i = 0; i < 40; ++i) {
        x << 0.2 * i;
        y << a * std::exp(-b * x.last()) + c;
    }
    const int m = x.size();
    auto problem = [&](const double *p, double *r, double *jac) {
        for (int i = 0; i < m; ++i) {
            const double e = std::exp(-p[1] * x[i]);
            r[i] = p[0] * e + p[2] - y[i];
            if (jac) {
                jac[i] = e;
                jac[m + i] = -p[0] * x[i] * e;
                jac[2 * m + i] = 1.0;
            }
        }
        return true;
    };
    const LevenbergMarquardt::Outcome out = LevenbergMarquardt::minimise(m, start, problem);
    QVERIFY2(out.converged(), qPrintable(QString::number(out.info)));
    QVERIFY(std::fabs(out.x[0] - a) < 1e-6);
    QVERIFY(std::fabs(out.x[1] - b) < 1e-6);
    QVERIFY(std::fabs(out.x[2] - c) < 1e-6);
    QVERIFY(out.sumSquares < 1e-12);
}

QTEST_GUILESS_MAIN(TestFitTransform)
#include "tst_fittransform.moc"
