#include "data/athenaproject.h"
#include "data/columnfile.h"
#include "data/measureddata.h"

#include <QFile>
#include <QtTest>

#include <cmath>

// mu(E) to chi(k) against the reference library (data/larch_reference.py
// wrote the .ref files from the measured files beside them): e0 within
// 0.5 eV, edge step within 1 %, k^2 chi(k) within 1 % of its largest value
// over 2 to 12 1/A, with the same e0 given.
class TestDataReduction : public QObject
{
    Q_OBJECT

private slots:
    void columnFiles_data();
    void columnFiles();
    void projectGroups_data();
    void projectGroups();
};

namespace {

struct Reference
{
    double e0 = 0.0;
    double edgeStep = 0.0;
    int knots = 0;
    QVector<double> k;
    QVector<double> chi;
};

Reference readReference(const QString &name)
{
    Reference ref;
    QFile file(QStringLiteral(DATA_TEST_DATA "/") + name + QStringLiteral(".ref"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return ref;
    const QStringList head = QString::fromLatin1(file.readLine()).split(QLatin1Char(' '));
    ref.e0 = head.value(2).toDouble();
    ref.edgeStep = head.value(4).toDouble();
    ref.knots = head.value(6).toInt();
    while (!file.atEnd()) {
        const QStringList fields = QString::fromLatin1(file.readLine()).split(QLatin1Char(' '));
        ref.k.append(fields.value(0).toDouble());
        ref.chi.append(fields.value(1).toDouble());
    }
    return ref;
}

// Largest |k^2 (chi - chi_ref)| over 2..12 relative to the largest |k^2 chi_ref|.
double relativeK2Deviation(const QVector<double> &k, const QVector<double> &chi,
                           const Reference &ref)
{
    double largest = 0.0;
    double deviation = 0.0;
    for (int i = 0; i < ref.k.size(); ++i) {
        const double kk = ref.k[i];
        if (kk < 2.0 || kk > 12.0)
            continue;
        const int at = int(std::lround(kk / 0.05));
        if (at >= k.size() || std::fabs(k[at] - kk) > 1e-9)
            return INFINITY;
        largest = std::max(largest, std::fabs(kk * kk * ref.chi[i]));
        deviation = std::max(deviation, std::fabs(kk * kk * (chi[at] - ref.chi[i])));
    }
    return largest > 0 ? deviation / largest : INFINITY;
}

void compareReduction(const XafsSpectrum &spectrum, const BackgroundParams &params,
                      const Reference &ref)
{
    QVERIFY2(ref.k.size() > 100, "reference file missing");
    const MeasuredData::Reduction r = MeasuredData::reduce(spectrum, params);
    QVERIFY2(r.problem.isEmpty(), qPrintable(r.problem));
    QCOMPARE(r.background.knots.size(), ref.knots);
    const double deviation = relativeK2Deviation(r.background.k, r.background.chi, ref);
    QVERIFY2(deviation < 0.01, qPrintable(QStringLiteral("k^2 chi off by %1").arg(deviation)));
}

} // namespace

void TestDataReduction::columnFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("copper foil at 10 K") << QStringLiteral("cu");
    QTest::newRow("iron oxide") << QStringLiteral("feo");
    QTest::newRow("manganese oxide") << QStringLiteral("mno");
}

void TestDataReduction::columnFiles()
{
    QFETCH(QString, name);
    const QString path = QStringLiteral(DATA_TEST_DATA "/") + name + QStringLiteral(".xmu");
    const Reference ref = readReference(name);
    QStringList lines;
    QString problem;
    XafsSpectrum spectrum;
    QVERIFY(ColumnFile::readLines(path, lines, problem));
    QVERIFY(ColumnFile::read(lines, path, spectrum, problem));
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    const PreEdge::Result edge =
        PreEdge::compute(spectrum.energy, spectrum.mu, MeasuredData::defaults());
    QVERIFY2(edge.problem.isEmpty(), qPrintable(edge.problem));
    QVERIFY2(std::fabs(edge.e0 - ref.e0) <= 0.5, qPrintable(QString::number(edge.e0)));
    QVERIFY2(std::fabs(edge.edgeStep / ref.edgeStep - 1.0) <= 0.01,
             qPrintable(QString::number(edge.edgeStep)));

    BackgroundParams params = MeasuredData::defaults();
    params.e0 = ref.e0;
    compareReduction(spectrum, params, ref);
}

void TestDataReduction::projectGroups_data()
{
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("reference");
    // Its own e0 between two points, ranges, R_bkg 1.2 and k weight 2.
    QTest::newRow("group with all its parameters") << "Cu foil 10K"
                                                   << "prj_Cu_foil_10K";
    // R_bkg 0.9, e0 found.
    QTest::newRow("group with R_bkg only") << "FeO"
                                           << "prj_FeO";
}

void TestDataReduction::projectGroups()
{
    QFETCH(QString, label);
    QFETCH(QString, reference);
    QByteArray text;
    QString problem;
    QVERIFY(AthenaProject::readText(QStringLiteral(DATA_TEST_DATA "/copper.prj"), text, problem));
    QVector<XafsSpectrum> groups;
    problem = AthenaProject::read(text, QStringLiteral("copper.prj"), groups);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    auto group = std::find_if(groups.begin(), groups.end(),
                              [&](const XafsSpectrum &s) { return s.name == label; });
    QVERIFY(group != groups.end());
    const Reference ref = readReference(reference);
    // The configuration's values lose against the group's own.
    BackgroundParams configured = MeasuredData::defaults();
    configured.rbkg = 3.0;
    configured.kweight = 3.0;
    if (label == QLatin1String("FeO"))
        configured.rbkg = BackgroundParams::unset;
    compareReduction(*group, group->params.over(configured).over(MeasuredData::defaults()), ref);
}

QTEST_GUILESS_MAIN(TestDataReduction)
#include "tst_datareduction.moc"
