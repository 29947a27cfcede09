#include "tests/app/batchfixture.h"

#include <algorithm>

// Site groups (SITES all) in a batch run of the built scatterdeck with the
// built scatterdeck-atoms and FEFF 6, on magnetite: Fe on 8a (Fe1) and 16d
// (Fe2) of F d -3 m.

namespace {

// k and chi of a chi(k) file: the lines after the "k chi" column header.
QVector<QPair<double, double>> chiPoints(const QString &path)
{
    QVector<QPair<double, double>> points;
    bool data = false;
    for (const QByteArray &line : readFile(path).split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        if (!data) {
            data = (f.size() >= 2 && f[0] == "k" && f[1] == "chi") ||
                   (f.size() >= 3 && f[0] == "#" && f[1] == "k" && f[2] == "chi");
            continue;
        }
        if (f.size() >= 2)
            points.append({f[0].toDouble(), f[1].toDouble()});
    }
    return points;
}

} // namespace

class TstSiteGroups : public BatchFixture
{
    Q_OBJECT
private slots:
    void batch_data()
    {
        QTest::addColumn<QByteArray>("config");
        QTest::addColumn<bool>("failFe2");      // FEFF fails in the folder of site Fe2
        QTest::addColumn<QStringList>("lines"); // outcome, folder under 00-Res, description start
        QTest::addColumn<int>("exitCode");

        const QString group = "fe3o4-magnetite";
        QTest::newRow("both Fe sites and their average")
            << QByteArray("ABSORBER Fe\nSITES all\n") << false
            << QStringList{"ok\t" + group + "/Fe1\tchi(k) read",
                           "ok\t" + group + "/Fe2\tchi(k) read",
                           "ok\t" + group +
                               "\taverage of Fe1 8 (8a), Fe2 16 (16d): chiavg.dat and chiR.dat "
                               "written"}
            << 0;
        QTest::newRow("a failing site fails the group, the other keeps its result")
            << QByteArray("ABSORBER Fe\nSITES all\n") << true
            << QStringList{"ok\t" + group + "/Fe1\tchi(k) read",
                           "no-chi\t" + group + "/Fe2\tFEFF left no chi.dat",
                           "site-failed\t" + group +
                               "\tSite Fe2 (FEFF left no chi.dat) of fe3o4-magnetite.cif failed"}
            << 1;
        QTest::newRow("an element without sites: no site jobs")
            << QByteArray("ABSORBER Ti\nSITES all\n") << false
            << QStringList{"no-sites\t" + group + "\tAtoms could not list the sites: "} << 1;
        QTest::newRow("SITES first with ABSORBER: one job, that element's first site")
            << QByteArray("ABSORBER O\n") << false << QStringList{"ok\t" + group + "\tchi(k) read"}
            << 0;
    }
    void batch()
    {
        QFETCH(QByteArray, config);
        QFETCH(bool, failFe2);
        QFETCH(QStringList, lines);
        QFETCH(int, exitCode);
        if (!QFileInfo(QString::fromLatin1(feff6)).isExecutable())
            QSKIP("feff6 is not installed (Debian package ifeffit, see scripts/setup.sh)");

        QVERIFY(QFile::copy(QStringLiteral(ATOMS_DATA "/fe3o4-magnetite.cif"),
                            work + "/00-Cif/fe3o4-magnetite.cif"));
        QByteArray feff = feff6;
        if (failFe2) {
            feff = QFile::encodeName(work + "/feff-but-not-Fe2.sh");
            QVERIFY(writeFile(feff, "#!/bin/sh\ncase \"$PWD\" in */Fe2) exit 3;; esac\nexec " +
                                        QByteArray(feff6) + "\n"));
            QVERIFY(QFile::setPermissions(feff, QFile::ReadOwner | QFile::ExeOwner));
        }
        writeConfig(config +
                    "MAX_PROC 2\nATOMS_EXE \"" ATOMS_EXE "\"\nATOMS_ARG \"\"\nFEFF_EXE \"" + feff +
                    "\"\nK_MIN 3\nK_MAX 16\n");
        RUN_BATCH(r, exitCode, {"-e", "-c", "batch.cfg"});
        QStringList out = r.out;
        QCOMPARE(out.size(), lines.size() + 1);
        // Site lines come as the sites end, the group's line after them.
        std::sort(out.begin(), out.begin() + lines.size() - 1,
                  [](const QString &a, const QString &b) {
                      return a.section('\t', 2, 2) < b.section('\t', 2, 2);
                  });
        const QString input = work + "/00-Cif/fe3o4-magnetite.cif";
        for (int i = 0; i < lines.size(); ++i) {
            const QStringList want = lines[i].split('\t');
            const QStringList got = out[i].split('\t');
            QCOMPARE(got.size(), 4);
            QCOMPARE(got.mid(0, 3), (QStringList{want[0], input, res + "/" + want[1]}));
            QVERIFY2(got[3].startsWith(want[2]), qPrintable(got[3]));
        }
        const int ok = lines.filter(QRegularExpression("^ok\t")).size();
        QCOMPARE(
            withoutWall(out.last()),
            QString("summary\tdone=%1\tfailed=%2\tunfinished=0").arg(ok).arg(lines.size() - ok));

        const QString groupDir = res + "/fe3o4-magnetite";
        if (!config.contains("SITES all")) { // one job, in the group's folder
            QVERIFY(readFile(groupDir + "/feff.inp").contains(" * absorber:    O1 (O, K edge)"));
            return;
        }
        if (failFe2) {
            QVERIFY(QFileInfo::exists(groupDir + "/Fe1/chiR.dat"));
            QVERIFY(!QFileInfo::exists(groupDir + "/chiavg.dat"));
            QVERIFY2(
                r.err.contains("Site Fe2 (FEFF left no chi.dat) of fe3o4-magnetite.cif failed"),
                qPrintable(r.err));
        }
        if (exitCode != 0)
            return;
        // Each site computed its own absorber; the average is 8/24 of Fe1's
        // chi(k) and 16/24 of Fe2's, point by point.
        QVERIFY(readFile(groupDir + "/Fe1/feff.inp").contains(" * absorber:    Fe1 (Fe, K edge)"));
        QVERIFY(readFile(groupDir + "/Fe2/feff.inp").contains(" * absorber:    Fe2 (Fe, K edge)"));
        const auto fe1 = chiPoints(groupDir + "/Fe1/chi.dat");
        const auto fe2 = chiPoints(groupDir + "/Fe2/chi.dat");
        const auto avg = chiPoints(groupDir + "/chiavg.dat");
        QVERIFY(fe1.size() > 100);
        QCOMPARE(fe2.size(), fe1.size());
        QCOMPARE(avg.size(), fe1.size());
        for (int i = 0; i < avg.size(); ++i) {
            QCOMPARE(avg[i].first, fe1[i].first);
            // chiavg.dat holds 7 significant digits.
            const double expected = (8 * fe1[i].second + 16 * fe2[i].second) / 24;
            QVERIFY2(qAbs(avg[i].second - expected) <= 1e-6 * qMax(1.0, qAbs(expected)),
                     qPrintable(QString::number(avg[i].first)));
        }
        const QByteArray chiR = readFile(groupDir + "/chiR.dat");
        QVERIFY(chiR.contains("#   site Fe1: weight 8, "));
        QVERIFY(chiR.contains("#   site Fe2: weight 16, "));
    }
};

QTEST_GUILESS_MAIN(TstSiteGroups)
#include "tst_sitegroups.moc"
