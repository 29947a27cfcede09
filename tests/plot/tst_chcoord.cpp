#include "plot/chcoord.h"
#include "plot/mousec.h"

#include <QMouseEvent>
#include <QWheelEvent>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

// A 600 x 400 surface: plot area 60..570 (510 px) by 360..20 (-340 px),
// showing x 0..10 and y -1..1. One pixel is 10/510 in x and -2/340 in y.
struct Surface
{
    ChCoord c;
    MouseC m;
    Surface()
    {
        c.setMouse(&m);
        c.setFrame(0, 400, 600, 0);
        c.calcPlotArea();
        c.setRange(0, -1, 10, 1);
    }
    void move(QPoint p, Qt::MouseButtons held = Qt::NoButton)
    {
        QMouseEvent e(QEvent::MouseMove, p, p, Qt::NoButton, held, Qt::NoModifier);
        m.mouseMove(&e);
    }
    void press(QPoint p, Qt::MouseButton b, Qt::KeyboardModifiers mods = Qt::NoModifier)
    {
        QMouseEvent e(QEvent::MouseButtonPress, p, p, b, b, mods);
        m.mousePress(&e);
    }
    void release(QPoint p, Qt::MouseButton b)
    {
        QMouseEvent e(QEvent::MouseButtonRelease, p, p, b, Qt::NoButton, Qt::NoModifier);
        m.mouseRelease(&e);
    }
    void wheel(QPoint at, int notches)
    {
        move(at);
        QWheelEvent e(at, at, QPoint(), QPoint(0, 120 * notches), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        m.mouseWheel(&e);
    }
    QVector<double> range() const { return {c.xMin, c.xMax, c.yMin, c.yMax}; }
};

using Range = QVector<double>;

void compareRange(const Range &actual, const Range &expected)
{
    for (int i = 0; i < 4; ++i)
        QVERIFY2(std::fabs(actual[i] - expected[i]) < 1e-12,
                 qPrintable(QStringLiteral("bound %1: %2 != %3")
                                .arg(i)
                                .arg(actual[i], 0, 'g', 17)
                                .arg(expected[i], 0, 'g', 17)));
}

bool allFinite(const Range &r)
{
    for (double v : r)
        if (!std::isfinite(v))
            return false;
    return true;
}

constexpr double qnan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

} // namespace

class TstChCoord : public QObject
{
    Q_OBJECT
private slots:
    void plotArea_data();
    void plotArea();
    void conversions_data();
    void conversions();
    void edgeBands_data();
    void edgeBands();
    void moveWithoutButtonReportsPosition();
    void pan_data();
    void pan();
    void zoomRectangle_data();
    void zoomRectangle();
    void wheel_data();
    void wheel();
    void otherSlots();
    void degenerateGesturesKeepRangeUsable_data();
    void degenerateGesturesKeepRangeUsable();
    void zeroSizeSurfaceIgnoresMouse();
    void usableSpan_data();
    void usableSpan();
    void makeUsable_data();
    void makeUsable();
};

void TstChCoord::plotArea_data()
{
    QTest::addColumn<int>("w");
    QTest::addColumn<int>("h");
    QTest::addColumn<Range>("area"); // left, right, bottom, top
    QTest::newRow("600 x 400") << 600 << 400 << Range{60, 570, 360, 20};
    // 0.1 * 1605 = 160.5 and 0.05 * 1605 = 80.25 are cut toward zero.
    QTest::newRow("odd sizes truncate") << 1605 << 1011 << Range{160, 1525, 910, 50};
    QTest::newRow("zero size") << 0 << 0 << Range{0, 0, 0, 0};
}

void TstChCoord::plotArea()
{
    QFETCH(int, w);
    QFETCH(int, h);
    QFETCH(Range, area);
    ChCoord c;
    c.setFrame(0, h, w, 0);
    QCOMPARE(c.plotRight, double(w)); // setFrame alone: plot area = frame
    QCOMPARE(c.plotBottom, double(h));
    c.calcPlotArea();
    QCOMPARE(Range({c.plotLeft, c.plotRight, c.plotBottom, c.plotTop}), area);
}

void TstChCoord::conversions_data()
{
    QTest::addColumn<QString>("fn");
    QTest::addColumn<double>("in");
    QTest::addColumn<double>("out");
    QTest::addColumn<bool>("reversed"); // range x 10..0, y 1..-1
    QTest::newRow("xToPixel") << "xToPixel" << 5.0 << 315.0 << false;
    QTest::newRow("xToPixel left of range") << "xToPixel" << -1.0 << 9.0 << false;
    QTest::newRow("yToPixel") << "yToPixel" << 0.5 << 105.0 << false;
    QTest::newRow("yToPixel reversed") << "yToPixel" << 0.5 << 275.0 << true;
    QTest::newRow("xLenToPixel") << "xLenToPixel" << 2.0 << 102.0 << false;
    QTest::newRow("yLenToPixel") << "yLenToPixel" << 1.0 << -170.0 << false;
    QTest::newRow("pixelToX") << "pixelToX" << 315.0 << 5.0 << false;
    QTest::newRow("pixelToX reversed") << "pixelToX" << 111.0 << 9.0 << true;
    QTest::newRow("pixelToY") << "pixelToY" << 105.0 << 0.5 << false;
    QTest::newRow("pixelToXClamped inside") << "pixelToXClamped" << 111.0 << 1.0 << false;
    QTest::newRow("pixelToXClamped left margin") << "pixelToXClamped" << 0.0 << 0.0 << false;
    QTest::newRow("pixelToXClamped right margin") << "pixelToXClamped" << 600.0 << 10.0 << false;
    QTest::newRow("pixelToXClamped reversed") << "pixelToXClamped" << 0.0 << 10.0 << true;
    QTest::newRow("pixelToYClamped below") << "pixelToYClamped" << 400.0 << -1.0 << false;
    QTest::newRow("pixelToYClamped reversed above") << "pixelToYClamped" << 0.0 << -1.0 << true;
    QTest::newRow("pixelLenToX") << "pixelLenToX" << 51.0 << 1.0 << false;
    QTest::newRow("pixelLenToY") << "pixelLenToY" << 34.0 << -0.2 << false;
}

void TstChCoord::conversions()
{
    QFETCH(QString, fn);
    QFETCH(double, in);
    QFETCH(double, out);
    QFETCH(bool, reversed);
    Surface s;
    if (reversed)
        s.c.setRange(10, 1, 0, -1);
    const QHash<QString, double (ChCoord::*)(double) const> fns = {
        {"xToPixel", &ChCoord::xToPixel},
        {"yToPixel", &ChCoord::yToPixel},
        {"xLenToPixel", &ChCoord::xLenToPixel},
        {"yLenToPixel", &ChCoord::yLenToPixel},
        {"pixelToX", &ChCoord::pixelToX},
        {"pixelToY", &ChCoord::pixelToY},
        {"pixelToXClamped", &ChCoord::pixelToXClamped},
        {"pixelToYClamped", &ChCoord::pixelToYClamped},
        {"pixelLenToX", &ChCoord::pixelLenToX},
        {"pixelLenToY", &ChCoord::pixelLenToY}};
    QVERIFY(fns.contains(fn));
    QVERIFY(std::fabs((s.c.*fns[fn])(in)-out) < 1e-12);
}

void TstChCoord::edgeBands_data()
{
    // Bands: 51 px at the left and right (60..111, 519..570), 34 px at the
    // bottom and top (326..360, 20..54).
    QTest::addColumn<double>("px");
    QTest::addColumn<double>("py");
    QTest::addColumn<bool>("nearX");
    QTest::addColumn<bool>("nearY");
    QTest::newRow("middle") << 315.0 << 190.0 << false << false;
    QTest::newRow("inside left band") << 110.9 << 190.0 << true << false;
    QTest::newRow("left band edge is strict") << 111.0 << 190.0 << false << false;
    QTest::newRow("inside right band") << 519.1 << 190.0 << true << false;
    QTest::newRow("right band edge is strict") << 519.0 << 190.0 << false << false;
    QTest::newRow("inside top band") << 315.0 << 53.9 << false << true;
    QTest::newRow("inside bottom band") << 315.0 << 326.1 << false << true;
    QTest::newRow("outside the plot counts as band") << 10.0 << 390.0 << true << true;
}

void TstChCoord::edgeBands()
{
    QFETCH(double, px);
    QFETCH(double, py);
    QFETCH(bool, nearX);
    QFETCH(bool, nearY);
    Surface s;
    QCOMPARE(s.c.nearXEdge(px), nearX);
    QCOMPARE(s.c.nearYEdge(py), nearY);
}

void TstChCoord::moveWithoutButtonReportsPosition()
{
    Surface s;
    QSignalSpy pos(&s.c, &ChCoord::nowPos);
    QSignalSpy updated(&s.c, &ChCoord::updated);
    s.move(QPoint(315, 105));
    QCOMPARE(pos.count(), 1);
    QCOMPARE(pos.at(0).at(0).toDouble(), 5.0);
    QVERIFY(std::fabs(pos.at(0).at(1).toDouble() - 0.5) < 1e-12);
    QCOMPARE(updated.count(), 1);
    compareRange(s.range(), {0, 10, -1, 1});
}

void TstChCoord::pan_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("mods");
    QTest::addColumn<QPoint>("to"); // from (300, 200)
    QTest::addColumn<Range>("after");
    const double dx = 10 * 10.0 / 510;
    QTest::newRow("left drag 10 px right")
        << int(Qt::LeftButton) << 0 << QPoint(310, 200) << Range{-dx, 10 - dx, -1, 1};
    // Dragging down 34 px moves the data down: the range moves up by 0.2.
    QTest::newRow("left drag 34 px down")
        << int(Qt::LeftButton) << 0 << QPoint(300, 234) << Range{0, 10, -0.8, 1.2};
    QTest::newRow("control held") << int(Qt::LeftButton) << int(Qt::ControlModifier)
                                  << QPoint(310, 200) << Range{0, 10, -1, 1};
    QTest::newRow("shift held") << int(Qt::LeftButton) << int(Qt::ShiftModifier) << QPoint(310, 200)
                                << Range{0, 10, -1, 1};
    QTest::newRow("alt held") << int(Qt::LeftButton) << int(Qt::AltModifier) << QPoint(310, 200)
                              << Range{0, 10, -1, 1};
    QTest::newRow("right drag does not pan")
        << int(Qt::RightButton) << 0 << QPoint(310, 200) << Range{0, 10, -1, 1};
}

void TstChCoord::pan()
{
    QFETCH(int, button);
    QFETCH(int, mods);
    QFETCH(QPoint, to);
    QFETCH(Range, after);
    Surface s;
    s.move(QPoint(300, 200));
    s.press(QPoint(300, 200), Qt::MouseButton(button), Qt::KeyboardModifiers(mods));
    QSignalSpy updated(&s.c, &ChCoord::updated);
    s.move(to, Qt::MouseButton(button));
    QCOMPARE(updated.count(), 1);
    compareRange(s.range(), after);
}

void TstChCoord::zoomRectangle_data()
{
    // Corners (111, 54) and (366, 224) are the data points (1, 0.8) and
    // (6, -0.2).
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("mods");
    QTest::addColumn<Range>("after");
    const Range zoomed{1, 6, -0.2, 0.8};
    const Range unchanged{0, 10, -1, 1};
    const int right = Qt::RightButton;
    QTest::newRow("top-left to bottom-right")
        << QPoint(111, 54) << QPoint(366, 224) << right << 0 << zoomed;
    QTest::newRow("bottom-right to top-left")
        << QPoint(366, 224) << QPoint(111, 54) << right << 0 << zoomed;
    QTest::newRow("bottom-left to top-right keeps y order")
        << QPoint(111, 224) << QPoint(366, 54) << right << 0 << zoomed;
    QTest::newRow("top-right to bottom-left keeps y order")
        << QPoint(366, 54) << QPoint(111, 224) << right << 0 << zoomed;
    QTest::newRow("shift held") << QPoint(111, 54) << QPoint(366, 224) << right
                                << int(Qt::ShiftModifier) << unchanged;
    QTest::newRow("left button") << QPoint(111, 54) << QPoint(111, 54) << int(Qt::LeftButton) << 0
                                 << unchanged;
    QTest::newRow("click without movement")
        << QPoint(200, 100) << QPoint(200, 100) << right << 0 << unchanged;
    QTest::newRow("horizontal drag")
        << QPoint(111, 54) << QPoint(366, 54) << right << 0 << unchanged;
    QTest::newRow("vertical drag")
        << QPoint(111, 54) << QPoint(111, 224) << right << 0 << unchanged;
    QTest::newRow("two pixels high")
        << QPoint(111, 54) << QPoint(366, 56) << right << 0 << unchanged;
    // Three pixels are enough: x 111..366, y 54..57.
    QTest::newRow("three pixels high") << QPoint(111, 54) << QPoint(366, 57) << right << 0
                                       << Range{1, 6, -1 + 2.0 * 303 / 340, 0.8};
}

void TstChCoord::zoomRectangle()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(int, button);
    QFETCH(int, mods);
    QFETCH(Range, after);
    Surface s;
    s.press(from, Qt::MouseButton(button), Qt::KeyboardModifiers(mods));
    s.move(to, Qt::MouseButton(button));
    QSignalSpy updated(&s.c, &ChCoord::updated);
    s.release(to, Qt::MouseButton(button));
    QCOMPARE(updated.count(), 1);
    compareRange(s.range(), after);
}

void TstChCoord::wheel_data()
{
    // Cursor data point in the middle: (5, 0); 1/1.1 shrinks, 1.1 grows.
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<int>("notches");
    QTest::addColumn<Range>("after");
    const double in = 1 / 1.1;
    const Range shrunk{5 - 5 * in, 5 + 5 * in, -in, in};
    const Range grown{-0.5, 10.5, -1.1, 1.1};
    QTest::newRow("middle, one notch forward") << QPoint(315, 190) << 1 << shrunk;
    QTest::newRow("middle, half notch counts as forward") << QPoint(315, 190) << 0 << shrunk;
    QTest::newRow("middle, one notch back") << QPoint(315, 190) << -1 << grown;
    QTest::newRow("middle, three notches back apply once") << QPoint(315, 190) << -3 << grown;
    QTest::newRow("left band: y only") << QPoint(85, 190) << 1 << Range{0, 10, -in, in};
    QTest::newRow("top band: x only")
        << QPoint(315, 37) << 1 << Range{5 - 5 * in, 5 + 5 * in, -1, 1};
    // In the top-left corner band the cursor sits on (25/51, 0.9).
    QTest::newRow("corner: both") << QPoint(85, 37) << 1
                                  << Range{25.0 / 51 * (1 - in), 25.0 / 51 + (10 - 25.0 / 51) * in,
                                           0.9 - 1.9 * in, 0.9 + 0.1 * in};
    QTest::newRow("outside the plot left: y only")
        << QPoint(10, 190) << -1 << Range{0, 10, -1.1, 1.1};
}

void TstChCoord::wheel()
{
    QFETCH(QPoint, at);
    QFETCH(int, notches);
    QFETCH(Range, after);
    Surface s;
    QSignalSpy updated(&s.c, &ChCoord::updated);
    if (notches == 0) {
        s.move(at);
        emit s.m.wheelMoved(0);
    } else {
        s.wheel(at, notches);
    }
    QCOMPARE(updated.count(), 2); // the move and the wheel
    compareRange(s.range(), after);
}

void TstChCoord::otherSlots()
{
    Surface s;
    QSignalSpy updated(&s.c, &ChCoord::updated);
    s.press(QPoint(100, 100), Qt::MiddleButton);
    QMouseEvent dclick(QEvent::MouseButtonDblClick, QPointF(100, 100), QPointF(100, 100),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    s.m.mouseDClick(&dclick);
    QCOMPARE(updated.count(), 2);
    compareRange(s.range(), {0, 10, -1, 1});
    s.c.clearScale();
    QCOMPARE(s.range(), Range({0, 0, 0, 0}));
    QCOMPARE(updated.count(), 2);
    QVERIFY(!s.c.isUsable());
}

// Whatever the gesture, the range stays finite and usable.
void TstChCoord::degenerateGesturesKeepRangeUsable_data()
{
    QTest::addColumn<int>("notches"); // per wheel event
    QTest::addColumn<int>("events");
    QTest::newRow("zoom in 6000 notches") << 1 << 6000;
    QTest::newRow("zoom out 20000 notches") << -1 << 20000;
}

void TstChCoord::degenerateGesturesKeepRangeUsable()
{
    QFETCH(int, notches);
    QFETCH(int, events);
    Surface s;
    s.c.setRange(1, -1, 2, 1); // away from zero, so the resolution limit bites
    for (int i = 0; i < events; ++i)
        s.wheel(QPoint(315, 190), notches);
    QVERIFY(allFinite(s.range()));
    QVERIFY(s.c.isUsable());
    const Range limit = s.range();
    s.wheel(QPoint(315, 190), notches);
    compareRange(s.range(), limit); // the limit holds
    // A three-pixel rectangle at the deepest zoom would lose the resolution.
    if (notches > 0) {
        s.press(QPoint(300, 200), Qt::RightButton);
        s.release(QPoint(303, 203), Qt::RightButton);
        compareRange(s.range(), limit);
    }
    // Panning the limit range still works and stays usable.
    s.move(QPoint(300, 200));
    s.press(QPoint(300, 200), Qt::LeftButton);
    s.move(QPoint(350, 250), Qt::LeftButton);
    QVERIFY(s.c.isUsable());
    QVERIFY(s.c.xMin < limit[0]);
}

void TstChCoord::zeroSizeSurfaceIgnoresMouse()
{
    Surface s;
    s.c.setFrame(0, 0, 0, 0);
    s.c.calcPlotArea();
    QSignalSpy pos(&s.c, &ChCoord::nowPos);
    QSignalSpy updated(&s.c, &ChCoord::updated);
    s.move(QPoint(0, 0));
    s.press(QPoint(0, 0), Qt::LeftButton);
    s.move(QPoint(5, 5), Qt::LeftButton);
    s.release(QPoint(5, 5), Qt::LeftButton);
    s.press(QPoint(0, 0), Qt::RightButton);
    s.release(QPoint(9, 9), Qt::RightButton);
    s.wheel(QPoint(0, 0), 1);
    QCOMPARE(pos.count(), 0); // no position without a plot area
    QCOMPARE(updated.count(), 8);
    QCOMPARE(s.range(), Range({0, 10, -1, 1}));
}

void TstChCoord::usableSpan_data()
{
    QTest::addColumn<double>("a");
    QTest::addColumn<double>("b");
    QTest::addColumn<bool>("usable");
    QTest::newRow("unit") << 0.0 << 1.0 << true;
    QTest::newRow("reversed") << 1.0 << 0.0 << true;
    QTest::newRow("empty") << 1.0 << 1.0 << false;
    QTest::newRow("below resolution") << 1.0 << 1.0 + 1e-13 << false;
    QTest::newRow("above resolution") << 1.0 << 1.0 + 1e-11 << true;
    QTest::newRow("tiny about zero") << 0.0 << 1e-201 << false;
    QTest::newRow("small about zero") << -1e-120 << 1e-120 << true;
    QTest::newRow("too wide") << -1e201 << 1e201 << false;
    QTest::newRow("nan") << qnan << 1.0 << false;
    QTest::newRow("infinite") << 0.0 << infinity << false;
}

void TstChCoord::usableSpan()
{
    QFETCH(double, a);
    QFETCH(double, b);
    QFETCH(bool, usable);
    QCOMPARE(ChCoord::usableSpan(a, b), usable);
}

void TstChCoord::makeUsable_data()
{
    QTest::addColumn<double>("lo");
    QTest::addColumn<double>("hi");
    QTest::addColumn<double>("expectLo");
    QTest::addColumn<double>("expectHi");
    QTest::newRow("usable stays") << -0.4 << 0.4 << -0.4 << 0.4;
    QTest::newRow("all zero") << 0.0 << 0.0 << -1.0 << 1.0;
    QTest::newRow("one point") << 5.0 << 5.0 << 4.5 << 5.5;
    QTest::newRow("one negative point") << -2.0 << -2.0 << -2.2 << -1.8;
    QTest::newRow("below resolution") << 1.0 << 1.0 + 1e-14 << 0.9 << 1.1;
    QTest::newRow("nan falls back") << qnan << 1.0 << 7.0 << 9.0;
    QTest::newRow("infinity falls back") << -1.0 << infinity << 7.0 << 9.0;
    QTest::newRow("too wide falls back") << -1e250 << 1e250 << -1.0 << 1.0;
}

void TstChCoord::makeUsable()
{
    QFETCH(double, lo);
    QFETCH(double, hi);
    QFETCH(double, expectLo);
    QFETCH(double, expectHi);
    ChCoord::makeUsable(lo, hi, 7, 9);
    QVERIFY(std::fabs(lo - expectLo) < 1e-12);
    QVERIFY(std::fabs(hi - expectHi) < 1e-12);
}

QTEST_MAIN(TstChCoord)
#include "tst_chcoord.moc"
