#include "fit/fitresult.h"
#include "plot/dataline.h"
#include "plot/measuredcurves.h"
#include "tests/plot/plotfixture.h"

#include <QCheckBox>
#include <QFile>

namespace {

// A fit of chi = 8 from k 0 to 10 on the fit's 0.05 grid.
FitResult levelFit()
{
    FitResult r;
    r.valid = true;
    for (int i = 0; i <= 200; ++i) {
        r.k << 0.05 * i;
        r.measured << 0;
        r.fitted << 8;
    }
    return r;
}

// Runs of set pixels in a profile: their lengths, and the gaps between.
void runs(const QVector<bool> &profile, QVector<int> &on, QVector<int> &off)
{
    for (int i = 0; i < profile.size();) {
        int j = i;
        while (j < profile.size() && profile[j] == profile[i])
            ++j;
        (profile[i] ? on : off) << j - i;
        i = j;
    }
}

} // namespace

// A job without chi(k) of its own and no legend, so that every pixel of its
// colour is its fit's. In render()'s fixed range y = 8 is row 122 and k = 0
// to 10 columns 278 to 424.
class TstFitCurves : public PlotFixture
{
    Q_OBJECT
    void setUp() override
    {
        for (ChiView *v : {ctrl->chiKView(), ctrl->chiRView()})
            v->findChild<QCheckBox *>("ShowLegend")->setChecked(false);
    }
private slots:
    void fitIsDashedInTheJobsColour()
    {
        Demeter *job = addJob();
        ctrl->setFit(job, levelFit());
        const QImage img = render(ctrl->chiKView(), true);
        QVector<bool> profile;
        for (int x = 285; x <= 415; ++x)
            profile << (img.pixelColor(x, 122) == job->color);
        QVector<int> on, off;
        runs(profile, on, off);
        QVERIFY2(on.size() >= 6, qPrintable(QString::number(on.size())));
        QVERIFY(*std::max_element(on.begin(), on.end()) <= 12);
        // Gaps of a dash pattern, not the grid lines drawn across the curve.
        QVERIFY(std::count_if(off.begin(), off.end(), [](int n) { return n >= 3; }) >= 6);
        // twice a job's width, on the row of y = 8 and the one above
        Rows rows;
        for (int x = 285; x <= 300; ++x)
            rows += rowsOf(img, x, job->color);
        std::sort(rows.begin(), rows.end());
        rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
        QCOMPARE(rows, Rows({121, 122}));
    }

    // The box of each window hides the fits of that window only, and an
    // invalid result removes the curve.
    void fitBoxHidesFits_data()
    {
        QTest::addColumn<bool>("chiR");
        QTest::addColumn<bool>("boxChecked");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("chi(k), box checked") << false << true << true << true;
        QTest::newRow("chi(k), box cleared") << false << false << true << false;
        QTest::newRow("chi(R), box checked") << true << true << true << true;
        QTest::newRow("chi(R), box cleared") << true << false << true << false;
        QTest::newRow("chi(k), fit withdrawn") << false << true << false << false;
    }
    void fitBoxHidesFits()
    {
        QFETCH(bool, chiR);
        QFETCH(bool, boxChecked);
        QFETCH(bool, valid);
        ctrl->measuredCurves()->setTransformArgs({2, 10, 0, 6, 0.05, FtOptions()});
        Demeter *job = addJob();
        ctrl->setFit(job, levelFit());
        if (!valid)
            ctrl->setFit(job, FitResult());
        ChiView *view = chiR ? ctrl->chiRView() : ctrl->chiKView();
        ChiView *other = chiR ? ctrl->chiKView() : ctrl->chiRView();
        view->findChild<QCheckBox *>("ShowFit")->setChecked(boxChecked);
        QFETCH(bool, drawn);
        QCOMPARE(count(render(view, true), job->color, plotArea) > 20, drawn);
        QCOMPARE(count(render(other, true), job->color, plotArea) > 20, valid);
    }

    // Saved figures and data carry the fit: the data its column pair, named
    // after its job; the PNG its colour; the SVG a dashed stroke of it.
    void fitIsExported()
    {
        Demeter *job = addJob();
        job->color = QColor(10, 120, 200); // unlike the painter's default pen
        ctrl->setFit(job, levelFit());
        ChiView *view = ctrl->chiKView();
        render(view, true); // the size and range the files are saved with
        const QString tsv = dir->filePath("k.tsv");
        QVERIFY(ctrl->saveView(view, tsv));
        QFile file(tsv);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString header = QString::fromUtf8(file.readLine());
        QVERIFY2(header.contains("job0 · fit k\tjob0 · fit chi(k)"), qPrintable(header));
        QCOMPARE(QString::fromUtf8(file.readLine()).trimmed(), QStringLiteral("0\t8"));

        const QString png = dir->filePath("k.png");
        QVERIFY(ctrl->saveView(view, png));
        const QImage image(png);
        QVERIFY(count(image, job->color, image.rect()) > 20);

        const QString svg = dir->filePath("k.svg");
        QVERIFY(ctrl->saveView(view, svg));
        QFile drawing(svg);
        QVERIFY(drawing.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(drawing.readAll());
        const QString stroke = QStringLiteral("stroke=\"%1\"").arg(job->color.name());
        const int at = text.indexOf(stroke);
        QVERIFY2(at >= 0, qPrintable(stroke));
        const int tag = text.lastIndexOf("<g", at);
        QVERIFY(text.mid(tag, text.indexOf('>', at) - tag).contains("stroke-dasharray"));
    }
};

QTEST_MAIN(TstFitCurves)
#include "tst_fitcurves.moc"
