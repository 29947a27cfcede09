#include "app/settings.h"
#include "chi/chi.h"
#include "jobs/demeter.h"
#include "plot/chiview.h"
#include "plot/chiviewctrl.h"
#include "plot/dispa.h"

#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

using Values = QVector<double>;
using Range = QVector<double>; // xMin, xMax, yMin, yMax

namespace {

constexpr double qnan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();
const QColor white(255, 255, 255);
const QColor gridGrey(200, 200, 200);
const QColor frameGrey(180, 180, 180);

void setK(Chi &c, const Values &k, const Values &chi)
{
    c.clearChiK();
    c.k = k;
    c.chi = chi;
    for (double v : k)
        Chi::updateExtent(v, c.kExtent.min, c.kExtent.max);
    for (double v : chi)
        Chi::updateExtent(v, c.chiExtent.min, c.chiExtent.max);
    c.hasChiK = !k.isEmpty();
}

void setR(Chi &c, const Values &r, const Values &abs, const Values &re, const Values &im)
{
    c.clearChiR();
    c.r = r;
    c.chiRAbs = abs;
    c.chiRRe = re;
    c.chiRIm = im;
    for (double v : r)
        Chi::updateExtent(v, c.rExtent.min, c.rExtent.max);
    for (double v : abs)
        Chi::updateExtent(v, c.chiRAbsExtent.min, c.chiRAbsExtent.max);
    c.hasChiR = true;
}

// A level chi(R) line at value v over R 0..8 (every 0.05).
void setLevelR(Chi &c, double abs, double re, double im)
{
    Values r, a, b, d;
    for (int i = 0; i <= 160; ++i) {
        r << i * 0.05;
        a << abs;
        b << re;
        d << im;
    }
    setR(c, r, a, b, d);
}

Range rangeOf(const DispA *d)
{
    return {d->coord.xMin, d->coord.xMax, d->coord.yMin, d->coord.yMax};
}

bool sameColor(const QImage &img, int x, int y, const QColor &c)
{
    return img.rect().contains(x, y) && img.pixelColor(x, y) == c;
}

// True when the colour appears within the square of the given half-size.
bool near(const QImage &img, int x, int y, const QColor &c, int half = 1)
{
    for (int dy = -half; dy <= half; ++dy)
        for (int dx = -half; dx <= half; ++dx)
            if (sameColor(img, x + dx, y + dy, c))
                return true;
    return false;
}

int countColor(const QImage &img, const QColor &c, QRect area = QRect())
{
    if (area.isNull())
        area = img.rect();
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            n += sameColor(img, x, y, c);
    return n;
}

bool allWhite(const QImage &img, QRect area = QRect())
{
    if (area.isNull())
        area = img.rect();
    return countColor(img, white, area) == area.width() * area.height();
}

// Lengths of the alternating runs of colour c and of other pixels along a
// row between two columns, from the first run of c to the last.
QVector<int> runs(const QImage &img, int row, int from, int to, const QColor &c)
{
    QVector<int> out;
    bool on = false;
    int len = 0;
    for (int x = from; x <= to; ++x) {
        const bool here = sameColor(img, x, row, c);
        if (out.isEmpty() && len == 0 && !here)
            continue;
        if (here != on && len > 0) {
            out << len;
            len = 0;
        }
        on = here;
        ++len;
    }
    if (on && len > 0)
        out << len;
    return out;
}

} // namespace

// Surfaces are 600 x 400: plot area 60..570 by 360..20.
class TstChiViewCtrl : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void windowsAreSetUp();
    void coloursFollowListLength();
    void nothingDrawnWithoutShownJob_data();
    void nothingDrawnWithoutShownJob();
    void automaticRangeK_data();
    void automaticRangeK();
    void automaticRangeR_data();
    void automaticRangeR();
    void curveInJobColourWithKWeight_data();
    void curveInJobColourWithKWeight();
    void gridLabelsAndFrame_data();
    void gridLabelsAndFrame();
    void laterJobsPaintOver();
    void pathCurvesOnlyForCheckedBoxes();
    void chiRComponentsAndDashes_data();
    void chiRComponentsAndDashes();
    void chiRPathsFollowComponents();
    void cursorReadOut();
    void show2TellsWindowsPathCount();
    void jobSignalsRepaint_data();
    void jobSignalsRepaint();
    void resetScaleAfterZoom();
    void degenerateSurfacesAndGestures();

private:
    Demeter *addJob();
    QImage render(ChiView *v);
    DispA *surface(ChiView *v) { return v->findChild<DispA *>(QStringLiteral("DispChi")); }
    void setRange(ChiView *v, double x0, double y0, double x1, double y1);

    QScopedPointer<QTemporaryDir> dir;
    ChiViewCtrl *ctrl = nullptr;
    QVector<Demeter *> jobs;
};

void TstChiViewCtrl::init()
{
    dir.reset(new QTemporaryDir);
    QVERIFY(dir->isValid());
    ctrl = new ChiViewCtrl;
}

void TstChiViewCtrl::cleanup()
{
    qDeleteAll(jobs);
    jobs.clear();
    // The application never deletes the windows; the tests do.
    delete ctrl->chiKView();
    delete ctrl->chiRView();
    delete ctrl;
}

Demeter *TstChiViewCtrl::addJob()
{
    const QString input = dir->filePath(QStringLiteral("job%1.inp").arg(jobs.size()));
    QFile f(input);
    if (f.open(QIODevice::WriteOnly))
        f.write("TITLE test\n");
    f.close();
    Settings s;
    s.resDir = dir->filePath(QStringLiteral("res"));
    auto *job = new Demeter(s, QFileInfo(input), 6);
    jobs << job;
    ctrl->addDemeter(job);
    return job;
}

QImage TstChiViewCtrl::render(ChiView *v)
{
    DispA *d = surface(v);
    // The window's layout would size the surface on the first render; let
    // it do so first, then give the surface the size the figures assume.
    v->ensurePolished();
    v->layout()->activate();
    d->resize(600, 400);
    QImage img(d->size(), QImage::Format_RGB32);
    img.fill(Qt::green);
    d->render(&img);
    return img;
}

void TstChiViewCtrl::setRange(ChiView *v, double x0, double y0, double x1, double y1)
{
    v->rescale = false;
    surface(v)->coord.setRange(x0, y0, x1, y1);
}

void TstChiViewCtrl::windowsAreSetUp()
{
    ChiView *k = ctrl->chiKView();
    ChiView *r = ctrl->chiRView();
    QCOMPARE(k->windowTitle(), QStringLiteral("chi k View"));
    QCOMPARE(r->windowTitle(), QStringLiteral("chi R View"));
    QCOMPARE(k->findChild<QLabel *>(QStringLiteral("AxName"))->text(), QStringLiteral("k"));
    QCOMPARE(r->findChild<QLabel *>(QStringLiteral("AxName"))->text(), QStringLiteral("R"));
    QVERIFY(k->findChild<QFrame *>(QStringLiteral("ComplexLineSelect"))->isHidden());
    QVERIFY(!r->findChild<QFrame *>(QStringLiteral("ComplexLineSelect"))->isHidden());
    QVERIFY(k->findChild<QFrame *>(QStringLiteral("PathSelect"))->isHidden());
    QVERIFY(r->findChild<QFrame *>(QStringLiteral("PathSelect"))->isHidden());
    QVERIFY(!k->parent());
    QCOMPARE(ctrl->palette.colors.size(), 40);
    QSignalSpy spy(ctrl, &ChiViewCtrl::log);
    emit r->log(QStringLiteral("hello"));
    QCOMPARE(spy.count(), 1);
}

void TstChiViewCtrl::coloursFollowListLength()
{
    Demeter *a = addJob();
    Demeter *b = addJob();
    QCOMPARE(a->color, QColor(0, 0, 0));
    QCOMPARE(b->color, QColor(255, 0, 0));
    QCOMPARE(b->ui.ColorDisp->background, QColor(255, 0, 0));
    ctrl->removeDemeter(a);
    Demeter *c = addJob();
    QCOMPARE(c->color, QColor(255, 0, 0)); // list length 1 again
    // The swatch shows it: nothing draws on it but its background.
    c->ui.ColorDisp->resize(30, 20);
    QImage img(30, 20, QImage::Format_RGB32);
    c->ui.ColorDisp->render(&img);
    QCOMPARE(img.pixelColor(15, 10), QColor(255, 0, 0));
}

void TstChiViewCtrl::nothingDrawnWithoutShownJob_data()
{
    QTest::addColumn<int>("jobCount");
    QTest::newRow("no job") << 0;
    QTest::newRow("job not shown") << 1;
}

void TstChiViewCtrl::nothingDrawnWithoutShownJob()
{
    QFETCH(int, jobCount);
    for (int i = 0; i < jobCount; ++i)
        setK(addJob()->chi, {1, 2}, {0.3, -0.3});
    for (ChiView *v : {ctrl->chiKView(), ctrl->chiRView()}) {
        QVERIFY(allWhite(render(v)));
        QVERIFY(v->rescale);
    }
    if (jobCount == 0)
        return;
    jobs[0]->ui.Show->setChecked(true);
    const QImage img = render(ctrl->chiKView());
    QVERIFY(!ctrl->chiKView()->rescale);
    QVERIFY(countColor(img, frameGrey) > 0);
    QCOMPARE(rangeOf(surface(ctrl->chiKView())), Range({1, 2, -0.3, 0.3}));
}

void TstChiViewCtrl::automaticRangeK_data()
{
    QTest::addColumn<Values>("k");
    QTest::addColumn<Values>("chi");
    QTest::addColumn<Range>("range");
    QTest::newRow("no chi(k) yet") << Values{} << Values{} << Range{0, 20, -1, 1};
    QTest::newRow("more negative")
        << Values{1, 2, 3} << Values{-0.4, 0.3, 0} << Range{1, 3, -0.4, 0.4};
    QTest::newRow("more positive")
        << Values{1, 2, 3} << Values{-0.2, 0.5, 0} << Range{1, 3, -0.5, 0.5};
    QTest::newRow("all zero") << Values{1, 2, 3} << Values{0, 0, 0} << Range{1, 3, -1, 1};
    QTest::newRow("one point") << Values{5} << Values{0.2} << Range{4.5, 5.5, -0.2, 0.2};
    QTest::newRow("only nan") << Values{qnan, qnan} << Values{qnan, qnan} << Range{0, 20, -1, 1};
    QTest::newRow("infinity counts as missing bound")
        << Values{1, 2, 3} << Values{-0.3, infinity, 0.1} << Range{1, 3, -1, 1};
    QTest::newRow("nan among data")
        << Values{1, 2, 3} << Values{-0.3, qnan, 0.1} << Range{1, 3, -0.3, 0.3};
}

void TstChiViewCtrl::automaticRangeK()
{
    QFETCH(Values, k);
    QFETCH(Values, chi);
    QFETCH(Range, range);
    Demeter *job = addJob();
    setK(job->chi, k, chi);
    job->ui.Show->setChecked(true);
    const QImage img = render(ctrl->chiKView());
    const Range got = rangeOf(surface(ctrl->chiKView()));
    for (int i = 0; i < 4; ++i)
        QVERIFY2(qAbs(got[i] - range[i]) < 1e-12, qPrintable(QString::number(got[i])));
    QVERIFY(!ctrl->chiKView()->rescale);
    QVERIFY(countColor(img, frameGrey) > 0);
}

void TstChiViewCtrl::automaticRangeR_data()
{
    QTest::addColumn<bool>("hasR");
    QTest::addColumn<double>("level");
    QTest::addColumn<Range>("range");
    QTest::newRow("no chi(R) yet") << false << 0.0 << Range{0, 8, 0, 1};
    QTest::newRow("level 0.7") << true << 0.7 << Range{0, 8, 0.63, 0.77};
    QTest::newRow("all zero") << true << 0.0 << Range{0, 8, -1, 1};
}

void TstChiViewCtrl::automaticRangeR()
{
    QFETCH(bool, hasR);
    QFETCH(double, level);
    QFETCH(Range, range);
    Demeter *job = addJob();
    if (hasR)
        setLevelR(job->chi, level, 0, 0);
    job->ui.Show->setChecked(true);
    render(ctrl->chiRView());
    const Range got = rangeOf(surface(ctrl->chiRView()));
    for (int i = 0; i < 4; ++i)
        QVERIFY2(qAbs(got[i] - range[i]) < 1e-12, qPrintable(QString::number(got[i])));
}

void TstChiViewCtrl::curveInJobColourWithKWeight_data()
{
    // Range x -15..20, y -20..20: ticks every 5, away from the checked
    // points. k = 2 is column 307; y = 4 row 156, y = 0.5 row 185.
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("onRow");
    QTest::addColumn<int>("offRow");
    QTest::newRow("no button: weight 0") << "" << 185 << 156;
    QTest::newRow("kW0") << "kW0" << 185 << 156;
    QTest::newRow("kW3") << "kW3" << 156 << 185;
}

void TstChiViewCtrl::curveInJobColourWithKWeight()
{
    QFETCH(QString, button);
    QFETCH(int, onRow);
    QFETCH(int, offRow);
    addJob(); // black, not shown
    Demeter *job = addJob();
    // k^3 chi = 4 at all three points; unweighted the middle one is 0.5.
    setK(job->chi, {1, 2, 3}, {4, 0.5, 4.0 / 27});
    job->ui.Show->setChecked(true);
    ChiView *v = ctrl->chiKView();
    if (!button.isEmpty())
        v->findChild<QRadioButton *>(button)->setChecked(true);
    setRange(v, -15, -20, 20, 20);
    const QImage img = render(v);
    const QColor red(255, 0, 0);
    QVERIFY(near(img, 307, onRow, red));
    QVERIFY(!near(img, 307, offRow, red, 2));
    if (button == QLatin1String("kW3")) // level from k = 1 (col 293) to 3 (col 322)
        QCOMPARE(runs(img, 156, 280, 340, red), QVector<int>{30});
}

void TstChiViewCtrl::gridLabelsAndFrame_data()
{
    QTest::addColumn<bool>("chiR");
    QTest::newRow("chi(k)") << false;
    QTest::newRow("chi(R)") << true;
}

void TstChiViewCtrl::gridLabelsAndFrame()
{
    QFETCH(bool, chiR);
    Demeter *job = addJob();
    job->ui.Show->setChecked(true);
    ChiView *v = chiR ? ctrl->chiRView() : ctrl->chiKView();
    setRange(v, -15, -20, 20, 20);
    const QImage img = render(v);
    // x = 0 at column 60 + 510 * 15 / 35 = 278.6; y = 0 at row 190.
    QCOMPARE(img.pixelColor(278, 100), gridGrey);
    QCOMPARE(img.pixelColor(400, 190), gridGrey);
    QCOMPARE(img.pixelColor(400, 100), white);
    // Frame of width 2 around 60..569 by 19..360.
    for (QPoint p : {QPoint(60, 250), QPoint(569, 250), QPoint(300, 19), QPoint(300, 360)})
        QVERIFY2(near(img, p.x(), p.y(), frameGrey),
                 qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
    QVERIFY(!near(img, 40, 250, frameGrey, 3));
    // Labels: x in the band 363..377 under the plot, y right-aligned in the
    // column 3..57; nothing beyond them.
    QVERIFY(!allWhite(img, QRect(60, 363, 510, 15)));
    QVERIFY(allWhite(img, QRect(0, 380, 600, 20)));
    QVERIFY(!allWhite(img, QRect(3, 20, 55, 340)));
    QVERIFY(allWhite(img, QRect(0, 0, 3, 400)));
    QVERIFY(allWhite(img, QRect(575, 0, 25, 360)));
}

void TstChiViewCtrl::laterJobsPaintOver()
{
    Demeter *a = addJob();
    Demeter *b = addJob();
    for (Demeter *j : {a, b}) {
        setK(j->chi, {-10, 10}, {3, 3});
        j->ui.Show->setChecked(true);
    }
    ChiView *v = ctrl->chiKView();
    setRange(v, -15, -20, 20, 20);
    const QImage img = render(v);
    // y = 3: row 360 - 340 * 23 / 40 = 164.5 -> 164.
    QCOMPARE(img.pixelColor(200, 164), QColor(255, 0, 0));
    QCOMPARE(countColor(img, QColor(0, 0, 0), QRect(60, 20, 510, 340)), 0);
}

void TstChiViewCtrl::pathCurvesOnlyForCheckedBoxes()
{
    Demeter *job = addJob();
    setK(job->chi, {-10, 10}, {-17, -17});
    for (double level : {3.0, 8.0, 13.0}) { // rows 164, 122, 79 (truncated)
        auto *path = new Chi;
        setK(*path, {-10, 10}, {level, level});
        job->chips << path;
    }
    job->ui.Show->setChecked(true);
    ChiView *v = ctrl->chiKView();
    v->setChips(2); // fewer boxes than paths: path 3 can never show
    v->pathBoxes()[0]->setChecked(true);
    setRange(v, -15, -20, 20, 20);
    const QColor black(0, 0, 0);

    QImage img = render(v);
    QCOMPARE(img.pixelColor(200, 164), white); // Show2 off: no paths
    job->ui.Show2->setChecked(true);
    img = render(v);
    QCOMPARE(img.pixelColor(200, 164), black);
    QCOMPARE(img.pixelColor(200, 122), white);
    QCOMPARE(img.pixelColor(200, 79), white);
    v->pathBoxes()[1]->setChecked(true);
    img = render(v);
    QCOMPARE(img.pixelColor(200, 122), black);
    QCOMPARE(img.pixelColor(200, 79), white);
    v->pathBoxes()[0]->setChecked(false);
    img = render(v);
    QCOMPARE(img.pixelColor(200, 164), white);
}

void TstChiViewCtrl::chiRComponentsAndDashes_data()
{
    // Levels on range y -20..20: |chi| 3 -> row 164, Re 8 -> 122,
    // Im 13 -> 79. Expected runs of ink between the grid columns.
    QTest::addColumn<bool>("show2");
    QTest::addColumn<QStringList>("checked");
    QTest::addColumn<bool>("absDrawn");
    QTest::addColumn<bool>("realDrawn");
    QTest::addColumn<bool>("imagDrawn");
    QTest::newRow("Show2 off: magnitude whatever is checked")
        << false << QStringList{"SelReal", "SelImag"} << true << false << false;
    QTest::newRow("Show2 off, default") << false << QStringList{"SelAbs"} << true << false << false;
    QTest::newRow("Show2 on, all three")
        << true << QStringList{"SelAbs", "SelReal", "SelImag"} << true << true << true;
    QTest::newRow("Show2 on, real only")
        << true << QStringList{"SelReal"} << false << true << false;
    QTest::newRow("Show2 on, nothing checked") << true << QStringList{} << false << false << false;
}

void TstChiViewCtrl::chiRComponentsAndDashes()
{
    QFETCH(bool, show2);
    QFETCH(QStringList, checked);
    QFETCH(bool, absDrawn);
    QFETCH(bool, realDrawn);
    QFETCH(bool, imagDrawn);
    addJob();
    Demeter *job = addJob();
    setLevelR(job->chi, 3, 8, 13);
    job->ui.Show->setChecked(true);
    job->ui.Show2->setChecked(show2);
    ChiView *v = ctrl->chiRView();
    for (const char *n : {"SelAbs", "SelReal", "SelImag"})
        v->findChild<QCheckBox *>(n)->setChecked(checked.contains(QLatin1String(n)));
    // x -15..20 puts grid columns at 0 and 5 to 278 and 351; R runs 0..8.
    setRange(v, -15, -20, 20, 20);
    const QImage img = render(v);
    const QColor red(255, 0, 0);
    const QVector<int> abs = runs(img, 164, 285, 345, red);
    const QVector<int> re = runs(img, 122, 285, 345, red);
    const QVector<int> im = runs(img, 79, 285, 345, red);
    QCOMPARE(abs, absDrawn ? QVector<int>{61} : QVector<int>{});
    if (!realDrawn) {
        QVERIFY(re.isEmpty());
    } else { // 2 on, 2 off
        QVERIFY(re.size() > 20);
        for (int i = 1; i < re.size() - 1; ++i)
            QVERIFY2(re[i] == 2, qPrintable(QString::number(i)));
    }
    if (!imagDrawn) {
        QVERIFY(im.isEmpty());
    } else { // 6 on, 2 off, 3 on, 2 off
        QVERIFY(im.size() > 12);
        const int start = im.indexOf(6, 1); // the first run may be cut
        QVERIFY(start >= 1);
        const QVector<int> pattern{6, 2, 3, 2};
        for (int i = start; i < im.size() - 1; ++i)
            QVERIFY2(im[i] == pattern[(i - start) % 4], qPrintable(QString::number(i)));
    }
}

void TstChiViewCtrl::chiRPathsFollowComponents()
{
    Demeter *job = addJob();
    setLevelR(job->chi, -17, -17, -17);
    auto *path = new Chi;
    setLevelR(*path, 3, 8, 13);
    job->chips << path;
    job->ui.Show->setChecked(true);
    job->ui.Show2->setChecked(true);
    ChiView *v = ctrl->chiRView();
    v->setChips(1); // box 1 checked
    setRange(v, -15, -20, 20, 20);
    const QColor black(0, 0, 0);
    auto box = [v](const char *n) { return v->findChild<QCheckBox *>(n); };

    QImage img = render(v); // Abs. only
    QCOMPARE(runs(img, 164, 285, 345, black), QVector<int>{61});
    QVERIFY(runs(img, 122, 285, 345, black).isEmpty());
    box("SelAbs")->setChecked(false);
    box("SelImag")->setChecked(true);
    img = render(v);
    QVERIFY(runs(img, 164, 285, 345, black).isEmpty());
    QVERIFY(runs(img, 79, 285, 345, black).size() > 12);
    box("SelImag")->setChecked(false);
    img = render(v); // nothing checked: not even the path
    QCOMPARE(countColor(img, black, QRect(60, 20, 510, 340)), 0);
}

void TstChiViewCtrl::cursorReadOut()
{
    Demeter *job = addJob();
    job->ui.Show->setChecked(true);
    ChiView *v = ctrl->chiKView();
    setRange(v, -15, -20, 20, 20);
    render(v);
    QMouseEvent move(QEvent::MouseMove, QPointF(315, 190), QPointF(315, 190), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(surface(v), &move);
    render(v);
    // 315 is -15 + 35 * 255 / 510 = 2.5; row 190 is y = 0.
    QCOMPARE(v->findChild<QLineEdit *>(QStringLiteral("PosX"))->text(), QStringLiteral("2.5"));
    QCOMPARE(v->findChild<QLineEdit *>(QStringLiteral("PosY"))->text(), QStringLiteral("0"));
}

void TstChiViewCtrl::show2TellsWindowsPathCount()
{
    Demeter *job = addJob();
    for (int i = 0; i < 3; ++i)
        job->chips << new Chi;
    job->ui.Show2->setChecked(true);
    for (ChiView *v : {ctrl->chiKView(), ctrl->chiRView()}) {
        QCOMPARE(v->pathBoxes().size(), 3);
        QVERIFY(!v->findChild<QFrame *>(QStringLiteral("PathSelect"))->isHidden());
    }
    job->ui.Show2->setChecked(false); // false: nothing changes
    QVERIFY(!ctrl->chiKView()->findChild<QFrame *>(QStringLiteral("PathSelect"))->isHidden());
}

void TstChiViewCtrl::jobSignalsRepaint_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("newChi") << 0;
    QTest::newRow("Show toggled") << 1;
    QTest::newRow("Show2 toggled") << 2;
}

void TstChiViewCtrl::jobSignalsRepaint()
{
    QFETCH(int, which);
    Demeter *job = addJob();
    ChiView *v = ctrl->chiRView();
    v->show();
    QVERIFY(QTest::qWaitForWindowExposed(v));
    int draws = 0;
    connect(v, &ChiView::draw, this, [&](QPainter *) { ++draws; });
    QCoreApplication::processEvents();
    draws = 0;
    if (which == 0)
        emit job->newChi();
    else if (which == 1)
        job->ui.Show->setChecked(true);
    else
        job->ui.Show2->setChecked(true);
    QTRY_VERIFY(draws > 0);
    v->hide();
}

void TstChiViewCtrl::resetScaleAfterZoom()
{
    Demeter *job = addJob();
    setK(job->chi, {1, 3}, {-0.4, 0.3});
    job->ui.Show->setChecked(true);
    ChiView *v = ctrl->chiKView();
    render(v);
    QCOMPARE(rangeOf(surface(v)), Range({1, 3, -0.4, 0.4}));
    surface(v)->coord.setRange(1.5, -0.1, 2, 0.1);
    render(v);
    QCOMPARE(rangeOf(surface(v)), Range({1.5, 2, -0.1, 0.1}));
    QTest::mouseClick(v->findChild<QPushButton *>(QStringLiteral("ResetScale")), Qt::LeftButton);
    render(v);
    QCOMPARE(rangeOf(surface(v)), Range({1, 3, -0.4, 0.4}));
}

void TstChiViewCtrl::degenerateSurfacesAndGestures()
{
    Demeter *job = addJob();
    setK(job->chi, {1, 3}, {-0.4, 0.3});
    job->ui.Show->setChecked(true);
    ChiView *v = ctrl->chiKView();
    DispA *d = surface(v);
    for (QSize size : {QSize(0, 0), QSize(1, 1), QSize(3, 200)}) {
        d->resize(size);
        QImage img(qMax(size.width(), 1), qMax(size.height(), 1), QImage::Format_RGB32);
        d->render(&img);
    }
    render(v);
    // A right click without movement, and a purely horizontal right drag.
    auto send = [d](QEvent::Type t, QPoint p, Qt::MouseButton b) {
        QMouseEvent e(t, p, p, b, t == QEvent::MouseButtonRelease ? Qt::NoButton : b,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(d, &e);
    };
    send(QEvent::MouseButtonPress, QPoint(200, 200), Qt::RightButton);
    send(QEvent::MouseButtonRelease, QPoint(200, 200), Qt::RightButton);
    send(QEvent::MouseButtonPress, QPoint(100, 200), Qt::RightButton);
    send(QEvent::MouseButtonRelease, QPoint(400, 200), Qt::RightButton);
    render(v);
    QCOMPARE(rangeOf(d), Range({1, 3, -0.4, 0.4}));
    // A range emptied behind the chart's back is replaced from the data.
    d->coord.clearScale();
    const QImage img = render(v);
    QCOMPARE(rangeOf(d), Range({1, 3, -0.4, 0.4}));
    QVERIFY(countColor(img, frameGrey) > 0);
}

QTEST_MAIN(TstChiViewCtrl)
#include "tst_chiviewctrl.moc"
