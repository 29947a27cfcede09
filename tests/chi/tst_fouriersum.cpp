#include "chi/chi.h"
#include "chi/fouriersum.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

// fourierSums on its own, both inner loops, against sums formed in long
// double: tight enough to see the grid's rounding drift if it were ignored.
class TstFourierSum : public QObject
{
    Q_OBJECT
private slots:
    void againstLongDouble_data();
    void againstLongDouble();
    void emptyInputs();
};

namespace {

QVector<double> accumulatedGrid(double rMin, double rMax, double rDelta)
{
    QVector<double> r;
    double R = rMin;
    do {
        r.append(R);
        R = R + rDelta;
    } while (rMax >= R);
    return r;
}

QVector<double> feffK;
QVector<double> feffChi;

} // namespace

void TstFourierSum::againstLongDouble_data()
{
    QTest::addColumn<QVector<double>>("k");
    QTest::addColumn<QVector<double>>("chi");
    QTest::addColumn<QVector<double>>("r");

    Chi feff;
    feff.readChiK(QStringLiteral(CHI_TEST_DATA "/chi.dat"));
    QVERIFY(feff.hasChiK);
    QVector<double> k;
    QVector<double> chi;
    QRandomGenerator random(7);
    for (int i = 0; i < 300; ++i) {
        k.append(random.bounded(25.0));
        chi.append(random.bounded(2.0) - 1.0);
    }
    QVector<double> scattered;
    for (int i = 0; i < 100; ++i)
        scattered.append(random.bounded(30.0) - 10.0);
    // More points than one pass takes.
    QVector<double> manyK;
    QVector<double> manyChi;
    for (int i = 0; i < 2500; ++i) {
        manyK.append(random.bounded(20.0));
        manyChi.append(random.bounded(2.0) - 1.0);
    }
    // Off the even step by up to 1e-7: corrections of up to 2k * 1e-7.
    QVector<double> jittered;
    for (int n = 0; n < 400; ++n)
        jittered.append(n * 0.01 + (random.bounded(2.0) - 1.0) * 1e-7);
    QVector<double> falling;
    for (double R = 5.0; R > -1.0; R -= 0.01)
        falling.append(R);

    const struct
    {
        const char *name;
        QVector<double> k, chi, r;
    } rows[] = {
        {"FEFF, 0 to 8 by 0.01", feff.k, feff.chi, accumulatedGrid(0.0, 8.0, 0.01)},
        {"FEFF, 0 to 20 by 0.003", feff.k, feff.chi, accumulatedGrid(0.0, 20.0, 0.003)},
        {"FEFF, 0 to 100 by 0.37", feff.k, feff.chi, accumulatedGrid(0.0, 100.0, 0.37)},
        {"random k, -2 to 2 by 0.013", k, chi, accumulatedGrid(-2.0, 2.0, 0.013)},
        {"random k, 0.003 to 15 by 0.0071", k, chi, accumulatedGrid(0.003, 15.0, 0.0071)},
        {"random k, 100 to 101 by 0.0007", k, chi, accumulatedGrid(100.0, 101.0, 0.0007)},
        {"random k, scattered grid", k, chi, scattered},
        {"random k, steps of 0.01 with 1e-7 jitter", k, chi, jittered},
        {"random k, falling grid", k, chi, falling},
        {"random k, one grid point", k, chi, {2.5}},
        {"2500 random k, 0 to 2 by 0.01", manyK, manyChi, accumulatedGrid(0.0, 2.0, 0.01)},
        {"one k point, 0 to 8 by 0.01", {7.3}, {0.4}, accumulatedGrid(0.0, 8.0, 0.01)},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << row.k << row.chi << row.r;
}

// The reference forms 2kR and its sine and cosine in long double, so its
// own error is far below that of any double computation. The bound allows
// for the rounding of 2kR in double (which the definition itself has) and a
// few ulp per term. Every inner loop is checked (those the processor lacks
// fall back to the portable one).
void TstFourierSum::againstLongDouble()
{
    QFETCH(QVector<double>, k);
    QFETCH(QVector<double>, chi);
    QFETCH(QVector<double>, r);
    QVector<double> refRe(r.size());
    QVector<double> refIm(r.size());
    QVector<double> bound(r.size());
    for (int n = 0; n < r.size(); ++n) {
        long double sumRe = 0.0L;
        long double sumIm = 0.0L;
        double allowed = 0.0;
        for (int i = 0; i < k.size(); ++i) {
            const long double x = 2.0L * k[i] * r[n];
            sumRe += chi[i] * std::cos(x);
            sumIm += chi[i] * std::sin(x);
            allowed += std::fabs(chi[i]) * (8.0 + std::fabs(double(x))) * 2.3e-16;
        }
        refRe[n] = double(sumRe);
        refIm[n] = double(sumIm);
        bound[n] = allowed;
    }
    const struct
    {
        const char *name;
        FourierKernel kernel;
    } kernels[] = {{"best", FourierKernel::Best},
                   {"portable", FourierKernel::Portable},
                   {"AVX2", FourierKernel::Avx2},
                   {"AVX-512", FourierKernel::Avx512}};
    for (const auto &kernel : kernels) {
        QVector<double> re;
        QVector<double> im;
        fourierSums(k, chi, r, re, im, kernel.kernel);
        QCOMPARE(re.size(), r.size());
        QCOMPARE(im.size(), r.size());
        for (int n = 0; n < r.size(); ++n) {
            const double deviation =
                std::max(std::fabs(re[n] - refRe[n]), std::fabs(im[n] - refIm[n]));
            QVERIFY2(deviation <= bound[n],
                     qPrintable(QStringLiteral("%1 kernel, R = %2: deviation %3, bound %4")
                                    .arg(QLatin1String(kernel.name))
                                    .arg(r[n])
                                    .arg(deviation)
                                    .arg(bound[n])));
        }
    }
}

void TstFourierSum::emptyInputs()
{
    QVector<double> re{1.0};
    QVector<double> im{1.0};
    fourierSums({}, {}, {0.0, 0.1}, re, im);
    QCOMPARE(re, (QVector<double>{0.0, 0.0}));
    QCOMPARE(im, (QVector<double>{0.0, 0.0}));
    fourierSums({1.0}, {1.0}, {}, re, im);
    QVERIFY(re.isEmpty() && im.isEmpty());
}

QTEST_GUILESS_MAIN(TstFourierSum)
#include "tst_fouriersum.moc"
