#include "plot/chcoord.h"
#include "plot/mousec.h"
#include "tests/plot/plotpixels.h"

#include <QMouseEvent>
#include <QWheelEvent>

using Conversion = double (ChCoord::*)(double) const;
Q_DECLARE_METATYPE(Conversion)

namespace {

constexpr int left = Qt::LeftButton;
constexpr int right = Qt::RightButton;

// A 600 x 400 surface: plot area 60..570 (510 px) by 360..20 (-340 px),
// showing x 0..10 and y -1..1. One pixel is 10/510 in x and -2/340 in y;
// pixel (315, 190) is the data point (5, 0).
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
    void send(QEvent::Type type, QPoint p, int button = 0, int mods = 0)
    {
        const auto b = Qt::MouseButton(button);
        QMouseEvent e(type, p, p, b, type == QEvent::MouseButtonRelease ? Qt::NoButton : b,
                      Qt::KeyboardModifiers(mods));
        if (type == QEvent::MouseMove)
            m.mouseMove(&e);
        else if (type == QEvent::MouseButtonPress)
            m.mousePress(&e);
        else
            m.mouseRelease(&e);
    }
    void wheel(QPoint at, int delta) // 120 per notch
    {
        send(QEvent::MouseMove, at);
        QWheelEvent e(at, at, QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        m.mouseWheel(&e);
    }
};

} // namespace

class TstChCoord : public QObject
{
    Q_OBJECT
private slots:
    void plotArea_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<Range>("area"); // left, right, bottom, top
        QTest::newRow("600 x 400") << QSize(600, 400) << Range{60, 570, 360, 20};
        // 0.1 * 1605 = 160.5 and 0.05 * 1605 = 80.25 are cut toward zero.
        QTest::newRow("odd sizes truncate") << QSize(1605, 1011) << Range{160, 1525, 910, 50};
        QTest::newRow("zero size") << QSize(0, 0) << Range{0, 0, 0, 0};
    }
    void plotArea()
    {
        QFETCH(QSize, size);
        ChCoord c;
        c.setFrame(0, size.height(), size.width(), 0);
        c.calcPlotArea();
        QTEST(Range({c.plotLeft, c.plotRight, c.plotBottom, c.plotTop}), "area");
    }

    void conversions_data()
    {
        using C = ChCoord;
        QTest::addColumn<Conversion>("fn");
        QTest::addColumn<double>("in");
        QTest::addColumn<double>("out");
        QTest::addColumn<bool>("reversed"); // range x 10..0, y 1..-1
        QTest::newRow("xToPixel") << &C::xToPixel << 5.0 << 315.0 << false;
        QTest::newRow("yToPixel") << &C::yToPixel << 0.5 << 105.0 << false;
        QTest::newRow("pixelToX reversed") << &C::pixelToX << 111.0 << 9.0 << true;
        QTest::newRow("pixelToXClamped reversed") << &C::pixelToXClamped << 0.0 << 10.0 << true;
        QTest::newRow("pixelLenToX") << &C::pixelLenToX << 51.0 << 1.0 << false;
    }
    void conversions()
    {
        QFETCH(Conversion, fn);
        QFETCH(double, in);
        QFETCH(double, out);
        QFETCH(bool, reversed);
        Surface s;
        if (reversed)
            s.c.setRange(10, 1, 0, -1);
        compareValues({(s.c.*fn)(in)}, {out});
    }

    // Press at from, move to to, release there: a plain left drag pans, a
    // plain right drag zooms to the rectangle. The corners (111, 54) and
    // (366, 224) are the data points (1, 0.8) and (6, -0.2).
    void drag_data()
    {
        QTest::addColumn<QPoint>("from");
        QTest::addColumn<QPoint>("to");
        QTest::addColumn<int>("button"); // 0: a move without a button
        QTest::addColumn<int>("mods");
        QTest::addColumn<Range>("after");
        const Range zoomed{1, 6, -0.2, 0.8};
        const Range unchanged{0, 10, -1, 1};
        const QPoint mid(315, 190), tl(111, 54), br(366, 224), bl(111, 224), tr(366, 54);
        const double dx = 10 * 10.0 / 510;
        QTest::newRow("left drag 10 px right")
            << mid << QPoint(325, 190) << left << 0 << Range{-dx, 10 - dx, -1, 1};
        for (int mods : {int(Qt::ControlModifier), int(Qt::ShiftModifier), int(Qt::AltModifier)})
            QTest::addRow("left drag, modifier %x held", mods)
                << mid << QPoint(325, 200) << left << mods << unchanged;
        QTest::newRow("top-left to bottom-right") << tl << br << right << 0 << zoomed;
        QTest::newRow("other diagonal keeps y order") << bl << tr << right << 0 << zoomed;
        QTest::newRow("shift held") << tl << br << right << int(Qt::ShiftModifier) << unchanged;
        QTest::newRow("two pixels high") << tl << QPoint(366, 56) << right << 0 << unchanged;
        // Three pixels are enough: x 111..366, y 54..57.
        QTest::newRow("three pixels high")
            << tl << QPoint(366, 57) << right << 0 << Range{1, 6, -1 + 2.0 * 303 / 340, 0.8};
    }
    void drag()
    {
        QFETCH(QPoint, from);
        QFETCH(QPoint, to);
        QFETCH(int, button);
        QFETCH(int, mods);
        QFETCH(Range, after);
        Surface s;
        s.send(QEvent::MouseMove, from);
        if (button)
            s.send(QEvent::MouseButtonPress, from, button, mods);
        s.send(QEvent::MouseMove, to, button);
        if (button)
            s.send(QEvent::MouseButtonRelease, to, button);
        compareValues(rangeOf(s.c), after);
    }

    void wheel_data()
    {
        // Cursor data point in the middle: (5, 0); 1/1.1 shrinks, 1.1 grows.
        QTest::addColumn<QPoint>("at");
        QTest::addColumn<int>("delta");
        QTest::addColumn<Range>("after");
        const double in = 1 / 1.1;
        const Range shrunk{5 - 5 * in, 5 + 5 * in, -in, in};
        const Range grown{-0.5, 10.5, -1.1, 1.1};
        QTest::newRow("middle, one notch forward") << QPoint(315, 190) << 120 << shrunk;
        QTest::newRow("middle, half a notch: step 0 zooms in") << QPoint(315, 190) << 60 << shrunk;
        QTest::newRow("middle, three notches back apply once") << QPoint(315, 190) << -360 << grown;
        // The left band is 51 px deep, 60..111, with a strict bound; the top
        // band 34 px, 20..54.
        QTest::newRow("left band: y only") << QPoint(110, 190) << 120 << Range{0, 10, -in, in};
        QTest::newRow("top band: x only")
            << QPoint(315, 37) << 120 << Range{5 - 5 * in, 5 + 5 * in, -1, 1};
        // In the top-left corner band the cursor sits on (25/51, 0.9).
        QTest::newRow("corner: both")
            << QPoint(85, 37) << 120
            << Range{25.0 / 51 * (1 - in), 25.0 / 51 + (10 - 25.0 / 51) * in, 0.9 - 1.9 * in,
                     0.9 + 0.1 * in};
    }
    void wheel()
    {
        QFETCH(QPoint, at);
        QFETCH(int, delta);
        QFETCH(Range, after);
        Surface s;
        s.wheel(at, delta);
        compareValues(rangeOf(s.c), after);
    }

    // Zooming on and on ends at a limit that stays finite and usable, and
    // panning from there still works.
    void wheelLimits_data()
    {
        QTest::addColumn<int>("delta"); // per wheel event
        QTest::addColumn<int>("events");
        QTest::newRow("zoom in 6000 notches") << 120 << 6000;
        QTest::newRow("zoom out 20000 notches") << -120 << 20000;
    }
    void wheelLimits()
    {
        QFETCH(int, delta);
        QFETCH(int, events);
        Surface s;
        s.c.setRange(1, -1, 2, 1); // away from zero, so the resolution limit bites
        for (int i = 0; i < events; ++i)
            s.wheel(QPoint(315, 190), delta);
        QVERIFY(s.c.isUsable());
        const Range limit = rangeOf(s.c);
        s.wheel(QPoint(315, 190), delta);
        compareValues(rangeOf(s.c), limit);
        // At the deepest zoom a three-pixel rectangle would lose the
        // resolution: refused.
        if (delta > 0) {
            s.send(QEvent::MouseButtonPress, QPoint(300, 200), right);
            s.send(QEvent::MouseButtonRelease, QPoint(303, 203), right);
            compareValues(rangeOf(s.c), limit);
        }
        s.send(QEvent::MouseButtonPress, QPoint(300, 200), left); // panning still works
        s.send(QEvent::MouseMove, QPoint(350, 250), left);
        QVERIFY(s.c.isUsable());
        QVERIFY(s.c.xMin < limit[0]);
    }

    void zeroSizeSurfaceIgnoresMouse()
    {
        Surface s;
        s.c.setFrame(0, 0, 0, 0);
        s.c.calcPlotArea();
        QSignalSpy pos(&s.c, &ChCoord::nowPos);
        for (int b : {left, right}) {
            s.send(QEvent::MouseButtonPress, QPoint(0, 0), b);
            s.send(QEvent::MouseMove, QPoint(5, 5), b);
            s.send(QEvent::MouseButtonRelease, QPoint(9, 9), b);
        }
        s.wheel(QPoint(0, 0), 120);
        QCOMPARE(pos.count(), 0); // no position without a plot area
        QCOMPARE(rangeOf(s.c), Range({0, 10, -1, 1}));
        s.c.clearScale();
        QCOMPARE(rangeOf(s.c), Range({0, 0, 0, 0}));
    }
};

QTEST_MAIN(TstChCoord)
#include "tst_chcoord.moc"
