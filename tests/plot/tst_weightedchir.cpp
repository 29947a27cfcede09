#include "plot/weightedchir.h"
#include "tests/plot/plotpixels.h"

// Curves made again with another weight: made once, kept while asked for,
// made anew when the source changes.
class TstWeightedChiR : public QObject
{
    Q_OBJECT
private slots:
    void cache()
    {
        Chi source;
        setData(source, {1, 2}, {1, 1});
        const TransformArgs args{1, 2, 0, 0, 0.01, FtOptions{true, 2, 0.0}};
        source.transform(args);
        WeightedChiR weighted;
        QCOMPARE(&weighted.curve(source, 2), &source); // its own weight
        const Chi *cubed = &weighted.curve(source, 3);
        QVERIFY(cubed != &source);
        QVERIFY(std::fabs(cubed->chiRRe[0] - 9 / std::sqrt(M_PI)) < 1e-14); // (1 + 8) / sqrt(pi)
        QCOMPARE(&weighted.curve(source, 3), cubed);
        weighted.sweep();
        QCOMPARE(weighted.size(), 1); // asked for since the last sweep
        weighted.sweep();
        QCOMPARE(weighted.size(), 0);

        weighted.curve(source, 0);
        source.chi = {2, 2};
        source.transform(args); // a new generation
        QVERIFY(std::fabs(weighted.curve(source, 0).chiRRe[0] - 4 / std::sqrt(M_PI)) < 1e-14);

        Chi plain;
        setData(plain, {1, 2}, {1, 1});
        plain.transform(1, 2, 0, 0, 0.01);
        QCOMPARE(&weighted.curve(plain, 3), &plain);
    }
};

QTEST_GUILESS_MAIN(TstWeightedChiR)
#include "tst_weightedchir.moc"
