#include "plot/axistitles.h"
#include "plot/dataline.h"
#include "plot/weightedchir.h"
#include "tests/plot/plotfixture.h"

namespace {

const QColor gridGrey(200, 200, 200), frameGrey(180, 180, 180);

// Level chi(R) lines over R 0..8, every 0.05.
void setLevels(Chi &c, double abs, double re, double im)
{
    Values r;
    for (int i = 0; i <= 160; ++i)
        r << i * 0.05;
    setData(c, r, Values(r.size(), abs), true);
    c.chiRRe = Values(r.size(), re);
    c.chiRIm = Values(r.size(), im);
}

bool allWhite(const QImage &img, QRect area)
{
    return count(img, white, area) == area.width() * area.height();
}

// The row from column 285 to 345: '#' where colour c is, '.' elsewhere.
QString trace(const QImage &img, int row, const QColor &c)
{
    QString t;
    for (int x = 285; x <= 345; ++x)
        t += img.pixelColor(x, row) == c ? '#' : '.';
    return t;
}

// Whether the trace is cut from an endless line with this period.
bool follows(const QString &trace, const QString &period)
{
    return period.repeated(2 + trace.size() / period.size()).contains(trace);
}

} // namespace

// render()'s fixed range, x -15..20 and y -20..20, puts grid lines on multiples of 5: columns
// 278 (x = 0) and 351 (x = 5), rows 190 (y = 0), 147, 105, 62 and 232, 275, 317; the data
// levels 3, 8, 13 land on rows 164, 122, 79 and -3, -8, -13 on rows 215, 258, 300.
class TstChiViewCtrl : public PlotFixture
{
    Q_OBJECT
private slots:
    void coloursFollowListLength()
    {
        Demeter *a = addJob(); // black, the next one red
        addJob();
        ctrl->removeDemeter(a);
        Demeter *c = addJob();
        QCOMPARE(c->color, red);         // list length 1 again
        c->ui.ColorDisp->resize(30, 20); // the swatch shows it
        QCOMPARE(c->ui.ColorDisp->grab().toImage().pixelColor(15, 10), red);
    }

    // The first paint with a shown job takes the range from the data: y
    // symmetric about 0 in chi(k), as found in chi(R).
    void automaticRange_data()
    {
        QTest::addColumn<bool>("chiR");
        QTest::addColumn<Values>("x");
        QTest::addColumn<Values>("y");
        QTest::addColumn<Range>("range"); // empty: the job is not shown, nothing drawn
        const Values k{1, 2, 3};
        QTest::newRow("job not shown") << false << k << Values{0.1, 0, 0} << Range{};
        QTest::newRow("no chi(k) yet") << false << Values{} << Values{} << Range{0, 20, -1, 1};
        QTest::newRow("more negative")
            << false << k << Values{-0.4, 0.3, 0} << Range{1, 3, -0.4, 0.4};
        QTest::newRow("only nan") << false << Values{qQNaN(), qQNaN()} << Values{qQNaN(), qQNaN()}
                                  << Range{0, 20, -1, 1};
        QTest::newRow("R: no chi(R) yet") << true << Values{} << Values{} << Range{0, 8, 0, 1};
        QTest::newRow("R: not symmetric")
            << true << Values{0, 8} << Values{0.2, 0.7} << Range{0, 8, 0.2, 0.7};
    }
    void automaticRange()
    {
        QFETCH(bool, chiR);
        QFETCH(Values, x);
        QFETCH(Values, y);
        QFETCH(Range, range);
        addJob(x, y, chiR)->ui.Show->setChecked(!range.isEmpty());
        ChiView *v = chiR ? ctrl->chiRView() : ctrl->chiKView();
        const QImage img = render(v);
        QCOMPARE(v->rescale, range.isEmpty()); // pending until a job is shown
        if (range.isEmpty())
            QVERIFY(allWhite(img, img.rect()));
        else
            compareValues(rangeOf(surface(v)->coord), range);
    }

    // The scale follows the shown curves (a larger one shown, one hidden)
    // until the user pans or zooms, and again after "Reset Scale".
    void scaleFollowsCurves_data()
    {
        QTest::addColumn<QString>("gesture");
        QTest::addColumn<bool>("follows");
        QTest::newRow("untouched") << "" << true;
        QTest::newRow("after a wheel zoom") << "wheel" << false;
        QTest::newRow("after a pan") << "pan" << false;
        QTest::newRow("after a dragged zoom") << "rect" << false;
        QTest::newRow("a click is no zoom") << "click" << true;
        QTest::newRow("wheel, then Reset Scale") << "wheel reset" << true;
    }
    void scaleFollowsCurves()
    {
        QFETCH(QString, gesture);
        QFETCH(bool, follows);
        ChiView *v = ctrl->chiKView();
        DispA *d = surface(v);
        addJob({1, 3}, {-0.4, 0.3});
        render(v);
        if (gesture.startsWith("wheel")) {
            QWheelEvent e(QPointF(300, 200), QPointF(300, 200), QPoint(), QPoint(0, 120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
            QCoreApplication::sendEvent(d, &e);
        } else if (!gesture.isEmpty()) {
            const int button = gesture == "pan" ? Qt::LeftButton : Qt::RightButton;
            const QPoint end = gesture == "click" ? QPoint(300, 200) : QPoint(340, 240);
            send(d, QEvent::MouseButtonPress, QPoint(300, 200), button);
            send(d, QEvent::MouseMove, end, button);
            send(d, QEvent::MouseButtonRelease, end, button);
        }
        if (gesture.endsWith("reset"))
            v->findChild<QPushButton *>(QStringLiteral("ResetScale"))->click();
        render(v);
        const Range before = rangeOf(d->coord);
        const Range shown{1, 3, -0.4, 0.4};
        QCOMPARE(before == shown, follows);

        Demeter *larger = addJob({1, 4}, {2, 0.5}); // shown on adding
        render(v);
        compareValues(rangeOf(d->coord), follows ? Range{1, 4, -2, 2} : before);
        larger->ui.Show->setChecked(false);
        render(v);
        compareValues(rangeOf(d->coord), follows ? shown : before);
        QCOMPARE(v->isFollowing(), follows);
    }

    // Units as the reference analysis programs label them: kⁿχ(k) in Å⁻ⁿ,
    // the standard transform's χ(R) of weight n in Å⁻⁽ⁿ⁺¹⁾; the plain sums
    // have none.
    void axisTitles_data()
    {
        QTest::addColumn<bool>("chiR");
        QTest::addColumn<bool>("standard");
        QTest::addColumn<int>("weight");
        QTest::addColumn<QStringList>("parts");  // of chi(R)
        QTest::addColumn<QStringList>("titles"); // x, y, note
        const QString kw2 = "standard transform, k weight 2, Hanning window dk 1 Å⁻¹, k 3–16 Å⁻¹";
        QTest::newRow("chi(k) unweighted")
            << false << false << 0 << QStringList{} << QStringList{"k (Å⁻¹)", "χ(k)", ""};
        QTest::newRow("chi(k), k weight 1")
            << false << false << 1 << QStringList{} << QStringList{"k (Å⁻¹)", "k·χ(k) (Å⁻¹)", ""};
        QTest::newRow("chi(k), k weight 3")
            << false << false << 3 << QStringList{} << QStringList{"k (Å⁻¹)", "k³·χ(k) (Å⁻³)", ""};
        QTest::newRow("plain sums") << true << false << 2 << QStringList{"abs"}
                                    << QStringList{"R (Å)", "|χ(R)|",
                                                   "plain sums over k 3–16 Å⁻¹: no k weight, "
                                                   "no window"};
        QTest::newRow("standard, weight 2")
            << true << true << 2 << QStringList{"abs"} << QStringList{"R (Å)", "|χ(R)| (Å⁻³)", kw2};
        QTest::newRow("standard, magnitude and real part")
            << true << true << 2 << QStringList{"abs", "re"}
            << QStringList{"R (Å)", "χ(R) (Å⁻³)", kw2};
        QTest::newRow("standard, imaginary part, weight 0")
            << true << true << 0 << QStringList{"im"}
            << QStringList{"R (Å)", "Im χ(R) (Å⁻¹)", QString(kw2).replace("weight 2", "weight 0")};
    }
    void axisTitles()
    {
        QFETCH(bool, chiR);
        QFETCH(bool, standard);
        QFETCH(int, weight);
        QFETCH(QStringList, parts);
        const TransformArgs t{3, 16, 0, 8, 0.01, FtOptions{standard, weight, 1.0}};
        const AxisTitles::Titles got =
            chiR ? AxisTitles::chiR(t, parts.contains("abs"), parts.contains("re"),
                                    parts.contains("im"))
                 : AxisTitles::chiK(weight);
        QTEST((QStringList{got.x, got.y, got.note}), "titles");
    }

    // k^3 chi = 4 at k = 1, 2, 3; unweighted the middle point (column 307)
    // is 0.5 (row 185). A black job with the same data is shown first: the
    // red one paints over it.
    void curveInJobColourWithKWeight_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("onRow");
        QTest::addColumn<int>("offRow");
        QTest::newRow("no button: weight 0") << "" << 185 << 156;
        QTest::newRow("kW3") << "kW3" << 156 << 185;
    }
    void curveInJobColourWithKWeight()
    {
        QFETCH(QString, button);
        QFETCH(int, onRow);
        QFETCH(int, offRow);
        for (int i = 0; i < 2; ++i)
            addJob({1, 2, 3}, {4, 0.5, 4.0 / 27});
        ChiView *v = ctrl->chiKView();
        if (!button.isEmpty())
            v->findChild<QRadioButton *>(button)->setChecked(true);
        const QImage img = render(v, true);
        QVERIFY(count(img, red, QRect(306, onRow - 1, 3, 3)) > 0);
        QCOMPARE(count(img, red, QRect(305, offRow - 2, 5, 5)), 0);
        QCOMPARE(count(img, black, plotArea), 0);
        if (button == QLatin1String("kW3")) // level from k = 1 (col 293) to 3 (col 322)
            QCOMPARE(trace(img, 156, red), QString(8, '.') + QString(30, '#') + QString(23, '.'));
    }

    void gridLabelsFrameAndReadOut_data()
    {
        QTest::addColumn<bool>("chiR");
        QTest::newRow("chi(k)") << false;
        QTest::newRow("chi(R)") << true;
    }
    void gridLabelsFrameAndReadOut()
    {
        QFETCH(bool, chiR);
        addJob();
        ChiView *v = chiR ? ctrl->chiRView() : ctrl->chiKView();
        send(surface(v), QEvent::MouseMove, QPointF(315, 190));
        const QImage img = render(v, true);
        // 315 is -15 + 35 * 255 / 510 = 2.5; row 190 is y = 0.
        QCOMPARE(v->findChild<QLineEdit *>(QStringLiteral("PosX"))->text(), QStringLiteral("2.5"));
        QCOMPARE(v->findChild<QLineEdit *>(QStringLiteral("PosY"))->text(), QStringLiteral("0"));
        QCOMPARE(img.pixelColor(278, 100), gridGrey);
        QCOMPARE(img.pixelColor(400, 190), gridGrey);
        QCOMPARE(img.pixelColor(400, 100), white);
        // The frame's corners are (60, 360) and (569, 19); a pen of width 2
        // covers the row or column before each edge too.
        QCOMPARE(rowsOf(img, 300, frameGrey), Rows({18, 19, 359, 360}));
        Rows columns;
        for (int x = 0; x < 600; ++x)
            if (img.pixelColor(x, 250) == frameGrey)
                columns << x;
        QCOMPARE(columns, Rows({59, 60, 568, 569}));
        // Labels: x in the band 363..377 under the plot, y right-aligned in
        // the column 3..57; the x axis title under them at the right end,
        // the y title above the plot at its left; nothing beyond them.
        QVERIFY(!allWhite(img, QRect(60, 363, 510, 15)));
        QVERIFY(allWhite(img, QRect(0, 380, 300, 20)));
        QVERIFY(!allWhite(img, QRect(500, 380, 70, 20)));
        QVERIFY(!allWhite(img, QRect(60, 0, 60, 19)));
        QVERIFY(!allWhite(img, QRect(3, 20, 55, 340)));
        QVERIFY(allWhite(img, QRect(0, 0, 3, 400)));
        QVERIFY(allWhite(img, QRect(575, 20, 25, 340)));
    }

    void pathCurvesOnlyForCheckedBoxes()
    {
        Demeter *job = addJob({-10, 10}, {-17, -17});
        for (double level : {3.0, 8.0, 13.0}) {
            job->chips << new Chi;
            setData(*job->chips.last(), {-10, 10}, {level, level});
        }
        ChiView *v = ctrl->chiKView();
        auto drawn = [&] {
            const QImage img = render(v, true);
            Flags paths;
            for (int row : {164, 122, 79})
                paths << (img.pixelColor(200, row) == pathColor(black));
            return paths;
        };
        QCOMPARE(drawn(), Flags({false, false, false})); // Show2 off
        job->ui.Show2->setChecked(true);
        v->setChips(2); // fewer boxes than paths: path 3 can never show
        QCOMPARE(drawn(), Flags({true, false, false}));
        v->pathBoxes()[1]->setChecked(true);
        QCOMPARE(drawn(), Flags({true, true, false}));
        v->pathBoxes()[0]->setChecked(false);
        QCOMPARE(drawn(), Flags({false, true, false}));
    }

    // A red job with levels |chi| 3, Re 8, Im 13 and one checked path at
    // -3, -8, -13 in the lighter path colour: magnitude solid, real part dashed 2 on 2 off,
    // imaginary part 6 on, 2 off, 3 on, 2 off.
    void chiRComponentsAndDashes_data()
    {
        QTest::addColumn<bool>("show2");
        QTest::addColumn<QStringList>("checked");
        QTest::addColumn<Flags>("drawn"); // Abs., Real, Imag.; paths too with Show2
        QTest::newRow("Show2 off: magnitude whatever is checked")
            << false << QStringList{"SelReal", "SelImag"} << Flags{true, false, false};
        QTest::newRow("Show2 on, all three")
            << true << QStringList{"SelAbs", "SelReal", "SelImag"} << Flags{true, true, true};
        QTest::newRow("Show2 on, imaginary only")
            << true << QStringList{"SelImag"} << Flags{false, false, true};
        QTest::newRow("Show2 on, nothing checked: not even the path")
            << true << QStringList{} << Flags{false, false, false};
    }
    void chiRComponentsAndDashes()
    {
        QFETCH(bool, show2);
        QFETCH(QStringList, checked);
        QFETCH(Flags, drawn);
        addJob();
        Demeter *job = addJob();
        setLevels(job->chi, 3, 8, 13);
        job->chips << new Chi;
        setLevels(*job->chips[0], -3, -8, -13);
        job->ui.Show2->setChecked(show2);
        ChiView *v = ctrl->chiRView(); // Show2 offers the job's one path, checked
        QCOMPARE(v->pathBoxes().size(), int(show2));
        for (const char *n : {"SelAbs", "SelReal", "SelImag"})
            v->findChild<QCheckBox *>(n)->setChecked(checked.contains(QLatin1String(n)));
        const QImage img = render(v, true);
        const QStringList periods = {"#", "##..", "######..###.."};
        const int rows[] = {164, 122, 79, 215, 258, 300}; // the job's, then the path's
        for (int i = 0; i < 6; ++i) {
            const QString t = trace(img, rows[i], i < 3 ? red : pathColor(red));
            const bool on = drawn[i % 3] && (i < 3 || show2);
            QVERIFY2(on ? follows(t, periods[i % 3]) : !t.contains('#'), qPrintable(t));
        }
    }

    // The range set from the data survives degenerate surfaces, a zoom
    // survives repaints; "Reset Scale" and an emptied range bring the data
    // range back.
    void scaleThroughTinySurfacesAndReset()
    {
        addJob({1, 3}, {-0.4, 0.3});
        ChiView *v = ctrl->chiKView();
        DispA *d = surface(v);
        const Range data{1, 3, -0.4, 0.4};
        for (QSize size : {QSize(0, 0), QSize(1, 1), QSize(3, 200)}) {
            d->resize(size);
            QImage img(qMax(size.width(), 1), qMax(size.height(), 1), QImage::Format_RGB32);
            d->render(&img);
        }
        render(v);
        QCOMPARE(rangeOf(d->coord), data);
        d->coord.setRange(1.5, -0.1, 2, 0.1);
        render(v);
        QCOMPARE(rangeOf(d->coord), Range({1.5, 2, -0.1, 0.1}));
        v->findChild<QPushButton *>(QStringLiteral("ResetScale"))->click();
        render(v);
        QCOMPARE(rangeOf(d->coord), data);
        d->coord.clearScale();
        const QImage img = render(v);
        QCOMPARE(rangeOf(d->coord), data);
        QVERIFY(count(img, frameGrey, img.rect()) > 0);
    }

    // In the standard transform the chi(R) window's buttons pick the weight
    // of the drawn curve and rescale; in the plain sums they do nothing.
    // Points k = 1, 2 with chi 1 in a box window: the largest |chi(R)| is at
    // R = 0, (1 + 2^n) / sqrt(pi) with spacing 1.
    void chiRWeightButtons_data()
    {
        QTest::addColumn<bool>("standard");
        QTest::addColumn<QString>("button");
        QTest::addColumn<double>("largest");
        QTest::newRow("standard, no button: FT_KWEIGHT 2") << true << "" << 5 / std::sqrt(M_PI);
        QTest::newRow("standard, kW0") << true << "kW0" << 2 / std::sqrt(M_PI);
        QTest::newRow("standard, kW3") << true << "kW3" << 9 / std::sqrt(M_PI);
        QTest::newRow("plain, kW3: the plain sum") << false << "kW3" << 2.0;
    }
    void chiRWeightButtons()
    {
        QFETCH(bool, standard);
        QFETCH(QString, button);
        QFETCH(double, largest);
        addJob({1, 2}, {1, 1})
            ->chi.transform(TransformArgs{1, 2, 0, 0.5, 0.5, FtOptions{standard, 2, 0.0}});
        ChiView *v = ctrl->chiRView();
        render(v); // the first scale, with no button
        if (!button.isEmpty())
            v->findChild<QRadioButton *>(button)->setChecked(true);
        render(v);
        compareValues({surface(v)->coord.yMax}, {largest});
    }

    // Curves made again with another weight: made once, kept while asked
    // for, made anew when the source changes.
    void weightedChiRCache()
    {
        Chi source;
        setData(source, {1, 2}, {1, 1});
        const TransformArgs args{1, 2, 0, 0, 0.01, FtOptions{true, 2, 0.0}};
        source.transform(args);
        WeightedChiR weighted;
        QCOMPARE(&weighted.curve(source, 2), &source); // its own weight
        const Chi *cubed = &weighted.curve(source, 3);
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

private:
    // These tests look at the curves alone; the legend has tests of its own.
    void setUp() override
    {
        for (ChiView *v : {ctrl->chiKView(), ctrl->chiRView()})
            v->findChild<QCheckBox *>(QStringLiteral("ShowLegend"))->setChecked(false);
    }
};

QTEST_MAIN(TstChiViewCtrl)
#include "tst_chiviewctrl.moc"
