#include "chi/agreement.h"
#include "chi/chi.h"
#include "chi/rankingtable.h"

#include <QtTest>
#include <cmath>

using V = QVector<double>;

namespace {

void setCurve(Chi &c, const V &k, const V &chi)
{
    c.k = k;
    c.chi = chi;
    c.hasChiK = !k.isEmpty();
}

// The transform mode and weight of the settings must not matter: the R
// figure always uses the standard transform with the fit's weight.
TransformArgs plainArgs(double kMin, double kMax, double dk)
{
    TransformArgs args{kMin, kMax, 0.0, 4.0, 0.25, FtOptions()};
    args.ft.dk = dk;
    args.ft.kWeight = 0;
    return args;
}

bool near(double a, double b)
{
    return std::fabs(a - b) <= 1e-12 * std::max(1.0, std::fabs(b));
}

} // namespace

class TestAgreement : public QObject
{
    Q_OBJECT
private slots:
    // Rows printed by data/agreement_reference.py.
    void inK_data()
    {
        QTest::addColumn<double>("kMin");
        QTest::addColumn<double>("kMax");
        QTest::addColumn<int>("m");
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("r");
        QTest::addColumn<int>("points");
        // clang-format off
    QTest::newRow("m1, all points") << 0.0 << 10.0 << 1 << 0.20594965675057209 << 0.8780561242924245 << 3;
    QTest::newRow("m2, K_MAX on a job point") << 0.0 << 2.0 << 2 << -0.11150259067357512 << 0.8965717348579597 << 2;
    QTest::newRow("m3, K_MIN on a job point") << 2.0 << 10.0 << 3 << 0.36017994938923426 << 0.7505847416356248 << 2;
        // clang-format on
    }
    void inK()
    {
        QFETCH(double, kMin);
        QFETCH(double, kMax);
        QFETCH(int, m);
        QFETCH(double, scale);
        QFETCH(double, r);
        Chi measured, job;
        // The points at 0.5 and 3.5 lie outside the job's k range.
        setCurve(measured, {0.5, 1.5, 2.0, 2.5, 3.5}, {9.0, 1.0, -0.5, 1.0, 9.0});
        setCurve(job, {1.0, 2.0, 3.0}, {1.0, 2.0, 0.0});
        AgreementFigures f;
        Agreement::inK(measured, job, kMin, kMax, m, f);
        QTEST(f.pointsK, "points");
        QVERIFY2(near(f.scaleK, scale), qPrintable(QString::number(f.scaleK, 'g', 17)));
        QVERIFY2(near(f.rK, r), qPrintable(QString::number(f.rK, 'g', 17)));
    }
    void inR_data()
    {
        QTest::addColumn<double>("kMin");
        QTest::addColumn<double>("kMax");
        QTest::addColumn<double>("dk");
        QTest::addColumn<int>("m");
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("r");
        QTest::addColumn<int>("points");
        // clang-format off
    QTest::newRow("hanning dk1 m2") << 3.0 << 5.0 << 1.0 << 2 << -3.8499036539285725 << 0.8773719050507995 << 9;
    QTest::newRow("hanning dk0.5 m3") << 3.0 << 5.0 << 0.5 << 3 << -1.110156771871576 << 0.9687302630025637 << 9;
        // clang-format on
    }
    void inR()
    {
        QFETCH(double, kMin);
        QFETCH(double, kMax);
        QFETCH(double, dk);
        QFETCH(int, m);
        QFETCH(double, scale);
        QFETCH(double, r);
        // The grids of agreement_reference.py.
        Chi measured, job;
        for (int i = 0; i <= 40; ++i) {
            measured.k << 2.0 + 0.1 * i;
            measured.chi << ((i * 7) % 11 - 5) / 10.0;
        }
        for (int i = 0; i <= 80; ++i) {
            job.k << 2.0 + 0.05 * i;
            job.chi << ((i * 5) % 13 - 6) / 12.0;
        }
        measured.hasChiK = job.hasChiK = true;
        const AgreementFigures f =
            Agreement::compute(measured, job, plainArgs(kMin, kMax, dk), FitOptions{m, 1.0, 3.0});
        QTEST(f.pointsR, "points");
        QVERIFY2(near(f.scaleR, scale), qPrintable(QString::number(f.scaleR, 'g', 17)));
        QVERIFY2(near(f.rR, r), qPrintable(QString::number(f.rR, 'g', 17)));
    }
    // A measurement that is 0.8 times a FEFF curve: scale 0.8 and no misfit
    // (m 2, k 3 to 14).
    void scaledJob()
    {
        Chi job, measured;
        job.readChiK(QStringLiteral(CHI_TEST_DATA "/chi.dat"));
        QVERIFY(job.k.size() > 100);
        setCurve(measured, job.k, job.chi);
        for (double &v : measured.chi)
            v *= 0.8;
        const TransformArgs args{3.0, 14.0, 0.0, 8.0, 0.01, FtOptions()};
        const AgreementFigures f = Agreement::compute(measured, job, args, FitOptions{2, 1.0, 3.0});
        QVERIFY(f.pointsK > 50);
        QCOMPARE(f.pointsR, 201);
        QVERIFY(std::fabs(f.scaleK - 0.8) < 1e-12);
        QVERIFY(std::fabs(f.scaleR - 0.8) < 1e-12);
        QVERIFY(f.rK < 1e-24);
        QVERIFY(f.rR < 1e-24);
    }
    void noFigure_data()
    {
        QTest::addColumn<V>("measuredK");
        QTest::addColumn<V>("measuredChi");
        QTest::addColumn<V>("jobChi");
        QTest::addColumn<bool>("hasK");
        QTest::addColumn<bool>("hasR");
        QTest::newRow("measured beyond the job's k range")
            << V{10.0, 11.0, 12.0} << V{0.1, 0.2, 0.1} << V{0.1, -0.1, 0.2, 0.3} << false << true;
        QTest::newRow("job of zeros") << V{3.0, 4.0, 5.0, 6.0} << V{0.1, 0.2, 0.1, 0.3}
                                      << V{0.0, 0.0, 0.0, 0.0} << false << false;
        QTest::newRow("no measured points")
            << V() << V() << V{0.1, -0.1, 0.2, 0.3} << false << false;
    }
    void noFigure()
    {
        QFETCH(V, measuredK);
        QFETCH(V, measuredChi);
        QFETCH(V, jobChi);
        QFETCH(bool, hasK);
        QFETCH(bool, hasR);
        Chi measured, job;
        setCurve(measured, measuredK, measuredChi);
        setCurve(job, {3.0, 4.0, 5.0, 6.0}, jobChi);
        const AgreementFigures f =
            Agreement::compute(measured, job, plainArgs(0.0, 20.0, 0.0), FitOptions{2, 0.0, 4.0});
        QCOMPARE(f.hasK(), hasK);
        QCOMPARE(f.hasR(), hasR);
        QCOMPARE(std::isnan(f.scaleK), !hasK);
        QCOMPARE(std::isnan(f.scaleR), !hasR);
    }
    void ranking_data()
    {
        QTest::addColumn<QVector<double>>("rK"); // of jobs a, b, c, ... in the order they came
        QTest::addColumn<QString>("order");
        const double nan = std::nan("");
        QTest::newRow("ascending") << QVector<double>{0.3, 0.1, 0.2} << "bca";
        QTest::newRow("no figure last") << QVector<double>{nan, 0.5, nan, 0.01} << "dbac";
    }
    void ranking()
    {
        QFETCH(QVector<double>, rK);
        QFETCH(QString, order);
        RankingTable table;
        for (int i = 0; i < rK.size(); ++i) {
            AgreementFigures f;
            f.rK = rK[i];
            table.add(QString(QChar('a' + i)), QStringLiteral("in\tput"), f);
        }
        QString got;
        for (const RankingTable::Row &row : table.sorted())
            got += row.job;
        QCOMPARE(got, order);
        const QStringList lines = table.text().split('\n');
        QCOMPARE(lines.size(), rK.size() + 2);
        QCOMPARE(lines.at(1).split('\t').mid(1, 3),
                 (QStringList{"in?put", QString::number(rK[order.at(0).unicode() - 'a']), "nan"}));
    }
};

QTEST_GUILESS_MAIN(TestAgreement)
#include "tst_agreement.moc"
