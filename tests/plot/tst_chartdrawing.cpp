#include "plot/axis.h"
#include "plot/ccolors.h"
#include "plot/dataline.h"
#include "plot/drawtext.h"
#include "tests/plot/plotpixels.h"

#include <algorithm>

using Ticks = QVector<double>;
using Colors = QVector<QColor>;

namespace {

// A 600 x 400 surface, plot area 60..570 by 360..20, showing x 0..10 and
// y -5..5: column = 60 + 51 x, row = 360 - 34 (y + 5), y = 0 on row 190.
QImage draw(const Values &x, const Values &y, int power = 0)
{
    ChCoord c;
    c.setFrame(0, 400, 600, 0);
    c.calcPlotArea();
    c.setRange(0, -5, 10, 5);
    QImage img(600, 400, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setPen(QPen(red, 1, Qt::SolidLine));
    // Weighted as the chi(k) chart weights its curves before drawing them.
    Values weighted = y;
    for (int i = 0; i < std::min(x.size(), y.size()); ++i)
        weighted[i] = kWeighted(x[i], y[i], power);
    drawDataLine(&p, c, x, weighted);
    return img;
}

} // namespace

// The pieces a chart is drawn with: axis ticks and labels, text fitted to a
// box, the curves' lines and their palette.
class TstChartDrawing : public QObject
{
    Q_OBJECT
private slots:
    // Expected tick values come from a short independent script that follows
    // the 1-2-5 rule and accumulates with IEEE doubles, printed to 17 digits;
    // they are compared exactly, so the accumulated rounding shows too.
    void ticks_data()
    {
        QTest::addColumn<double>("lo");
        QTest::addColumn<double>("hi");
        QTest::addColumn<double>("step");
        QTest::addColumn<Ticks>("values"); // empty: no ticks at all
        QTest::newRow("0 to 20") << 0.0 << 20.0 << 2.0
                                 << Ticks{0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20};
        QTest::newRow("0 to 1") << 0.0 << 1.0 << 0.2
                                << Ticks{0, 0.2, 0.4, 0.6000000000000001, 0.8, 1};
        // -0.3 / 0.1 rounds below -3: the tick at -0.3 is lost, the middle
        // one is not exactly 0.
        QTest::newRow("-0.3 to 0.3")
            << -0.3 << 0.3 << 0.1
            << Ticks{-0.20000000000000004, -0.10000000000000003, -2.7755575615628914e-17,
                     0.09999999999999998, 0.19999999999999998};
        // log10(999.9999999999999) rounds to 3: without care m would be 0.
        QTest::newRow("just below a power of ten")
            << 0.0 << 999.9999999999999 << 200.0 << Ticks{0, 200, 400, 600, 800};
        QTest::newRow("reversed range is ordered") << 8.0 << 0.0 << 2.0 << Ticks{0, 2, 4, 6, 8};
        QTest::newRow("empty") << 1.0 << 1.0 << 0.0 << Ticks{};
        QTest::newRow("nan") << qQNaN() << 1.0 << 0.0 << Ticks{};
        // The step (2e-16) is below the spacing of doubles near 1e3.
        QTest::newRow("below resolution") << 1000.0 << 1000.0000000000005 << 0.0 << Ticks{};
    }
    void ticks()
    {
        QFETCH(double, lo);
        QFETCH(double, hi);
        double s, first, last;
        axisTicks(lo, hi, s, first, last);
        QTEST(s, "step");
        QTEST(axisTickValues(lo, hi), "values"); // QVector's ==: exact
    }

    void axisNumber_data()
    {
        QTest::addColumn<double>("v");
        QTest::addColumn<int>("width");
        QTest::addColumn<QString>("text");
        QTest::newRow("2.5") << 2.5 << 5 << "2.50";
        QTest::newRow("1e-25 is zero") << 1e-25 << 5 << "0";
        QTest::newRow("negative exponent form, width 10") << -0.00012345 << 10 << "-1.2345e-04";
        // Three-digit exponents need a wider exponent field.
        QTest::newRow("1e-12, width 12") << 1e-12 << 12 << "1.00000e-12";
        QTest::newRow("-1e100, width 10") << -1e100 << 10 << "-1.00e+100";
        QTest::newRow("nan") << qQNaN() << 5 << "nan";
    }
    void axisNumber()
    {
        QFETCH(double, v);
        QFETCH(int, width);
        QTEST(::axisNumber(v, width), "text");
    }

    void fittedPointSize_data()
    {
        QTest::addColumn<QSizeF>("box");
        QTest::addColumn<QSizeF>("measured");
        QTest::addColumn<double>("cap");
        QTest::addColumn<double>("size");
        QTest::newRow("height limits: min(1.35, 0.875) x 10")
            << QSizeF(54, 14) << QSizeF(40, 16) << 15.0 << 8.75;
        QTest::newRow("37.5 capped at 15") << QSizeF(200, 60) << QSizeF(40, 16) << 15.0 << 15.0;
        QTest::newRow("no cap") << QSizeF(200, 60) << QSizeF(40, 16) << 0.0 << 37.5;
        QTest::newRow("empty text stays at 10") << QSizeF(54, 14) << QSizeF(0, 0) << 15.0 << 10.0;
        QTest::newRow("zero width measured") << QSizeF(54, 14) << QSizeF(0, 16) << 15.0 << 8.75;
        QTest::newRow("collapsed box") << QSizeF(0, 14) << QSizeF(40, 16) << 15.0 << 0.0;
    }
    void fittedPointSize()
    {
        QFETCH(QSizeF, box);
        QFETCH(QSizeF, measured);
        QFETCH(double, cap);
        QTEST(DrawText::fittedPointSize(box, measured, cap), "size");
    }

    // The red found in the columns 80 (x = 0.39), 315 (x = 5) and 550
    // (x = 9.6): the row of a level line there, or -1 for none.
    void lines_data()
    {
        QTest::addColumn<Values>("x");
        QTest::addColumn<Values>("y");
        QTest::addColumn<int>("power");
        QTest::addColumn<Rows>("rows");
        const Values x{2, 8};
        // (2, 0.5) and (8, 0.5 (2/8)^w) both weigh 0.5 * 2^w.
        QTest::newRow("weight 2: 2") << x << Values{0.5, 0.03125} << 2 << Rows{-1, 122, -1};
        QTest::newRow("weight 3: 4") << x << Values{0.5, 0.0078125} << 3 << Rows{-1, 54, -1};
        // Row 173.68 is cut toward zero, not rounded to 174.
        QTest::newRow("pixels are cut")
            << Values{0, 10} << Values{0.48, 0.48} << 0 << Rows{173, 173, 173};
        QTest::newRow("crossing from far away")
            << Values{-1e6, 1e6} << Values{0, 0} << 0 << Rows{190, 190, 190};
        QTest::newRow("x without y") << Values{5} << Values{} << 3 << Rows{-1, -1, -1};
        // A missing value breaks the line around x = 5.
        for (double missing : {qQNaN(), qInf(), -qInf(), 1e300})
            QTest::addRow("gap at %g", missing)
                << Values{0, 2, 5, 8, 10} << Values{0, 0, missing, 0, 0} << 0 << Rows{190, -1, 190};
    }
    void lines()
    {
        QFETCH(Values, x);
        QFETCH(Values, y);
        QFETCH(int, power);
        QFETCH(Rows, rows);
        const QImage img = draw(x, y, power);
        const int columns[] = {80, 315, 550};
        for (int i = 0; i < 3; ++i)
            QCOMPARE(rowsOf(img, columns[i], red), rows[i] < 0 ? Rows() : Rows{rows[i]});
    }

    // Rings of measured points: every point of a sparse curve has one; on a
    // dense one (points 1.02 px apart) only points at least three radii
    // (7.5 px) from the last ring get one, i.e. every eighth point. Each
    // ring crosses the centre row twice.
    void markers_data()
    {
        QTest::addColumn<double>("step");
        QTest::addColumn<int>("rings");
        QTest::newRow("sparse: every point") << 0.5 << 21;
        QTest::newRow("dense: every eighth point") << 0.02 << 63;
    }
    void markers()
    {
        QFETCH(double, step);
        QFETCH(int, rings);
        ChCoord c;
        c.setFrame(0, 400, 600, 0);
        c.calcPlotArea();
        c.setRange(0, -5, 10, 5);
        Values x, y;
        for (int i = 0; i * step <= 10 + 1e-9; ++i)
            x << i * step, y << 0.0;
        QImage img(600, 400, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setPen(QPen(red, 1));
        drawMarkers(&p, c, x, y);
        p.end();
        int runs = 0;
        for (int col = 0; col < img.width(); ++col)
            if (img.pixelColor(col, 190) == red &&
                (col == 0 || img.pixelColor(col - 1, 190) != red))
                ++runs;
        QCOMPARE(runs, 2 * rings);
    }

    // A far point is cut to the drawable square along the segment's
    // direction; cutting each coordinate on its own would bend the line.
    // From (60, 190) toward (far, far) the slope is -34/51: row 20 at
    // column 315. The raster engine itself loses such segments from about
    // 1e17 on.
    void farPoints_data()
    {
        QTest::addColumn<double>("far");
        for (double far : {1e9, 1e17, 1e30, 1e100})
            QTest::addRow("%g", far) << far;
    }
    void farPoints()
    {
        QFETCH(double, far);
        const Rows rows = rowsOf(draw({0, far}, {0, far}), 315, red);
        QVERIFY(!rows.isEmpty());
        QVERIFY2(rows.first() >= 18 && rows.last() <= 22, qPrintable(QString::number(rows[0])));
    }

    // Blends were computed by an independent script of the rule (two thirds
    // toward the brighter channel, darkened when the sum is >= 501); the
    // first ones also fix the base colours they blend.
    void defaultPalette_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QColor>("color");
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

QTEST_MAIN(TstChartDrawing)
#include "tst_chartdrawing.moc"
