#include "plot/plotlegend.h"
#include "tests/plot/plotfixture.h"

#include <QSvgRenderer>

namespace {

// The bounding box of the pixels in which two images differ.
QRect differences(const QImage &a, const QImage &b)
{
    QRect box;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

} // namespace

// Two jobs whose chi(k) rises from the lower left to the upper right of the
// plot, so the upper left and lower right corners are free.
class TstPlotExport : public PlotFixture
{
    Q_OBJECT
private slots:
    // The legend covers only a free corner, and the window's export is what
    // it shows, legend included.
    void legendAndExport_data()
    {
        QTest::addColumn<bool>("chiR");
        QTest::addColumn<QString>("name");
        QTest::newRow("chi(k), PNG") << false << "Bild ö.png";
        QTest::newRow("chi(R), SVG") << true << "Zeichnung ö.svg";
    }
    void legendAndExport()
    {
        QFETCH(bool, chiR);
        QFETCH(QString, name);
        ChiView *v = chiR ? ctrl->chiRView() : ctrl->chiKView();
        auto *legend = v->findChild<QCheckBox *>(QStringLiteral("ShowLegend"));
        legend->setChecked(false);
        const QImage without = render(v);
        legend->setChecked(true);
        const QImage shown = render(v);
        const QRect box = differences(without, shown);
        // Inside the plot area, everything outside the box as it was.
        QCOMPARE(box & QRect(60, 20, 511, 341), box);
        QVERIFY(box.width() < 300 && box.height() < 170);
        // The first job's pen sample (red) is in the box.
        QVERIFY(count(shown, red, box) >= 20);
        if (!chiR) // the rising curves leave the upper left (x < 315, y < 190) free
            QCOMPARE(box & QRect(60, 20, 255, 170), box);
        const QString file = dir->filePath(name);
        QVERIFY(ctrl->saveView(v, file));
        QCOMPARE(logged, QStringList{"Saved " + file});
        if (name.endsWith(".png")) {
            const QImage saved(file);
            QCOMPARE(saved.size(), QSize(600, 400));
            QCOMPARE(differences(saved.convertToFormat(QImage::Format_RGB32), shown), QRect());
            return;
        }
        QSvgRenderer svg(file);
        QCOMPARE(svg.viewBox(), QRect(0, 0, 600, 400));
        QImage drawn(600, 400, QImage::Format_RGB32);
        drawn.fill(Qt::white);
        QPainter p(&drawn);
        svg.render(&p);
        p.end();
        // The curves are there, smoothed by the renderer: reddish pixels
        // where the chart has red (job1's curve and its legend sample).
        int reddish = 0;
        for (int y = 0; y < drawn.height(); ++y)
            for (int x = 0; x < drawn.width(); ++x) {
                const QColor c = drawn.pixelColor(x, y);
                reddish += c.red() > 180 && c.green() < 140 && c.blue() < 140;
            }
        QVERIFY2(reddish > 300, qPrintable(QString::number(reddish)));
    }

    // A 100 x 100 plot from (origin, origin), one data unit to a pixel, and a
    // 20 x 10 legend: at origin 0 the corners are x 74..93 or 6..25 by y 6..15
    // or 84..93, at -50 x 24..43 or -44..-25 by y -44..-35 or 34..43. A point
    // counts where its position cut toward zero falls.
    void legendPlacement_data()
    {
        QTest::addColumn<double>("origin");
        QTest::addColumn<QVector<QPointF>>("pixels");
        QTest::addColumn<QRect>("box");
        const QRect topRight(74, 6, 20, 10), topLeft(6, 6, 20, 10), bottomLeft(6, 84, 20, 10);
        QTest::newRow("last column and row count")
            << 0.0 << QVector<QPointF>{{93.5, 15.5}} << topLeft;
        QTest::newRow("one past them does not")
            << 0.0 << QVector<QPointF>{{94, 10}, {80, 16}, {73.5, 10}} << topRight;
        QTest::newRow("three corners taken")
            << 0.0 << QVector<QPointF>{{74, 6}, {6, 6}, {93, 93.9}} << bottomLeft;
        QTest::newRow("fewest, not first")
            << 0.0 << QVector<QPointF>{{80, 10}, {81, 10}, {10, 10}, {80, 90},
                                       {81, 90}, {10, 90}, {11, 90}}
            << topLeft;
        QTest::newRow("missing and far points")
            << 0.0 << QVector<QPointF>{{qQNaN(), 10}, {1e300, 10}, {80, -1e300}, {qInf(), 10}}
            << topRight;
        const QRect negTopLeft(-44, -44, 20, 10), negBottomRight(24, 34, 20, 10);
        QTest::newRow("left of zero: -24.5 is column -24")
            << -50.0 << QVector<QPointF>{{30, -40}, {-24.5, -40}} << negTopLeft;
        QTest::newRow("left of zero: -44.5 is column -44")
            << -50.0 << QVector<QPointF>{{30, -40}, {-44.5, -40}} << negBottomRight;
        QTest::newRow("above zero: -34.5 is row -34")
            << -50.0 << QVector<QPointF>{{30, -40}, {-30, -34.5}} << negTopLeft;
    }
    void legendPlacement()
    {
        QFETCH(double, origin);
        QFETCH(QVector<QPointF>, pixels);
        ChCoord c;
        c.plotLeft = c.plotTop = origin;
        c.plotRight = c.plotBottom = origin + 100;
        c.setRange(origin, origin, origin + 100, origin + 100);
        PlotCurve curve;
        for (const QPointF &px : pixels) {
            curve.x << px.x();
            curve.y << 2 * origin + 100 - px.y();
        }
        QTEST(PlotLegend::place(c, QSize(20, 10), {curve}), "box");
    }

    // One line a curve (its components share it), path curves indented
    // under their job, and nothing for a shown curve without points.
    void legendEntries_data()
    {
        QTest::addColumn<QStringList>("curves"); // "job/path/points", path may be empty
        QTest::addColumn<QStringList>("texts");
        QTest::newRow("components share a line")
            << QStringList{"job1//2", "job1//2", "job2//2"} << QStringList{"job1", "job2"};
        QTest::newRow("paths under their job")
            << QStringList{"job1//2", "job1/path 1/2", "job1/path 2/2"}
            << QStringList{"job1", "   path 1", "   path 2"};
        QTest::newRow("failed group without points")
            << QStringList{"job1//2", "group//0", "measured.chi//3"}
            << QStringList{"job1", "measured.chi"};
        QTest::newRow("nothing drawn at all") << QStringList{"job1//0"} << QStringList{};
    }
    void legendEntries()
    {
        QFETCH(QStringList, curves);
        QVector<PlotCurve> list;
        for (const QString &row : curves) {
            const QStringList fields = row.split('/');
            PlotCurve c;
            c.job = fields[0];
            c.path = fields[1];
            for (int i = 0; i < fields[2].toInt(); ++i) {
                c.x << i;
                c.y << i;
            }
            list << c;
        }
        QStringList texts;
        for (const PlotLegend::Entry &e : PlotLegend::entries(list))
            texts << e.text;
        QTEST(texts, "texts");
    }

    void curvesAsData()
    {
        ChiView *v = ctrl->chiKView();
        render(v);
        const QString file = dir->filePath("kurven.tsv");
        QVERIFY(ctrl->saveView(v, file));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
        QCOMPARE(lines.size(), 1 + 41 + 1); // header, points, the empty rest
        QCOMPARE(lines[0], QString("job0 k\tjob0 chi(k)\tjob1 k\tjob1 chi(k)"));
        QCOMPARE(lines[41], QString("20\t1\t20\t1.01"));
        QCOMPARE(lines[2].split('\t').mid(0, 2), (QStringList{"0.5", "-0.95"}));
    }

    // Each row's name is the file name tried.
    void refusedNames_data()
    {
        QTest::addColumn<QString>("reason");
        QTest::newRow("plot.jpeg") << "name the file .png, .svg or .tsv";
        QTest::newRow("sub.png") << "it is a folder";
    }
    void refusedNames()
    {
        QFETCH(QString, reason);
        QVERIFY(QDir(dir->path()).mkdir("sub.png"));
        const QString file = dir->filePath(QTest::currentDataTag());
        QVERIFY(!ctrl->saveView(ctrl->chiKView(), file));
        QCOMPARE(logged.size(), 1);
        QVERIFY2(logged[0].startsWith("Can not save " + file + ": " + reason),
                 qPrintable(logged[0]));
        QCOMPARE(QFileInfo(file).isFile(), false);
    }

    // A job with Show2 read from a real FEFF run (paths 1, 6, 19 kept, the
    // others left out) names its paths by FEFF's number, route and reff: in
    // the path boxes' tooltips (their labels stay 1, 2, 3), in the legend
    // and in the data.
    void pathsNamedByIdentity()
    {
        Demeter *job = jobs[0];
        const QString data = QStringLiteral(CHI_TEST_DATA "/rutile/");
        for (const char *name :
             {"files.dat", "paths.dat", "chip0001.dat", "chip0006.dat", "chip0019.dat"})
            QVERIFY(QFile::copy(data + name, job->directory() + "/" + name));
        job->readResults();
        job->ui.Show2->setChecked(true);
        for (ChiView *view : {ctrl->chiKView(), ctrl->chiRView()}) {
            QCOMPARE(view->pathBoxes().size(), 3);
            QCOMPARE(view->pathLabels()[1]->text(), QString("2"));
            QCOMPARE(view->pathBoxes()[1]->toolTip(),
                     QString("path 6 · Ti–Ti–O · reff 3.428 Å · N 8 · 3 legs · 11.1 %"));
            QCOMPARE(view->pathBoxes()[2]->toolTip(),
                     QString("path 19 · Ti–O–O · reff 3.960 Å · N 2 · 3 legs · 7.8 %"));
        }
        ChiView *v = ctrl->chiKView();
        v->pathBoxes()[1]->setChecked(true); // path 1 is checked already
        QStringList names;
        for (const PlotCurve &c : ctrl->shownCurves(v))
            names << c.job + " | " + c.path;
        QCOMPARE(names, (QStringList{"job0 | ", "job0 | path 1 · Ti–O 1.948 Å",
                                     "job0 | path 6 · Ti–Ti–O 3.428 Å", "job1 | "}));
    }

private:
    void setUp() override
    {
        for (int n = 0; n < 2; ++n) {
            Values k, chi;
            for (int i = 0; i <= 40; ++i) {
                k << i * 0.5;
                chi << -1 + i * 0.05 + n * 0.01;
            }
            addJob(k, chi)->chi.transform(TransformArgs{0, 20, 0, 6, 0.05, FtOptions()});
        }
    }
};

QTEST_MAIN(TstPlotExport)
#include "tst_plotexport.moc"
