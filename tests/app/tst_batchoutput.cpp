#include "tests/app/batchfixture.h"

// What a batch run writes besides its result lines: shares of the inputs
// and their merge, the ranking against a measured curve, the path table.
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
        QTest::newRow("one share")
            << "1/1" << QStringList{"00-Cif/B.INP", "00-Cif/a.cif", "00-Cif/c.cif", "00-Inp/d.inp",
                                    "00-Inp/e.inp", "00-Inp/f.inp", "00-Inp/g.inp"};
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
        if (!QFileInfo(QString::fromLatin1(feff6)).isExecutable())
            QSKIP("feff6 is not installed (Debian package ifeffit, see scripts/setup.sh)");
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
        if (!QFileInfo(QString::fromLatin1(feff6)).isExecutable())
            QSKIP("feff6 is not installed (Debian package ifeffit, see scripts/setup.sh)");
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
                  {"-e", "-c", "batch.cfg", "-data", "gemessen ö.chi", "-rank", "Rang ö.tsv"});
        QCOMPARE(withoutWall(r.out.value(3)),
                 "summary\tdone=3\tfailed=0\tunfinished=0\tbest=" + res + "/NaCl");

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
    }
};

QTEST_MAIN(TstBatchOutput)
#include "tst_batchoutput.moc"
