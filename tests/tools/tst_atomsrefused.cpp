#include "tests/tools/atomsrun.h"

// Files and command lines the Atoms program refuses: one line on stderr
// naming the problem, the exit status, nothing on stdout.
class TestAtomsRefused : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY2(prepareRuns(), ATOMS_EXE); }
    void badInput_data()
    {
        QTest::addColumn<QByteArray>("contents"); // null: no file at all
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("status"); // 2: a bad command line, run as it is
        QTest::addColumn<QString>("message");

        const QByteArray fe = cell4 + siteLoop + "Fe1 0 0 0\n";
        badRow("missing file", QByteArray(), {}, "cannot open the file");
        badRow("FEFF input instead of a CIF", " TITLE Cu\n HOLE 1 1.0\n ATOMS\n 0 0 0 0\n END\n",
               {}, "not a CIF file");
        badRow("binary data", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), {}, "binary data");
        badRow("unterminated text field", cell4 + ";\nnever closed\n", {}, "broken CIF syntax");
        badRow("no atom sites", cell4 + "_symmetry_space_group_name_H-M 'P 1'\n", {},
               "no atom sites");
        badRow("unknown coordinate", cell4 + siteLoop + "Fe1 0 0 0\nO1 0.5 ? 0\n", {},
               "site O1: coordinate y is unknown ('?')");
        badRow("no cell", "data_x\n" + siteLoop + "Fe1 0 0 0\n", {},
               "no cell: _cell_length_a is missing");
        badRow("cell without volume",
               fe + "_cell_angle_alpha 120\n_cell_angle_beta 120\n_cell_angle_gamma 120\n", {},
               "span no volume");
        // Found by fuzzing: a cell this long overflowed the bucket count.
        badRow(
            "absurd cell length",
            QByteArray(fe).replace("_cell_length_c 4", "_cell_length_c 28888888888888888888888.8"),
            {}, "_cell_length_c '28888888888888888888888.8' is not a length from 0 to 10000 A");
        badRow("coordinate not a number", QByteArray(fe).replace("Fe1 0 0 0", "Fe1 0 0 1/3"), {},
               "coordinate '1/3' is not a number");
        badRow("unknown space group", fe + "_symmetry_space_group_name_H-M 'Q 7 7'\n", {},
               "space-group name 'Q 7 7' not known");
        // Found by fuzzing: a number this long overflowed the operation parser.
        badRow(
            "overlong number in an operation",
            fe +
                "loop_\n_symmetry_equiv_pos_as_xyz\n'x,y,z'\n'-y+1/2,x,z+13333333333333333333/2'\n",
            {}, "symmetry operation '-y+1/2,x,z+13333333333333333333/2' not understood");
        badRow("huge decimal in an operation",
               fe + "loop_\n_symmetry_equiv_pos_as_xyz\n'x,y,z'\n'x,y,z+12345678901234.5'\n", {},
               "symmetry operation 'x,y,z+12345678901234.5' not understood");
        badRow("unknown element", cell4 + siteLoop + "Qq1 0 0 0\n", {}, "site Qq1: no element");
        badRow("absorber not in the structure", fe, {"--core", "Cu"},
               "no site or element 'Cu' for the absorber (sites: Fe1)");
        badRow("nothing within the radius", fe, {"--rmax", "3"},
               "no atom within 3.000 A of the absorber");
        badRow("too many elements without merging", data("ten-elements.cif"), {"--no-merge"},
               "FEFF 6 accepts 7 unique potentials");

        const QString cu = QStringLiteral(ATOMS_DATA "/cu-fcc.cif");
        badRow("no file", {}, {}, "no CIF file given", 2);
        badRow("unknown option", {}, {"--rmin", "2", cu}, "unknown option '--rmin'", 2);
        badRow("empty file", "", {}, "the file is empty");
        badRow("huge radius", {}, {"--rmax", "1e6", cu}, "at most 50", 2);
    }
    // A job keeps the console text from the first " * This" on, so a failure
    // must write nothing to stdout and never echo that marker (here in the name).
    void badInput()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QStringList, args);
        QFETCH(int, status);
        QFETCH(QString, message);

        const Run r = status == 2 ? run(args) : run(args, contents, "bad * This.cif");
        QVERIFY(!r.crashed);
        QCOMPARE(r.exitCode, status);
        QCOMPARE(r.out, QByteArray());
        const QString err = QString::fromUtf8(r.err);
        QCOMPARE(err.count('\n'), 1);
        const QString name = QString(r.cif).replace("* This", "*_This");
        QVERIFY2(err.startsWith("scatterdeck-atoms: " + (r.cif.isEmpty() ? "" : name + ": ")),
                 qPrintable(err));
        QVERIFY2(err.contains(message), qPrintable(err));
        QVERIFY(!err.contains(" * This"));
    }
};

QTEST_GUILESS_MAIN(TestAtomsRefused)
#include "tst_atomsrefused.moc"
