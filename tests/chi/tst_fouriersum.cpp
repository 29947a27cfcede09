#include "chi/chi.h"
#include "chi/fouriersum.h"

#include <QRandomGenerator>
#include <QtTest>
#include <cmath>

namespace {

using V = QVector<double>;

V accumulatedGrid(double rMin, double rMax, double rDelta)
{
    V r;
    double R = rMin;
    do {
        r << R;
        R = R + rDelta;
    } while (rMax >= R);
    return r;
}

// count values evenly spread over [low, low + width).
V randomValues(QRandomGenerator &random, int count, double low, double width)
{
    V values;
    for (int i = 0; i < count; ++i)
        values << low + random.bounded(width);
    return values;
}

} // namespace

// fourierSums on its own, every inner loop, against sums formed in long
// double: tight enough to see the grid's rounding drift if it were ignored.
class TstFourierSum : public QObject
{
    Q_OBJECT
private slots:
    void againstLongDouble_data()
    {
        QTest::addColumn<V>("k");
        QTest::addColumn<V>("chi");
        QTest::addColumn<V>("r");

        Chi feff;
        feff.readChiK(QStringLiteral(CHI_TEST_DATA "/chi.dat"));
        QVERIFY(feff.hasChiK);
        QRandomGenerator random(7);
        const V k = randomValues(random, 300, 0.0, 25.0);
        const V chi = randomValues(random, 300, -1.0, 2.0);
        // Off the even step by up to 1e-7: corrections of up to 2k * 1e-7.
        V jittered = randomValues(random, 400, -1e-7, 2e-7);
        for (int n = 0; n < jittered.size(); ++n)
            jittered[n] += n * 0.01;
        const struct
        {
            const char *name;
            V k, chi, r;
        } rows[] = {
            {"FEFF, 0 to 8 by 0.01", feff.k, feff.chi, accumulatedGrid(0.0, 8.0, 0.01)},
            {"random k, -2 to 2 by 0.013", k, chi, accumulatedGrid(-2.0, 2.0, 0.013)},
            {"random k, 100 to 101 by 0.0007", k, chi, accumulatedGrid(100.0, 101.0, 0.0007)},
            {"random k, scattered unsorted grid", k, chi, randomValues(random, 100, -10.0, 30.0)},
            {"random k, steps of 0.01 with 1e-7 jitter", k, chi, jittered},
            {"random k, one grid point", k, chi, {2.5}},
            // More points than one pass takes.
            {"2500 random k, 0 to 2 by 0.01", randomValues(random, 2500, 0.0, 20.0),
             randomValues(random, 2500, -1.0, 2.0), accumulatedGrid(0.0, 2.0, 0.01)},
        };
        for (const auto &row : rows)
            QTest::newRow(row.name) << row.k << row.chi << row.r;
    }

    // The reference forms 2kR and its sine and cosine in long double, so its
    // own error is far below that of any double computation. The bound allows
    // for the rounding of 2kR in double (which the definition itself has) and a
    // few ulp per term. Every inner loop is checked (those the processor lacks
    // fall back to the portable one).
    void againstLongDouble()
    {
        QFETCH(V, k);
        QFETCH(V, chi);
        QFETCH(V, r);
        V refRe(r.size()), refIm(r.size()), bound(r.size());
        for (int n = 0; n < r.size(); ++n) {
            long double sumRe = 0.0L, sumIm = 0.0L;
            for (int i = 0; i < k.size(); ++i) {
                const long double x = 2.0L * k[i] * r[n];
                sumRe += chi[i] * std::cos(x);
                sumIm += chi[i] * std::sin(x);
                bound[n] += std::fabs(chi[i]) * (8.0 + std::fabs(double(x))) * 2.3e-16;
            }
            refRe[n] = double(sumRe);
            refIm[n] = double(sumIm);
        }
        for (FourierKernel kernel : {FourierKernel::Best, FourierKernel::Portable,
                                     FourierKernel::Avx2, FourierKernel::Avx512}) {
            V re, im;
            fourierSums(k, chi, r, re, im, kernel);
            QVERIFY(re.size() == r.size() && im.size() == r.size());
            for (int n = 0; n < r.size(); ++n) {
                const double deviation =
                    std::max(std::fabs(re[n] - refRe[n]), std::fabs(im[n] - refIm[n]));
                QVERIFY2(deviation <= bound[n],
                         qPrintable(QString::asprintf("kernel %d, R = %g: deviation %g, bound %g",
                                                      int(kernel), r[n], deviation, bound[n])));
            }
        }
    }

    void emptyInputs()
    {
        V re{1.0}, im{1.0};
        fourierSums({}, {}, {0.0, 0.1}, re, im);
        QCOMPARE(re, (V{0.0, 0.0}));
        QCOMPARE(im, (V{0.0, 0.0}));
        fourierSums({1.0}, {1.0}, {}, re, im);
        QVERIFY(re.isEmpty() && im.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstFourierSum)
#include "tst_fouriersum.moc"
