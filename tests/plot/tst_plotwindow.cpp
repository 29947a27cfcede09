#include "plot/chcoord.h"
#include "plot/mousec.h"
#include "plot/pathtip.h"
#include "tests/plot/plotpixels.h"

#include <QScrollBar>
#include <QWheelEvent>

using Conversion = double (ChCoord::*)(double) const;
Q_DECLARE_METATYPE(Conversion)
using Counts = QVector<int>;

namespace {

constexpr int left = Qt::LeftButton;
constexpr int right = Qt::RightButton;
constexpr int clear = -1000;

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
        QMouseEvent e = mouseEvent(type, p, button, mods);
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

// Counts the mouse and wheel events that reach it, i.e. that a child passed on.
class CountingParent : public QWidget
{
public:
    int events = 0;

protected:
    bool event(QEvent *e) override
    {
        events += e->type() == QEvent::Wheel || dynamic_cast<QMouseEvent *>(e);
        return QWidget::event(e);
    }
};

} // namespace

// A plot window's own parts: the drawing surface (DispA hands its mouse
// events to its MouseC, which drives the ChCoord's pixel <-> data map: pan
// and zoom) and the row of path boxes.
class TstPlotWindow : public QObject
{
    Q_OBJECT
private slots:
    // 0.1 * 1605 = 160.5 and 0.05 * 1605 = 80.25 are cut toward zero.
    void plotAreaTruncates()
    {
        ChCoord c;
        c.setFrame(0, 1011, 1605, 0);
        c.calcPlotArea();
        QCOMPARE(Range({c.plotLeft, c.plotRight, c.plotBottom, c.plotTop}),
                 Range({160, 1525, 910, 50}));
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
    }

    // Before each event: a move to (5, 6) and a left press at (7, 8).
    void events_data()
    {
        QTest::addColumn<QEvent::Type>("type");
        QTest::addColumn<QPointF>("pos");
        QTest::addColumn<int>("mods");
        QTest::addColumn<QPoint>("cur"); // halves go up
        const QPoint before(7, 8);
        QTest::newRow("move") << QEvent::MouseMove << QPointF(10.5, -3.5) << 0 << QPoint(11, -3);
        QTest::newRow("press") << QEvent::MouseButtonPress << QPointF(2.4, 7.6) << 0
                               << QPoint(2, 8);
        QTest::newRow("double click keeps the position")
            << QEvent::MouseButtonDblClick << QPointF(70, 80) << 0 << before;
        QTest::newRow("move with Alt is ignored")
            << QEvent::MouseMove << QPointF(30, 40) << int(Qt::AltModifier) << before;
    }
    void events()
    {
        QFETCH(QEvent::Type, type);
        QFETCH(QPointF, pos);
        QFETCH(int, mods);
        CountingParent parent;
        auto *d = new DispA(&parent);
        parent.resize(100, 100);
        d->resize(100, 100);
        parent.show();
        QVERIFY(QTest::qWaitForWindowExposed(&parent));
        send(d, QEvent::MouseMove, QPointF(5, 6));
        send(d, QEvent::MouseButtonPress, QPointF(7, 8), left);
        QCoreApplication::processEvents();
        int paints = 0;
        connect(d, &DispA::drawImage1, this, [&](QPainter *) { ++paints; });
        QSignalSpy coordUpdated(&d->coord, &ChCoord::updated); // the surface drives it

        send(d, type, pos, left, mods);
        const bool ignored = mods & Qt::AltModifier;
        QCOMPARE(coordUpdated.count(), int(!ignored));
        QTEST(d->mouse.curPos, "cur");
        QCOMPARE(d->mouse.pressed, type != QEvent::MouseButtonRelease);
        QCOMPARE(parent.events, 0);
        if (ignored) {
            QCoreApplication::processEvents();
            QCOMPARE(paints, 0);
        } else {
            QTRY_VERIFY(paints > 0);
        }
    }

    // calls: setChips(n), or clear for a click on "Clr."; after the first
    // call the user checks the last box offered.
    void setChips_data()
    {
        QTest::addColumn<Counts>("calls");
        QTest::addColumn<Flags>("shown");
        QTest::addColumn<Flags>("states");
        QTest::addColumn<bool>("rowShown");
        QTest::newRow("3, 2: the third is hidden")
            << Counts{3, 2} << Flags{1, 1, 0} << Flags{1, 0, 1} << true;
        QTest::newRow("3, 5: new boxes unchecked")
            << Counts{3, 5} << Flags{1, 1, 1, 1, 1} << Flags{1, 0, 1, 0, 0} << true;
        QTest::newRow("2, 0: row hidden, states kept")
            << Counts{2, 0} << Flags{1, 1} << Flags{1, 1} << false;
        QTest::newRow("3, 2, Clr., 3: all but the first cleared, hidden too")
            << Counts{3, 2, clear, 3} << Flags{1, 1, 1} << Flags{1, 0, 0} << true;
    }
    void setChips()
    {
        QFETCH(Counts, calls);
        QFETCH(Flags, shown);
        ChiView v;
        for (int i = 0; i < calls.size(); ++i) {
            if (calls[i] == clear)
                v.findChild<QPushButton *>(QStringLiteral("ClrAllPaths"))->click();
            else
                v.setChips(calls[i]);
            if (i == 0)
                v.pathBoxes().last()->setChecked(true);
        }
        Flags states;
        for (const QCheckBox *b : v.pathBoxes())
            states << b->isChecked();
        QTEST(states, "states");
        QTEST(!v.findChild<QFrame *>(QStringLiteral("PathSelect"))->isHidden(), "rowShown");
        QCOMPARE(v.pathLabels().size(), shown.size());
        for (int j = 0; j < shown.size(); ++j) {
            QCOMPARE(v.pathLabels()[j]->text(), QString::number(j + 1));
            QCOMPARE(!v.pathLabels()[j]->isHidden(), shown[j]);
            QCOMPARE(!v.pathBoxes()[j]->isHidden(), shown[j]);
        }
    }

    // However many paths, the window keeps its size: the row scrolls, and
    // every box can be scrolled into view without being cut.
    void pathRowScrolls_data()
    {
        QTest::addColumn<int>("paths");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("3 paths fit") << 3 << false;
        QTest::newRow("300 paths scroll") << 300 << true;
    }
    void pathRowScrolls()
    {
        QFETCH(int, paths);
        ChiView v;
        v.show();
        QVERIFY(QTest::qWaitForWindowExposed(&v));
        const QSize before = v.size();
        v.setChips(paths);
        QCoreApplication::processEvents();
        QCOMPARE(v.size(), before);
        QVERIFY(v.minimumSizeHint().width() <= before.width());
        auto *area = v.findChild<QScrollArea *>(QStringLiteral("PathScroll"));
        QTEST(area->horizontalScrollBar()->maximum() > 0, "scrolls");
        QCheckBox *last = v.pathBoxes().last();
        area->ensureWidgetVisible(last);
        const QRect inView(last->mapTo(area->viewport(), QPoint(0, 0)), last->size());
        QVERIFY2(area->viewport()->rect().contains(inView),
                 qPrintable(QString::number(inView.y())));
    }

    void pathTipTexts_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("tip");
        QTest::newRow("everything known")
            << 23 << "path 23 · Ca–O–Si · reff 3.521 Å · N 8 · 3 legs · 45.2 %";
        QTest::newRow("no number: no tip") << 0 << "";
    }
    void pathTipTexts()
    {
        QFETCH(int, number);
        QFETCH(QString, tip);
        // file, number, reff, degeneracy, legs, amplitude, route
        const PathIdentity id{QString(), number, 3.5205, 8, 3, 45.24, {"Ca", "O", "Si"}};
        QCOMPARE(PathTip::text(id), tip);
        ChiView v;
        v.setChips(3);
        v.setPathTips({QString(), tip});
        QCOMPARE(v.pathBoxes()[1]->toolTip(), tip);
        QCOMPARE(v.pathLabels()[1]->toolTip(), tip);
        QCOMPARE(v.pathBoxes()[2]->toolTip(), QString());
    }
};

QTEST_MAIN(TstPlotWindow)
#include "tst_plotwindow.moc"
