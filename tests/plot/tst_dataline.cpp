#include "plot/dataline.h"
#include "tests/plot/plotpixels.h"

#include <algorithm>

using Rows = QVector<int>;

namespace {

const QRgb ink = qRgb(255, 0, 0);

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
    p.setPen(QPen(QColor(ink), 1, Qt::SolidLine));
    // Weighted as the chi(k) chart weights its curves before drawing them.
    Values weighted = y;
    for (int i = 0; i < std::min(x.size(), y.size()); ++i)
        weighted[i] = kWeighted(x[i], y[i], power);
    drawDataLine(&p, c, x, weighted);
    return img;
}

Rows inkRows(const QImage &img, int column)
{
    Rows rows;
    for (int y = 0; y < img.height(); ++y)
        if (img.pixel(column, y) == ink)
            rows << y;
    return rows;
}

} // namespace

class TstDataLine : public QObject
{
    Q_OBJECT
private slots:
    // The ink found in the columns 80 (x = 0.39), 315 (x = 5) and 550
    // (x = 9.6): the row of a level line there, or -1 for none.
    void lines_data()
    {
        QTest::addColumn<Values>("x");
        QTest::addColumn<Values>("y");
        QTest::addColumn<int>("power");
        QTest::addColumn<Rows>("rows");
        const Values x{2, 8};
        // (2, 0.5) and (8, 0.5 (2/8)^w) both weigh 0.5 * 2^w.
        QTest::newRow("weight 0: 0.5") << x << Values{0.5, 0.5} << 0 << Rows{-1, 173, -1};
        QTest::newRow("weight 2: 2") << x << Values{0.5, 0.03125} << 2 << Rows{-1, 122, -1};
        QTest::newRow("weight 3: 4") << x << Values{0.5, 0.0078125} << 3 << Rows{-1, 54, -1};
        // Row 173.68 is cut toward zero, not rounded to 174.
        QTest::newRow("pixels are cut")
            << Values{0, 10} << Values{0.48, 0.48} << 0 << Rows{173, 173, 173};
        QTest::newRow("crossing from far away")
            << Values{-1e6, 1e6} << Values{0, 0} << 0 << Rows{190, 190, 190};
        QTest::newRow("no data") << Values{} << Values{} << 0 << Rows{-1, -1, -1};
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
            QCOMPARE(inkRows(img, columns[i]), rows[i] < 0 ? Rows() : Rows{rows[i]});
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
        const Rows rows = inkRows(draw({0, far}, {0, far}), 315);
        QVERIFY(!rows.isEmpty());
        QVERIFY2(rows.first() >= 18 && rows.last() <= 22, qPrintable(QString::number(rows[0])));
    }
};

QTEST_MAIN(TstDataLine)
#include "tst_dataline.moc"
