#include "plot/ccolors.h"

#include <QtTest>

// Blends listed here were computed by an independent script of the rule
// (two thirds toward the brighter channel, darkened when the sum is >= 501).
class TstCColors : public QObject
{
    Q_OBJECT
private slots:
    void defaultPalette_data();
    void defaultPalette();
    void secondPassRepeatsFirstBlends();
    void sizes_data();
    void sizes();
    void ownBaseColours();
};

void TstCColors::defaultPalette_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QColor>("color");
    QTest::newRow("0 black") << 0 << QColor(0, 0, 0);
    QTest::newRow("1 red") << 1 << QColor(255, 0, 0);
    QTest::newRow("12 repeats 3") << 12 << QColor(120, 220, 120);
    QTest::newRow("14") << 14 << QColor(240, 160, 0);
    const QVector<QColor> blends = {
        {255, 0, 0},     {170, 0, 255},   {96, 132, 168},  {200, 213, 80}, {192, 79, 192},
        {128, 144, 192}, {160, 160, 160}, {106, 160, 0},   {0, 106, 160},  {204, 96, 128},
        {178, 96, 128},  {116, 132, 116}, {128, 120, 204}, {192, 96, 136}, {160, 106, 0}};
    for (int i = 0; i < blends.size(); ++i)
        QTest::addRow("blend %d", 15 + i) << 15 + i << blends[i];
}

void TstCColors::defaultPalette()
{
    QFETCH(int, index);
    QFETCH(QColor, color);
    CColors p;
    QCOMPARE(p.colors.size(), 40);
    QCOMPARE(p.colors[index], color);
    QCOMPARE(p.colors[index].alpha(), 255);
}

void TstCColors::secondPassRepeatsFirstBlends()
{
    CColors p;
    for (int i = 30; i < 40; ++i)
        QCOMPARE(p.colors[i], p.colors[i - 15]);
}

void TstCColors::sizes_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("size");
    QTest::addColumn<QColor>("lastColor");
    QTest::newRow("fewer than the base keeps the base") << 10 << 15 << QColor(240, 160, 0);
    QTest::newRow("one blend") << 16 << 16 << QColor(255, 0, 0);
    QTest::newRow("into the third pass") << 62 << 62 << QColor();
}

void TstCColors::sizes()
{
    QFETCH(int, n);
    QFETCH(int, size);
    QFETCH(QColor, lastColor);
    CColors p(n);
    QCOMPARE(p.colors.size(), size);
    if (lastColor.isValid())
        QCOMPARE(p.colors.last(), lastColor);
}

void TstCColors::ownBaseColours()
{
    // red, blue -> blend(blue after red) = (170, 0, 255), blend(red after
    // blue) = (255, 0, 170); the next pass starts over with the first pair.
    CColors p({QColor(255, 0, 0), QColor(0, 0, 255)}, 5);
    QCOMPARE(p.colors, QVector<QColor>({QColor(255, 0, 0), QColor(0, 0, 255), QColor(170, 0, 255),
                                        QColor(255, 0, 170), QColor(170, 0, 255)}));
    CColors empty(QVector<QColor>(), 5); // nothing to blend: stops
    QVERIFY(empty.colors.isEmpty());
}

QTEST_MAIN(TstCColors)
#include "tst_ccolors.moc"
