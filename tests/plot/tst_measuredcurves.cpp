#include "jobs/sitegroup.h"
#include "plot/dataline.h"
#include "plot/measuredcurves.h"
#include "tests/plot/plotfixture.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include <cmath>

// In render()'s fixed range y = 8 is row 122, y = -8 row 258; k = 1 is column 293, k = 1.25
// column 296, between the marks of the points at k = 1 and 1.5.
class TstMeasuredCurves : public PlotFixture
{
    Q_OBJECT
private slots:
    // A level chi(k) of 8 from k 1 to 3, given plainly or k-weighted.
    void drawnBlackWithMarks_data()
    {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain") << QString(level(8));
        QTest::newRow("chik2, CRLF") << QString(level(8, 2, "\r\n"));
    }
    void drawnBlackWithMarks()
    {
        QFETCH(QString, text);
        QVERIFY(ctrl->measuredCurves()->add(write("m.chi", text.toUtf8())));
        const QImage img = render(ctrl->chiKView(), true);
        QCOMPARE(rowsOf(img, 296, black), Rows({122}));
        // A ring around the point: black two rows above and below the line.
        const Rows ring = rowsOf(img, 293, black);
        QVERIFY(!ring.isEmpty() && ring.first() <= 120 && ring.last() >= 124);
        // Its chi(R) is drawn too, black, within the automatic range.
        QVERIFY(count(render(ctrl->chiRView()), black, plotArea) > 100);
    }

    // What the chi(R) window lists (and so draws) for a measured curve and a
    // site average: the measured curve in black with marks on its points and
    // the components the boxes ask for, each with its dash pattern; the
    // average as its magnitude only, in its colour, twice as wide, dash-dot.
    void pensOfMeasuredAndAveragedCurves_data()
    {
        QTest::addColumn<QStringList>("boxes");
        QTest::addColumn<QStringList>("measured");
        QTest::newRow("Abs. only") << QStringList{} << QStringList{"|chi(R)|"};
        QTest::newRow("Real and Imag.") << QStringList{"SelReal", "SelImag"}
                                        << QStringList{"|chi(R)|", "Re chi(R)", "Im chi(R)"};
    }
    void pensOfMeasuredAndAveragedCurves()
    {
        QFETCH(QStringList, boxes);
        ChiView *v = ctrl->chiRView();
        for (const QString &name : boxes)
            v->findChild<QCheckBox *>(name)->setChecked(true);
        QVERIFY(ctrl->measuredCurves()->add(write("m.chi", level(8))));
        Settings settings;
        settings.resDir = dir->path();
        SiteGroup group(settings, QFileInfo(dir->filePath("g.cif")));
        ctrl->addSiteGroup(&group);
        group.setShown(true);
        const QMap<QString, QVector<qreal>> dashes{
            {"|chi(R)|", {}}, {"Re chi(R)", realDashes}, {"Im chi(R)", imagDashes}};
        QStringList components;
        int averages = 0;
        for (const PlotCurve &c : ctrl->shownCurves(v)) {
            if (c.job == QLatin1String("g")) {
                QCOMPARE(c.color, group.color);
                QCOMPARE(c.component, QString("|chi(R)|"));
                QCOMPARE(c.width, 2);
                QCOMPARE(c.dashes, averageDashes);
                QVERIFY(!c.markers);
                ++averages;
            } else {
                QCOMPARE(c.color, black);
                QCOMPARE(c.width, 1);
                QCOMPARE(c.dashes, dashes.value(c.component));
                QVERIFY(c.markers);
                components << c.component;
            }
        }
        QTEST(components, "measured");
        QCOMPARE(averages, 1);
        ctrl->removeSiteGroup(&group);
    }

    void hiddenAndRemovedCurvesAreNotDrawn()
    {
        MeasuredCurves *curves = ctrl->measuredCurves();
        QVERIFY(curves->add(write("a.chi", level(8))));
        QVERIFY(curves->add(write("b.chi", level(-8))));
        QSignalSpy changed(curves, &MeasuredCurves::curvesChanged);
        curves->setShown(0, false);
        QCOMPARE(changed.count(), 1);
        // b only, at y = -8
        QCOMPARE(rowsOf(render(ctrl->chiKView(), true), 296, black), Rows({258}));
        curves->remove(1);
        QCOMPARE(curves->count(), 1);
        QCOMPARE(curves->rowCount(), 1);
        QCOMPARE(curves->index(0).data().toString(), QStringLiteral("a.chi"));
        QCOMPARE(count(render(ctrl->chiKView(), true), black, plotArea), 0);
        QCOMPARE(count(render(ctrl->chiRView()), black, plotArea), 0);
        curves->setShown(0, true);
        QCOMPARE(rowsOf(render(ctrl->chiKView(), true), 296, black), Rows({122}));
    }

    void unusableFilesAreRefusedWithOneLine_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: no such file
        QTest::newRow("garbage") << QByteArray("\x01\x02 no numbers\nab cd\n");
        QTest::newRow("three points") << QByteArray("1 8\n2 8\n3 8\n");
        QTest::newRow("missing") << QByteArray();
        QTest::newRow("mu(E)") << QByteArray("# e mu\n8900 0.1\n8950 0.5\n9000 1.2\n");
        QTest::newRow("no point in the k range") << QByteArray("# k chi\n25 0.1\n30 0.2\n");
    }
    void unusableFilesAreRefusedWithOneLine()
    {
        QFETCH(QByteArray, content);
        MeasuredCurves *curves = ctrl->measuredCurves();
        const QString path =
            content.isEmpty() ? dir->filePath("none.chi") : write("bad file ö.chi", content);
        QSignalSpy changed(curves, &MeasuredCurves::curvesChanged);
        QVERIFY(!curves->add(path));
        QCOMPARE(logged.size(), 1);
        QVERIFY(logged[0].contains(QFileInfo(path).fileName()));
        QCOMPARE(changed.count(), 0);
        QCOMPARE(curves->count(), 0);
        QCOMPARE(count(render(ctrl->chiKView(), true), black, plotArea), 0);
    }

    // A project file's groups come as one curve each, in one insertion, each
    // named after its .chik file (the stored chi(k) group after the project).
    void projectFileGivesOneCurvePerGroup()
    {
        MeasuredCurves *curves = ctrl->measuredCurves();
        curves->setDataOptions({MeasuredData::defaults(), dir->filePath("res/data")});
        QSignalSpy inserted(curves, &QAbstractItemModel::rowsInserted);
        QSignalSpy changed(curves, &MeasuredCurves::curvesChanged);
        QVERIFY(curves->add(MEASURED_DATA "/copper.prj"));
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(changed.count(), 1);
        QStringList names;
        for (int row = 0; row < curves->count(); ++row) {
            names << curves->index(row).data().toString();
            QVERIFY(curves->isShown(row) && curves->curve(row).hasChiR);
        }
        QCOMPARE(names, (QStringList{"Cu foil 10K.chik", "FeO.chik", "copper.prj:Cu 150K"}));
        // What was written, then one line per curve loaded.
        QCOMPARE(logged.size(), 6);
        QVERIFY(
            logged[0].endsWith("chi(k) written to " + dir->filePath("res/data/Cu foil 10K.chik")));
        QVERIFY2(logged[5].startsWith("Measured chi(k) " MEASURED_DATA "/copper.prj"),
                 qPrintable(logged[5]));
    }

    // Only local files dropped onto a window are read.
    void drops_data()
    {
        QTest::addColumn<bool>("local");
        QTest::newRow("local file") << true;
        QTest::newRow("remote URL") << false;
    }
    void drops()
    {
        QFETCH(bool, local);
        ChiView *v = ctrl->chiKView();
        const QString path = write("dropped data.chi", level(8));
        QMimeData mime;
        mime.setUrls({local ? QUrl::fromLocalFile(path) : QUrl("https://example.org/x.chi")});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QCoreApplication::sendEvent(v, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(v, &drop);
        QCOMPARE(drop.isAccepted(), local);
        QCOMPARE(ctrl->measuredCurves()->count(), local ? 1 : 0);
        // One log line either way: the file loaded, or the URL refused.
        QCOMPARE(logged.size(), 1);
        if (local) {
            QCOMPARE(ctrl->measuredCurves()->curve(0).sourcePath, path);
            QCOMPARE(logged.at(0), "Measured chi(k) " + path + " loaded: 10 points, k 1 to 5.5");
        }
    }

private:
    // chi(k) = y from k = 1 to 5.5 by 0.5 (the ten points a measured curve
    // needs), multiplied by k^weight and so named.
    static QByteArray level(double y, int weight = 0, const char *lineEnd = "\n")
    {
        QByteArray text = "# k chik" + (weight > 1 ? QByteArray::number(weight) : "") + lineEnd;
        if (weight == 0)
            text = QByteArray("# k chi") + lineEnd;
        for (int i = 0; i < 10; ++i) {
            const double k = 1.0 + 0.5 * i;
            text +=
                QByteArray::number(k) + ' ' + QByteArray::number(y * std::pow(k, weight)) + lineEnd;
        }
        return text;
    }
    void setUp() override
    {
        ctrl->measuredCurves()->setTransformArgs(TransformArgs{0, 20, 0, 8, 0.05, FtOptions()});
    }
    QString write(const QString &name, const QByteArray &content)
    {
        QFile f(dir->filePath(name));
        const bool written = f.open(QIODevice::WriteOnly) && f.write(content) == content.size();
        return written ? f.fileName() : QString();
    }
};

QTEST_MAIN(TstMeasuredCurves)
#include "tst_measuredcurves.moc"
