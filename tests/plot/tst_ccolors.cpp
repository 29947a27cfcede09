#include "plot/ccolors.h"

#include <QtTest>

using Colors = QVector<QColor>;

// Blends were computed by an independent script of the rule (two thirds
// toward the brighter channel, darkened when the sum is >= 501).
class TstCColors : public QObject
{
    Q_OBJECT
private slots:
    void defaultPalette_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QColor>("color");
        QTest::newRow("0 black") << 0 << QColor(0, 0, 0);
        QTest::newRow("1 red") << 1 << QColor(255, 0, 0);
        const Colors blends = {{255, 0, 0},     {170, 0, 255},   {96, 132, 168},  {200, 213, 80},
                               {192, 79, 192},  {128, 144, 192}, {160, 160, 160}, {106, 160, 0},
                               {0, 106, 160},   {204, 96, 128},  {178, 96, 128},  {116, 132, 116},
                               {128, 120, 204}, {192, 96, 136},  {160, 106, 0}};
        for (int i = 0; i < blends.size(); ++i)
            QTest::addRow("blend %d", 15 + i) << 15 + i << blends[i];
        // The second pass starts over with the same first pairs.
        QTest::newRow("second pass 39") << 39 << blends[9];
    }
    void defaultPalette()
    {
        QFETCH(int, index);
        CColors p;
        QCOMPARE(p.colors.size(), 40);
        QTEST(p.colors[index], "color");
    }

    void extension_data()
    {
        QTest::addColumn<Colors>("base"); // empty: the 15 base colours
        QTest::addColumn<int>("n");
        QTest::addColumn<int>("size");
        QTest::addColumn<QColor>("last");
        QTest::newRow("fewer than the base keeps the base")
            << Colors{} << 10 << 15 << QColor(240, 160, 0);
        // Red, blue, blend(blue after red), blend(red after blue), then the
        // second pass starts over: blend(blue after red) = (170, 0, 255).
        QTest::newRow("own base colours")
            << Colors{{255, 0, 0}, {0, 0, 255}} << 5 << 5 << QColor(170, 0, 255);
    }
    void extension()
    {
        QFETCH(Colors, base);
        QFETCH(int, n);
        const CColors p = base.isEmpty() ? CColors(n) : CColors(base, n);
        QTEST(p.colors.size(), "size");
        QTEST(p.colors.last(), "last");
    }

    void emptyBaseStops() { QVERIFY(CColors(Colors(), 5).colors.isEmpty()); }
};

QTEST_MAIN(TstCColors)
#include "tst_ccolors.moc"
