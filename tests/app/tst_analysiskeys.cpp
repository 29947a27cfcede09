#include "app/analysiskeys.h"
#include "app/paramtable.h"

#include <QtTest>

// FT_* and FIT_* keys: good values taken, every bad one reported once with
// the default kept.
class TstAnalysisKeys : public QObject
{
    Q_OBJECT
private slots:
    void read_data()
    {
        QTest::addColumn<QStringList>("entries"); // "KEY value"
        QTest::addColumn<bool>("standard");
        QTest::addColumn<int>("kWeight");
        QTest::addColumn<double>("dk");
        QTest::addColumn<int>("fitWeight");
        QTest::addColumn<double>("rMin");
        QTest::addColumn<double>("rMax");
        QTest::addColumn<QStringList>("problems");
        const QStringList none;
        QTest::newRow("no keys: defaults") << none << false << 2 << 1.0 << 2 << 1.0 << 3.0 << none;
        QTest::newRow("all given, any case")
            << QStringList{"ft_mode Standard", "FT_KWEIGHT 3", "FT_DK 0",
                           "FIT_KWEIGHT 0",    "FIT_RMIN 1.5", "FIT_RMAX 2.5"}
            << true << 3 << 0.0 << 0 << 1.5 << 2.5 << none;
        QTest::newRow("bad mode") << QStringList{"FT_MODE fancy"} << false << 2 << 1.0 << 2 << 1.0
                                  << 3.0
                                  << QStringList{"FT_MODE fancy is neither plain nor standard: "
                                                 "plain is used"};
        QTest::newRow("weights out of range or not whole")
            << QStringList{"FT_KWEIGHT 4", "FIT_KWEIGHT 1.5"} << false << 2 << 1.0 << 2 << 1.0
            << 3.0
            << QStringList{"FT_KWEIGHT 4 is not a k weight 0, 1, 2 or 3: 2 is used",
                           "FIT_KWEIGHT 1.5 is not a k weight 0, 1, 2 or 3: 2 is used"};
        QTest::newRow("R range reversed")
            << QStringList{"FIT_RMIN 3", "FIT_RMAX 2"} << false << 2 << 1.0 << 2 << 1.0 << 3.0
            << QStringList{"FIT_RMIN 3 and FIT_RMAX 2 are no range from 0 up: 1 to 3 is used"};
    }
    void read()
    {
        QFETCH(QStringList, entries);
        ParamTable params;
        for (const QString &entry : entries)
            params.add(entry.section(' ', 0, 0), entry.section(' ', 1), entry.section(' ', 1));
        FtOptions ft;
        FitOptions fit;
        const QStringList problems = AnalysisKeys::read(params, ft, fit);
        QTEST(problems, "problems");
        QTEST(ft.standard, "standard");
        QTEST(ft.kWeight, "kWeight");
        QTEST(ft.dk, "dk");
        QTEST(fit.kWeight, "fitWeight");
        QTEST(fit.rMin, "rMin");
        QTEST(fit.rMax, "rMax");
    }
};

QTEST_GUILESS_MAIN(TstAnalysisKeys)
#include "tst_analysiskeys.moc"
