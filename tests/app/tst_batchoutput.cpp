#include "tests/app/batchfixture.h"

#include <algorithm>
#include <cmath>

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

// What a batch run writes besides its result lines: shares of the inputs
// and their merge, the ranking against a measured curve, the path table,
// the averages of site groups.
class TstBatchOutput : public BatchFixture
{
    Q_OBJECT
private slots:
    void share_data()
    {
        QTest::addColumn<QString>("share");
        QTest::addColumn<QStringList>("inputs"); // sorted
        // The scan's order: the CIF folder by name without regard to case, then
        // the FEFF input folder.
        QTest::newRow("first of three")
            << "1/3" << QStringList{"00-Cif/a.cif", "00-Inp/d.inp", "00-Inp/g.inp"};
        QTest::newRow("last of three") << "3/3" << QStringList{"00-Cif/c.cif", "00-Inp/f.inp"};
    }
    void share()
    {
        QFETCH(QString, share);
        QFETCH(QStringList, inputs);
        for (const char *name : {"00-Cif/c.cif", "00-Cif/a.cif", "00-Cif/B.INP", "00-Inp/g.inp",
                                 "00-Inp/e.inp", "00-Inp/d.inp", "00-Inp/f.inp"})
            QVERIFY(writeFile(work + "/" + name, " * This input\nEND\n"));
        writeConfig("MAX_PROC 1\nATOMS_EXE \"" FAKEPROG
                    "\"\nATOMS_ARG \"atoms cat\"\nFEFF_EXE \"" FAKEPROG
                    "\"\nFEFF_ARG \"feff chi=1\"\n");
        RUN_BATCH(r, 0, {"-e", "-share", share, "-c", "batch.cfg"});
        QStringList ran;
        for (const QString &line : r.out.mid(0, r.out.size() - 1))
            ran << line.section(QLatin1Char('\t'), 1, 1).mid(work.size() + 1);
        // A CIF job's FEFF run and the next job run side by side.
        ran.sort();
        QCOMPARE(ran, inputs);
        QCOMPARE(withoutWall(r.out.last()),
                 QString("summary\tdone=%1\tfailed=0\tunfinished=0").arg(inputs.size()));
    }
    void mergeResults_data()
    {
        QTest::addColumn<QStringList>("files"); // contents
        QTest::addColumn<QStringList>("out");
        QTest::addColumn<QString>("err"); // %1 the second file
        QTest::addColumn<int>("exitCode");

        const QString okA =
            "ok\t/w/a.inp\t/w/00-Res/share-1/a\tchi(k) read with 2 paths, chiR.dat written";
        const QString okB =
            "ok\t/w/b.inp\t/w/00-Res/share-2/b\tchi(k) read with 1 path, chiR.dat written";
        const QString failC = "no-chi\t/w/c.inp\t/w/00-Res/share-2/c\tFEFF left no chi.dat";
        QTest::newRow("counts added, longest wall")
            << QStringList{okA + "\nsummary\tdone=1\tfailed=0\tunfinished=2\twall=2.5\n",
                           okB + "\n" + failC +
                               "\nsummary\tdone=1\tfailed=1\tunfinished=0\twall=30.001\n"}
            << QStringList{okA, okB, failC, "summary\tdone=2\tfailed=1\tunfinished=2\twall=30.001"}
            << "" << 1;
        QTest::newRow("share without summary")
            << QStringList{okA + "\nsummary\tdone=1\tfailed=0\tunfinished=0\twall=2\n", okB + "\n"}
            << QStringList{okA, okB, "summary\tdone=1\tfailed=0\tunfinished=0\twall=2.000"}
            << "merge-results: %1 has no summary line: its batch run did not finish\n"
            << 1;
    }
    void mergeResults()
    {
        QFETCH(QStringList, files);
        QFETCH(QString, err);
        QStringList names;
        for (int i = 0; i < files.size(); ++i) {
            names << work + QStringLiteral("/results-share-%1.tsv").arg(i + 1);
            QVERIFY(writeFile(names.last(), files.at(i).toUtf8()));
        }
        QProcess merge;
        merge.start(QStringLiteral(EXAMPLES_DIR "/slurm/merge-results.sh"), names);
        QVERIFY(merge.waitForFinished(10000));
        QTEST(merge.exitCode(), "exitCode");
        QTEST(splitLines(merge.readAllStandardOutput()), "out");
        QCOMPARE(QString::fromLocal8Bit(merge.readAllStandardError()),
                 err.replace("%1", names.value(1)));
    }
    // Copper fcc with a = 3.6149 A: the first shell is 12 atoms at a / sqrt(2).
    void pathsTable()
    {
        SKIP_WITHOUT_FEFF6();
        QVERIFY(QFile::copy(QStringLiteral(EXAMPLES_DIR "/00-Inp/Cu-metal.inp"),
                            work + "/00-Inp/Cu metal ö.inp"));
        QVERIFY(writeFile(work + "/00-Inp/broken.inp", "no atoms here\n"));
        writeConfig("FEFF_EXE " + QByteArray(feff6) + "\nFEFF_ARG \"\"\n");
        RUN_BATCH(r, 1, {"-e", "-c", "batch.cfg", "-paths", "Pfade ö.tsv"}); // broken: no chi(k)

        const QString job = res + "/Cu metal ö";
        const QStringList chipFiles = QDir(job).entryList({"chip*.dat"}, QDir::Files, QDir::Name);
        QVERIFY(chipFiles.size() >= 5);
        QStringList rows = QString::fromUtf8(readFile(work + "/Pfade ö.tsv")).split('\n');
        QCOMPARE(rows.takeFirst(),
                 QString("job\tpath\tfile\treff\tdegeneracy\tlegs\tamplitude\troute"));
        QCOMPARE(rows.takeLast(), QString());    // every row ends with a line feed
        QCOMPARE(rows.size(), chipFiles.size()); // none of the broken job
        for (int i = 0; i < rows.size(); ++i) {
            const QStringList f = rows[i].split('\t');
            QCOMPARE(f.size(), 8);
            QCOMPARE(f[0], job);
            QCOMPARE(f[2], chipFiles[i]);
            QCOMPARE(f[1].toInt(), chipFiles[i].mid(4, 4).toInt());
            QVERIFY2(f[3].section('.', 1).size() == 4 && f[6].section('.', 1).size() == 2,
                     qPrintable(rows[i]));
            QCOMPARE(f[7].count('-') + 1, f[5].toInt());
            QVERIFY2(QRegularExpression("^Cu(-Cu)+$").match(f[7]).hasMatch(), qPrintable(f[7]));
        }
        QCOMPARE(rows[0].split('\t').mid(3), (QStringList{"2.5561", "12", "2", "100.00", "Cu-Cu"}));
    }
    // Three real FEFF runs, held against a measured curve made from one of them:
    // 0.8 times NaCl's chi(k), written k^2-weighted as processing programs export
    // it. NaCl must come first with scale 0.8 and no misfit in k or in R.
    void ranking()
    {
        SKIP_WITHOUT_FEFF6();
        copyExamples();
        const QByteArray programs = "MAX_PROC 2\nATOMS_EXE \"" ATOMS_EXE
                                    "\"\nATOMS_ARG \"\"\nFEFF_EXE " +
                                    QByteArray(feff6) + "\nFEFF_ARG \"\"\nfeff_inp PRINT 1 0 0 0\n";
        writeConfig("RES_FILES erste\n" + programs);
        RUN_BATCH(first, 0, {"-e", "-c", "batch.cfg"});

        QByteArray measured = "# made from NaCl\n# k chik2\n";
        for (const QByteArray &line : readFile(work + "/erste/NaCl/chi.dat").split('\n')) {
            const QList<QByteArray> f = line.simplified().split(' ');
            bool kOk = false, chiOk = false;
            const double k = f.value(0).toDouble(&kOk);
            const double chi = f.value(1).toDouble(&chiOk);
            if (kOk && chiOk && f.size() >= 2 && k > 0)
                measured += QByteArray::number(k, 'g', 17) + "  " +
                            QByteArray::number(0.8 * chi * k * k, 'g', 17) + "\r\n";
        }
        QVERIFY(writeFile(work + "/gemessen ö.chi", measured));

        writeConfig(programs);
        RUN_BATCH(r, 0,
                  {"-e", "-c", "batch.cfg", "-data", "gemessen ö.chi", "-rank", "Rang ö.tsv",
                   "-fit", "Anpassung ö.tsv"});
        QCOMPARE(withoutWall(r.out.value(3)), "summary\tdone=3\tfailed=0\tunfinished=0\tbest=" +
                                                  res + "/NaCl\tbest_fit=" + res + "/NaCl");

        const QStringList rows = QString::fromUtf8(readFile(work + "/Rang ö.tsv")).split('\n');
        QCOMPARE(rows.size(), 5); // header, three jobs, the empty rest after the last line feed
        QCOMPARE(rows.at(0), QString("job\tinput\tr_factor_k\tscale_k\tr_factor_r\tscale_r"));
        const QStringList best = rows.at(1).split('\t');
        QCOMPARE(best.mid(0, 2), (QStringList{res + "/NaCl", work + "/00-Cif/NaCl.cif"}));
        QVERIFY2(best.at(2).toDouble() < 1e-12 && best.at(4).toDouble() < 1e-12,
                 qPrintable(rows.at(1)));
        QCOMPARE(best.at(3), QString("0.8"));
        QCOMPARE(best.at(5), QString("0.8"));
        double previous = best.at(2).toDouble();
        for (const QString &row : rows.mid(2, 2)) {
            const QStringList f = row.split('\t');
            QCOMPARE(f.size(), 6);
            // Sorted by the figure in k; copper is nothing like rock salt.
            QVERIFY2(f.at(2).toDouble() >= previous && f.at(2).toDouble() > 0.1, qPrintable(row));
            previous = f.at(2).toDouble();
        }

        // The path fit finds the 0.8 as S0^2, no shift, no disorder, and the
        // distances of the crystal.
        const QStringList fits = QString::fromUtf8(readFile(work + "/Anpassung ö.tsv")).split('\n');
        QCOMPARE(fits.size(), 5);
        QCOMPARE(fits.at(0), QString("job\tinput\tr_factor\tchi2_reduced\tn_idp\tn_var\ts02\t"
                                     "s02_err\tde0\tde0_err\talpha\talpha_err\tss1\tss1_err\tss2\t"
                                     "ss2_err\tr1\tpaths\tflags"));
        const QStringList fit = fits.at(1).split('\t');
        QCOMPARE(fit.size(), 19);
        QCOMPARE(fit.at(0), res + "/NaCl");
        QVERIFY2(fit.at(2).toDouble() < 1e-3, qPrintable(fits.at(1)));
        QVERIFY2(std::fabs(fit.at(6).toDouble() - 0.8) < 0.02, qPrintable(fits.at(1)));
        QVERIFY2(std::fabs(fit.at(8).toDouble()) < 0.5, qPrintable(fits.at(1)));
        QVERIFY2(std::fabs(fit.at(12).toDouble()) < 5e-4, qPrintable(fits.at(1)));
        QVERIFY2(std::fabs(fit.at(10).toDouble()) < 2e-3, qPrintable(fits.at(1)));
        QVERIFY(QFile::exists(res + "/NaCl/fit.txt") && QFile::exists(res + "/NaCl/fit.dat"));
        for (const QString &row : fits.mid(2, 2))
            QVERIFY2(row.split('\t').at(2).toDouble() > 10 * fit.at(2).toDouble(), qPrintable(row));
    }
    // A structure with one site of the absorber (copper) as a site group,
    // held against copper foil at 10 K: the group is ranked and fitted once,
    // under its own folder, and its fit is a good one.
    void oneSiteGroupListedOnce()
    {
        SKIP_WITHOUT_FEFF6();
        QVERIFY(
            QFile::copy(QStringLiteral(EXAMPLES_DIR "/00-Cif/Cu.cif"), work + "/00-Cif/Cu.cif"));
        QVERIFY(QFile::copy(QStringLiteral(FIT_TEST_DATA "/cu10k.chi"), work + "/cu 10 K.chi"));
        writeConfig("ABSORBER Cu\nSITES all\nMAX_PROC 2\nATOMS_EXE \"" ATOMS_EXE
                    "\"\nATOMS_ARG \"\"\nFEFF_EXE " +
                    QByteArray(feff6) +
                    "\nFEFF_ARG \"\"\nfeff_inp PRINT 1 0 0 0\nK_MIN 3\nK_MAX 14\nFIT_RMIN 1.7\n");
        RUN_BATCH(r, 0,
                  {"-e", "-c", "batch.cfg", "-data", "cu 10 K.chi", "-rank", "rank.tsv", "-fit",
                   "fit.tsv"});
        const QString group = res + "/Cu";
        QCOMPARE(withoutWall(r.out.last()),
                 "summary\tdone=2\tfailed=0\tunfinished=0\tbest=" + group + "\tbest_fit=" + group);
        for (const char *table : {"/rank.tsv", "/fit.tsv"}) {
            const QStringList rows = QString::fromUtf8(readFile(work + table)).split('\n');
            QCOMPARE(rows.size(), 3); // header, the group, the empty rest
            QCOMPARE(rows.at(1).section('\t', 0, 0), group);
        }
        const QStringList fit =
            QString::fromUtf8(readFile(work + "/fit.tsv")).split('\n').at(1).split('\t');
        QVERIFY2(fit.at(2).toDouble() < 0.01 && fit.at(18) == "-", qPrintable(fit.join(' ')));
        QVERIFY(QFile::exists(group + "/fit.txt") && QFile::exists(group + "/fit.dat"));
    }
    // A fit whose files cannot be written fails the run, naming the file:
    // here a folder stands where fit.txt goes.
    void fitFilesNotWritten()
    {
        SKIP_WITHOUT_FEFF6();
        QVERIFY(QFile::copy(QStringLiteral(EXAMPLES_DIR "/00-Inp/Cu-metal.inp"),
                            work + "/00-Inp/Cu-metal.inp"));
        QVERIFY(QFile::copy(QStringLiteral(FIT_TEST_DATA "/cu10k.chi"), work + "/cu10k.chi"));
        QVERIFY(QDir().mkpath(res + "/Cu-metal/fit.txt"));
        writeConfig("FEFF_EXE " + QByteArray(feff6) + "\nFEFF_ARG \"\"\nK_MIN 3\nK_MAX 14\n");
        RUN_BATCH(r, 1, {"-e", "-c", "batch.cfg", "-data", "cu10k.chi", "-fit", "fit.tsv"});
        QVERIFY(r.out.value(0).startsWith("ok\t"));
        QVERIFY2(r.err.contains(res + "/Cu-metal/fit.txt could not be written: "),
                 qPrintable(r.err));
        // The table of the fits is whole all the same.
        QCOMPARE(QString::fromUtf8(readFile(work + "/fit.tsv")).count('\n'), 2);
    }
    // A copper foil's mu(E) (10 K) held against the copper and rock salt
    // candidates: its chi(k) goes to 00-Res/data, and a copper job wins.
    void copperFoilRanking()
    {
        SKIP_WITHOUT_FEFF6();
        copyExamples();
        QVERIFY(QFile::copy(MEASURED_DATA "/cu.xmu", work + "/Kupfer folie.xmu"));
        writeConfig("MAX_PROC 2\nATOMS_EXE \"" ATOMS_EXE "\"\nATOMS_ARG \"\"\nFEFF_EXE " +
                    QByteArray(feff6) + "\nFEFF_ARG \"\"\n");
        RUN_BATCH(r, 0, {"-e", "-c", "batch.cfg", "-data", "Kupfer folie.xmu", "-rank", "r.tsv"});
        const QString chik = res + "/data/Kupfer folie.chik";
        QVERIFY2(r.err.contains("Kupfer folie.xmu : e0 8977.58 eV, edge step 2.33, 16 knots; "
                                "chi(k) written to " +
                                chik),
                 qPrintable(r.err));
        QVERIFY(QFileInfo(chik).size() > 10000);
        const QString best = withoutWall(r.out.value(3)).section("\tbest=", 1).section('\t', 0, 0);
        QVERIFY2(best == res + "/Cu" || best == res + "/Cu-metal", qPrintable(r.out.value(3)));
        const QStringList rows = QString::fromUtf8(readFile(work + "/r.tsv")).split('\n');
        QVERIFY2(rows.value(3).startsWith(res + "/NaCl\t"), qPrintable(rows.join('\n')));
    }
    // Site groups (SITES all) with the built scatterdeck-atoms and FEFF 6, on
    // magnetite: Fe on 8a (Fe1) and 16d (Fe2) of F d -3 m.
    void siteGroups_data()
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
                           "feff-failed\t" + group + "/Fe2\tFEFF ended with exit code 3",
                           "site-failed\t" + group +
                               "\tSite Fe2 (FEFF failed) of fe3o4-magnetite.cif failed"}
            << 1;
        QTest::newRow("an element without sites: no site jobs")
            << QByteArray("ABSORBER Ti\nSITES all\n") << false
            << QStringList{"no-sites\t" + group + "\tAtoms could not list the sites: "} << 1;
        QTest::newRow("SITES first with ABSORBER: one job, that element's first site")
            << QByteArray("ABSORBER O\n") << false << QStringList{"ok\t" + group + "\tchi(k) read"}
            << 0;
    }
    void siteGroups()
    {
        QFETCH(QByteArray, config);
        QFETCH(bool, failFe2);
        QFETCH(QStringList, lines);
        QFETCH(int, exitCode);
        SKIP_WITHOUT_FEFF6();

        const QString input = work + "/00-Cif/fe3o4-magnetite.cif";
        QVERIFY(QFile::copy(QStringLiteral(ATOMS_DATA "/fe3o4-magnetite.cif"), input));
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
            QVERIFY2(r.err.contains("Site Fe2 (FEFF failed) of fe3o4-magnetite.cif failed"),
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

QTEST_MAIN(TstBatchOutput)
#include "tst_batchoutput.moc"
