#include "plot/chcoord.h"
#include "plot/dataline.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

#include <limits>

using Values = QVector<double>;

namespace {

constexpr double qnan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();
const QRgb ink = qRgb(255, 0, 0);

// 600 x 400 surface, plot area 60..570 by 360..20.
QImage draw(const Values &x, const Values &y, int power, double yLo = -1, double yHi = 1)
{
    ChCoord c;
    c.setFrame(0, 400, 600, 0);
    c.calcPlotArea();
    c.setRange(0, yLo, 10, yHi);
    QImage img(600, 400, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(QPen(QColor(ink), 1, Qt::SolidLine));
    drawDataLine(&p, c, x, y, power);
    return img;
}

QVector<int> inkRows(const QImage &img, int column)
{
    QVector<int> rows;
    for (int y = 0; y < img.height(); ++y)
        if (img.pixel(column, y) == ink)
            rows << y;
    return rows;
}

bool anyInk(const QImage &img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == ink)
                return true;
    return false;
}

} // namespace

class TstDataLine : public QObject
{
    Q_OBJECT
private slots:
    void kWeight_data();
    void kWeight();
    void pointsSnapToWholePixels();
    void missingValuesBreakTheLine_data();
    void missingValuesBreakTheLine();
    void hugeValuesKeepTheirDirection_data();
    void hugeValuesKeepTheirDirection();
    void segmentCrossingFromFarAwayIsDrawn();
    void unequalLengthsAndEmptyData();
};

void TstDataLine::kWeight_data()
{
    // Points (2, 0.5) and (8, 0.5 * (2/8)^w) both weigh 0.5 * 2^w, so the
    // line is level at that value. y range -5..5: row = 360 - 34 (v + 5).
    QTest::addColumn<int>("power");
    QTest::addColumn<int>("row");
    QTest::newRow("weight 0: 0.5") << 0 << 173;
    QTest::newRow("weight 1: 1") << 1 << 156;
    QTest::newRow("weight 2: 2") << 2 << 122;
    QTest::newRow("weight 3: 4") << 3 << 54;
}

void TstDataLine::kWeight()
{
    QFETCH(int, power);
    QFETCH(int, row);
    const QImage img = draw({2, 8}, {0.5, 0.5 * std::pow(0.25, power)}, power, -5, 5);
    QCOMPARE(inkRows(img, 315), QVector<int>{row});
}

void TstDataLine::pointsSnapToWholePixels()
{
    // y = 0.5 lies on row 105; y = 0.49 on 106.7, cut toward zero to 106.
    QCOMPARE(inkRows(draw({0, 10}, {0.49, 0.49}, 0), 315), QVector<int>{106});
    QCOMPARE(inkRows(draw({0, 10}, {0.5, 0.5}, 0), 315), QVector<int>{105});
}

void TstDataLine::missingValuesBreakTheLine_data()
{
    QTest::addColumn<double>("missing");
    QTest::newRow("nan") << qnan;
    QTest::newRow("infinity") << infinity;
    QTest::newRow("minus infinity") << -infinity;
    QTest::newRow("beyond 1e150 pixels") << 1e300;
}

void TstDataLine::missingValuesBreakTheLine()
{
    QFETCH(double, missing);
    // Level at y = 0 (row 190) from x 0..2 and 8..10; a gap around x = 5.
    const QImage img = draw({0, 2, 5, 8, 10}, {0, 0, missing, 0, 0}, 0);
    QCOMPARE(inkRows(img, 80), QVector<int>{190});
    QCOMPARE(inkRows(img, 550), QVector<int>{190});
    QVERIFY(inkRows(img, 315).isEmpty());
}

void TstDataLine::hugeValuesKeepTheirDirection_data()
{
    // The raster engine itself loses such segments from about 1e17 on.
    QTest::addColumn<double>("far");
    QTest::newRow("1e9") << 1e9;
    QTest::newRow("1e17") << 1e17;
    QTest::newRow("1e30") << 1e30;
    QTest::newRow("1e100") << 1e100;
}

void TstDataLine::hugeValuesKeepTheirDirection()
{
    QFETCH(double, far);
    // From (0, 0) toward (far, far): slope -170/51 pixels per pixel from
    // (60, 190), so it reaches row 20 at x = 60 + 51. Cutting each coordinate
    // on its own would bend it to slope -1, reaching row 20 at x = 230.
    const QImage img = draw({0, far}, {0, far}, 0);
    const QVector<int> rows = inkRows(img, 111);
    QVERIFY(!rows.isEmpty());
    QVERIFY(rows.first() >= 16 && rows.last() <= 22);
    QVERIFY(inkRows(img, 230).isEmpty() || inkRows(img, 230).first() < 5);
    QVERIFY(inkRows(img, 300).isEmpty() || inkRows(img, 300).last() < 0);
}

void TstDataLine::segmentCrossingFromFarAwayIsDrawn()
{
    const QImage img = draw({-1e6, 1e6}, {0, 0}, 0);
    QCOMPARE(inkRows(img, 0), QVector<int>{190});
    QCOMPARE(inkRows(img, 599), QVector<int>{190});
}

void TstDataLine::unequalLengthsAndEmptyData()
{
    QCOMPARE(inkRows(draw({0, 10, 20}, {0, 0}, 0), 315), QVector<int>{190});
    QVERIFY(!anyInk(draw({}, {}, 0)));
    QVERIFY(!anyInk(draw({5}, {}, 3)));
}

QTEST_MAIN(TstDataLine)
#include "tst_dataline.moc"
