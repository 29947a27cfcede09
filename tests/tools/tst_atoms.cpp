#include "tests/testfiles.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTextCodec>
#include <QtTest>

#include <algorithm>
#include <cmath>

// Runs the built scatterdeck-atoms as a job runs it: what it writes is checked
// against neighbour shells worked out independently and run through FEFF 6;
// what it refuses, by its message and exit status.

namespace {

struct Atom
{
    double x, y, z;
    int ipot;
    double distance;
};

// One run: what it wrote, and the cards of its FEFF input the tests look at.
struct Run
{
    QString cif;
    int exitCode = -1; // also after a crash or a time-out
    QByteArray out, err;
    QStringList lines;                         // blanks squeezed
    QMap<int, QPair<int, QString>> potentials; // ipot -> (Z, tag)
    QVector<Atom> atoms;
};

const QByteArray cell4 = "data_x\n_cell_length_a 4\n_cell_length_b 4\n_cell_length_c 4\n";
const QByteArray siteLoop =
    "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n_atom_site_fract_z\n";

QByteArray data(const QString &name)
{
    return readFile(QStringLiteral(ATOMS_DATA "/") + name);
}

// Runs the program from a fresh directory; with a name, on a file of that
// name there holding the CIF text (no file if the text is null).
Run run(QStringList args, const QByteArray &cif = {}, const QString &name = {})
{
    QTemporaryDir dir;
    Run r;
    if (!name.isEmpty()) {
        r.cif = dir.filePath(name);
        if (!cif.isNull())
            writeFile(r.cif, cif);
        args << "-c" << r.cif;
    }
    QProcess process;
    process.setWorkingDirectory(dir.path());
    process.start(QStringLiteral(ATOMS_EXE), args);
    if (!process.waitForFinished(30000))
        return r;
    if (process.exitStatus() == QProcess::NormalExit)
        r.exitCode = process.exitCode();
    r.out = process.readAllStandardOutput();
    r.err = process.readAllStandardError();
    QString card; // the cards of the FEFF input the tests look at
    for (const QString &line : QString::fromLatin1(r.out).split('\n')) {
        r.lines << line.simplified();
        const QStringList w = r.lines.last().split(' ', Qt::SkipEmptyParts);
        if (w.isEmpty() || w[0].startsWith('*'))
            continue;
        if (w[0] == "POTENTIALS" || w[0] == "ATOMS" || w[0] == "END")
            card = w[0];
        else if (card == "POTENTIALS" && w.size() >= 3)
            r.potentials[w[0].toInt()] = {w[1].toInt(), w[2]};
        else if (card == "ATOMS" && w.size() >= 6)
            r.atoms.append(
                {w[0].toDouble(), w[1].toDouble(), w[2].toDouble(), w[3].toInt(), w[5].toDouble()});
    }
    return r;
}

// Shells: "count element distance, ..." from the absorber out, empty: not
// checked. Potentials: "ipot:Z ..." in order, empty: not checked. Lines: each
// begins a line of the output, blanks squeezed. Notes: all of them.
void convertRow(const char *name, const QByteArray &cif, const QStringList &args,
                const QString &shells, const QString &potentials = {},
                const QStringList &lines = {}, const QStringList &notes = {})
{
    QTest::newRow(name) << cif << args << shells << potentials << lines << notes;
}

void badRow(const char *name, const QByteArray &cif, const QStringList &args,
            const QString &message, int status = 1)
{
    QTest::newRow(name) << cif << args << status << message;
}

} // namespace

class TestAtoms : public QObject
{
    Q_OBJECT

private slots:
    // File names carry non-ASCII letters: they are passed as UTF-8 whatever the
    // locale.
    void initTestCase()
    {
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
        QVERIFY2(QFile::exists(QStringLiteral(ATOMS_EXE)), ATOMS_EXE);
    }
    void convert_data()
    {
        QTest::addColumn<QByteArray>("cif");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("shells");
        QTest::addColumn<QString>("potentials");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("notes");

        // By hand from the lattice, with rN the square root of N: fcc a/r2, a,
        // a r1.5, a r2; bcc a r3/2, a, a r2, a r11/2, a r3; rock salt a/2, a/r2,
        // a r3/2; perovskite a/r2, a r3/2, a around A, a/2, a r3/2, a around B;
        // diamond a r3/4, a/r2, a r11/4, a; rutile r(2((1/2 - x)a)^2 + (c/2)^2),
        // r2 x a, c; brucite around O (z_H - z_O)c, hypot(a/r3, z_O c). The
        // hexagonal, trigonal and monoclinic ones by data/shells.py.
        const QByteArray cu = data("cu-fcc.cif"), nacl = data("nacl.cif");
        const QString angles =
            "cell angle_alpha, angle_beta, angle_gamma not given: 90 degrees taken";
        const QByteArray ten = data("ten-elements.cif");
        convertRow("Cu fcc", cu, {}, "12 Cu 2.5561, 6 Cu 3.6149, 24 Cu 4.4273, 12 Cu 5.1122",
                   "0:29 1:29");
        convertRow("NaCl, Na absorbing", nacl, {}, "6 Cl 2.8201, 12 Na 3.9882, 8 Cl 4.8846",
                   "0:11 1:17 2:11",
                   {"HOLE 1 1.0", "RMAX 5.0000", "* space group: F m -3 m (No. 225"});
        convertRow("(Mg,Fe)O, minority Fe absorbing by element", data("mgfeo-mixed.cif"),
                   {"--core", "Fe"}, "6 O 2.1250, 12 Mg 3.0052, 8 O 3.6806", "0:26 1:8 2:12", {},
                   {"shared site: Mg1 0.6 Fe1 0.4; Mg1 placed (majority)",
                    "the absorber Fe1 is the minority on its site; the equivalent positions carry "
                    "the majority element"});
        convertRow("SrTiO3, Ti absorbing: nearest element first", data("srtio3.cif"),
                   {"--core", "Ti1"}, "6 O 1.9525, 8 Sr 3.3818, 6 Ti 3.9050", "0:22 1:8 2:38 3:22");
        const QString si = "4 Si 2.3516, 12 Si 3.8402, 12 Si 4.5031, 6 Si 5.4309";
        convertRow("Si origin choice 2, trailing Z", data("si-diamond.cif"), {}, si);
        convertRow("Si origin choice 1, name without suffix", data("si-origin1.cif"), {}, si);
        const QString rutile = "4 O 1.9486, 2 O 1.9800, 2 Ti 2.9587";
        convertRow("rutile, Hall symbol", data("tio2-rutile.cif"), {}, rutile);
        convertRow("rutile from three generators, decimal translations",
                   QByteArray("data_ru\n_cell_length_a 4.5937\n_cell_length_b 4.5937\n"
                              "_cell_length_c 2.9587\nloop_\n_space_group_symop_operation_xyz\n"
                              "'-y+0.5,x+.5,z+1/2'\n'-x+1/2,0.5+y,-z+0.50'\n'-x,-y,-z'\n") +
                       siteLoop + "Ti1 0 0 0\nO1 0.30478 0.30478 0\n",
                   {}, rutile, "", {}, {angles});
        convertRow("brucite, hydrogen left out", data("mgoh2-brucite.cif"), {}, "", "0:12 1:8 2:12",
                   {}, {"1 hydrogen site(s) left out (--hydrogen keeps them)"});
        convertRow("ZnO wurtzite", data("zno-wurtzite.cif"), {},
                   "3 O 1.9745, 1 O 1.9884, 6 Zn 3.2090, 1 O 3.2182, 6 Zn 3.2498");
        const QString corundum = "3 O 1.8547, 3 O 1.9711, 1 Al 2.6543, 3 Al 2.7908, 3 Al 3.2184, "
                                 "3 O 3.2211, 3 O 3.4288, 6 Al 3.4981, 3 O 3.5583";
        convertRow("corundum, hexagonal axes", data("al2o3-corundum.cif"), {}, corundum);
        convertRow("corundum, rhombohedral cell and dotted tags", data("al2o3-rhombohedral.cif"),
                   {}, corundum);
        convertRow("ZrO2 monoclinic", data("zro2-baddeleyite.cif"), {},
                   "1 O 2.0519, 1 O 2.0631, 1 O 2.1528, 1 O 2.1567, 1 O 2.1764, 1 O 2.2418, "
                   "1 O 2.2667, 1 Zr 3.3330, 2 Zr 3.4471, 2 Zr 3.4656, 1 Zr 3.4747, 1 Zr 3.5837");
        // P (15) shares with Si (14) rather than S (16), K (19) with Cl (17).
        convertRow("nine elements around Fe: two merged", ten, {},
                   "1 O 2.0000, 1 S 2.2000, 1 Cl 2.4000, 1 Na 2.6000, 1 Mg 2.8000, 1 Al 3.0000",
                   "0:26 1:8 2:16 3:17 4:11 5:12 6:13 7:14",
                   {"2.50000 0.00000 2.50000 7 P1", "0.00000 2.70000 2.70000 3 K1"},
                   {"P shares potential 7 of Si: FEFF 6 accepts 7 unique potentials",
                    "K shares potential 3 of Cl: FEFF 6 accepts 7 unique potentials"});
        convertRow("La (Z 57): K edge", QByteArray(nacl).replace("Na1+", "La"), {}, "",
                   "0:57 1:17 2:57", {"HOLE 1 1.0"});
        convertRow("Na with --edge=l2 and --feff-rmax 6.25", nacl,
                   {"--edge=l2", "--feff-rmax", "6.25"}, "", "", {"HOLE 3 1.0", "RMAX 6.2500"});
        // Counted from the fcc lattice by data/shells.py: 627 atoms within 12 A,
        // 459 up to and including the shell at 10.8447 A, 513 with the next.
        convertRow(
            "Cu cut to 500 atoms at a complete shell", cu, {"--rmax", "12"}, "", "0:29 1:29",
            {"* cluster: 459 atoms"},
            {"627 atoms within the radius; cut to 459 at the last complete shell (10.8447 A), "
             "FEFF 6 accepts 500"});
        convertRow("odd rows and items",
                   "data_x\n_cell_length_a 5.6402\n_cell_length_b 5.6402\n_cell_length_c 5.6402\n"
                   "_symmetry_space_group_name_Hall 'nonsense'\n"
                   "_symmetry_space_group_name_H-M 'F m -3 m'\nloop_\n_atom_site_label\n"
                   "_atom_site_type_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n"
                   "_atom_site_fract_z\n_atom_site_occupancy\n_atom_site_calc_flag\n"
                   "Na1 Na+ 0 0 0 1 .\nCl1 Cl- 0.5 0.5 0.5 0.9(1) d\nQ1 ? 0.25 0.25 0.25 1 dum\n"
                   "Va1 Na 0.25 0.25 0.75 0 .\n",
                   {}, "6 Cl 2.8201", "0:11 1:17 2:11", {},
                   {angles, "Hall symbol 'nonsense' not understood; trying the next symmetry item",
                    "site Cl1 has occupancy 0.9, taken as fully occupied", "dummy site Q1 left out",
                    "site Va1 has occupancy 0 and is left out"});
        const QString shortCluster = "the cluster reaches only 4.0000 A, less than RMAX";
        convertRow(
            "no symmetry items", cell4 + siteLoop + "Fe1 0 0 0\n", {"--rmax", "4.5"}, "6 Fe 4.0000",
            "0:26 1:26", {"* cluster: 7 atoms"},
            {"no symmetry items in the file: space group P 1 assumed", angles, shortCluster});
        convertRow(
            "atom split around a special position",
            cell4 + "_space_group_IT_number 221\nloop_\n_atom_site_label\n_atom_site_fract_x\n"
                    "_atom_site_fract_y\n_atom_site_fract_z\n_atom_site_occupancy\n"
                    "Fe1 0.03 0 0 0.1667\n",
            {"--rmax", "4.5"}, "6 Fe 4.0000", "0:26 1:26", {"* cluster: 7 atoms"},
            {"site Fe1 has occupancy 0.167, taken as fully occupied",
             "site Fe1: symmetry images up to 0.24 A apart taken as one atom (disordered site)",
             angles, shortCluster});
        // One database export writes a zero coordinate as ".": KMnF3 with every
        // site on such a position, Mn at the origin.
        convertRow("'.' coordinates read as 0",
                   cell4 + "_space_group_IT_number 221\n" + siteLoop +
                       "Mn1 . . .\nF1 .5 . .\nK1 .5 .5 .5\n",
                   {"--rmax", "4.5"}, "6 F 2.0000, 8 K 3.4641, 6 Mn 4.0000, 24 F 4.4721",
                   "0:25 1:9 2:19 3:25", {},
                   {angles, "site Mn1: coordinate(s) xyz given as '.', read as 0",
                    "site F1: coordinate(s) yz given as '.', read as 0",
                    "the cluster reaches only 4.4721 A, less than RMAX"});
        convertRow("CR line ends", QByteArray(cu).replace("\n", "\r"), {}, "12 Cu 2.5561");
        convertRow("Fe bcc, element from the label", data("fe-bcc.cif"), {},
                   "8 Fe 2.4825, 6 Fe 2.8665, 12 Fe 4.0538, 24 Fe 4.7536, 8 Fe 4.9649");
        convertRow("brucite, O absorbing, hydrogen kept", data("mgoh2-brucite.cif"),
                   {"--core", "O1", "--hydrogen"}, "1 H 0.9205, 3 Mg 2.0983");
    }
    // As a job runs it, from a path with blanks and non-ASCII letters; then FEFF 6
    // on the output written as feff.inp.
    void convert()
    {
        QFETCH(QByteArray, cif);
        QFETCH(QStringList, args);
        QFETCH(QString, shells);
        QFETCH(QString, potentials);
        QFETCH(QStringList, lines);
        QFETCH(QStringList, notes);

        const Run r = run(args, cif, QStringLiteral("Kupfer \u00f6 \u65e5\u672c x.cif"));
        QVERIFY2(r.exitCode == 0 && r.err.isEmpty(), r.err.constData());
        QVERIFY(r.out.startsWith(" * This feff.inp file was generated by"));
        for (char ch : r.out)
            QVERIFY2(static_cast<unsigned char>(ch) < 0x80, "non-ASCII byte in the FEFF input");
        lines << "* source: " + QFileInfo(r.cif).path() + "/Kupfer ? ?? x.cif"
              << QStringLiteral("* cluster: %1 atoms within").arg(r.atoms.size());
        for (const QString &line : qAsConst(lines))
            QVERIFY2(std::any_of(r.lines.begin(), r.lines.end(),
                                 [&line](const QString &s) { return s.startsWith(line); }),
                     qPrintable(line));
        const QRegularExpression note("^\\* note: ");
        QStringList found = r.lines.filter(note).replaceInStrings(note, "");
        found.sort();
        notes.sort();
        QCOMPARE(found, notes);
        QStringList ipots;
        for (auto it = r.potentials.begin(); it != r.potentials.end(); ++it)
            ipots << QStringLiteral("%1:%2").arg(it.key()).arg(it.value().first);
        if (!potentials.isEmpty())
            QCOMPARE(ipots.join(' '), potentials);

        // Atom by atom through the expected shells, and the last one complete.
        auto in = [&r](int i, const QStringList &shell) {
            return r.potentials.value(r.atoms.value(i).ipot).second == shell[1] &&
                   std::abs(r.atoms.value(i).distance - shell[2].toDouble()) < 2e-4;
        };
        int next = 1;
        QStringList shell;
        for (const QString &text : shells.split(", ", Qt::SkipEmptyParts)) {
            shell = text.split(' '); // count element distance
            for (int n = 0; n < shell[0].toInt(); ++n, ++next)
                QVERIFY2(in(next, shell),
                         qPrintable(QString("atom %1 not in %2").arg(next).arg(text)));
        }
        QVERIFY2(shell.isEmpty() || !in(next, shell), "last shell too large");
        // Every atom: coordinates match its distance, sorted outwards, one absorber
        // at the origin, and every potential but the absorber's is used.
        QSet<int> used;
        for (int i = 0; i < r.atoms.size(); ++i) {
            const Atom &a = r.atoms[i];
            QVERIFY(std::abs(std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z) - a.distance) < 2e-5);
            QVERIFY(i == 0 ? a.ipot == 0 && a.distance == 0
                           : a.ipot != 0 && a.distance >= r.atoms[i - 1].distance - 1e-5);
            used.insert(a.ipot);
        }
        QCOMPARE(used, QSet<int>(r.potentials.keyBegin(), r.potentials.keyEnd()));

        if (!QFile::exists(FEFF6_EXE))
            QSKIP("FEFF 6 is not installed at " FEFF6_EXE);
        QTemporaryDir job;
        QVERIFY(writeFile(job.filePath("feff.inp"), r.out));
        QProcess feff;
        feff.setWorkingDirectory(job.path());
        feff.start(FEFF6_EXE, QStringList());
        QVERIFY(feff.waitForFinished(60000));
        // Rows of k, chi, mag and phase; FEFF pads some header lines with NUL bytes.
        const QStringList chi =
            QString::fromLatin1(readFile(job.filePath("chi.dat")).replace('\0', ' ')).split('\n');
        const int rows =
            chi.filter(QRegularExpression("^ +\\d+\\.\\d+( +-?\\d\\.\\d+E[-+]\\d+){3}$")).size();
        QVERIFY2(rows > 100, feff.readAll().right(400).constData());
    }
    void listSites_data()
    {
        QTest::addColumn<QByteArray>("cif");
        QTest::addColumn<QString>("what");
        QTest::addColumn<QStringList>("sites"); // the lines after the column names

        // Multiplicities are those of the Wyckoff positions in the International
        // Tables: P 42/m n m 2a is 2; F d -3 m 8a and 16d; F m -3 m 8c and, for
        // rock salt, 4a.
        QTest::newRow("rutile: one Ti site, no Wyckoff letter given")
            << data("tio2-rutile.cif") << "Ti" << QStringList{"Ti1 2 - 1"};
        QTest::newRow("magnetite: tetrahedral and octahedral Fe")
            << data("fe3o4-magnetite.cif") << "Fe" << QStringList{"Fe1 8 a 1", "Fe2 16 d 1"};
        QTest::newRow("empty: the element of the first site")
            << data("ba2femoo6.cif") << "" << QStringList{"Ba1 8 c 1"};
        QTest::newRow("minority species of a mixed site keeps its occupancy")
            << data("mgfeo-mixed.cif") << "Fe" << QStringList{"Fe1 4 - 0.4"};
    }
    void listSites()
    {
        QFETCH(QByteArray, cif);
        QFETCH(QString, what);
        QFETCH(QStringList, sites);
        const Run r = run({"--list-sites=" + what}, cif, "in.cif");
        QVERIFY2(r.exitCode == 0, r.err.constData());
        QCOMPARE(QString::fromLatin1(r.out).split('\n', Qt::SkipEmptyParts),
                 QStringList{"# label multiplicity wyckoff occupancy"} + sites);
    }
    // Files and command lines refused: one line on stderr naming the problem,
    // the exit status, nothing on stdout.
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
        // Not read as nitrogen, oxygen or uranium, the letters they begin with.
        badRow("nihonium", cell4 + siteLoop + "Nh1 0 0 0\n", {}, "site Nh1: no element");
        badRow("oganesson", cell4 + siteLoop + "Og 0 0 0\n", {}, "site Og: no element");
        badRow("systematic name", cell4 + siteLoop + "Uuo1 0 0 0\n", {}, "site Uuo1: no element");
        badRow("americium, beyond FEFF 6", cell4 + siteLoop + "Am1 0 0 0\n", {},
               "site Am1: Am (Z 95) is beyond the elements FEFF 6 can compute (up to Pu, Z 94)");
        // Refused before any atom is made: such cells would need gigabytes of
        // images, or give atoms FEFF cannot place.
        badRow("cell of 0.00001 A",
               QByteArray(fe).replace("_cell_length_a 4", "_cell_length_a 0.00001"), {},
               "the cell (a = 1e-05 A, b = 4 A, c = 4 A) has an edge shorter than 0.5 A");
        badRow("cell of 0.01 A", QByteArray(fe).replace("_cell_length_a 4", "_cell_length_a 0.01"),
               {}, "the cell (a = 0.01 A, b = 4 A, c = 4 A) has an edge shorter than 0.5 A");
        QByteArray crowded =
            cell4 + "_symmetry_space_group_name_H-M 'F m -3 m'\n" + siteLoop + "Fe1 0 0 0\n";
        for (int i = 0; i < 5300; ++i)
            crowded += "Fe" + QByteArray::number(i + 2) + " 0.1 0.2 0.3\n";
        badRow("cell of more than a million atoms", crowded, {},
               "the unit cell (a = 4 A, b = 4 A, c = 4 A) would hold 1017792 atoms, more than the "
               "limit of 1000000");
        badRow("sphere of more than a million atoms",
               QByteArray(fe)
                   .replace("_cell_length_a 4", "_cell_length_a 0.5")
                   .replace("_cell_length_b 4", "_cell_length_b 0.5")
                   .replace("_cell_length_c 4", "_cell_length_c 0.5"),
               {"--rmax", "50"},
               "50.000 A around the absorber would hold up to 8120601 atoms of the cell (a = 0.5 "
               "A, b = 0.5 A, c = 0.5 A), more than the limit of 1000000");
        badRow("absorber not in the structure", fe, {"--core", "Cu"},
               "no site or element 'Cu' for the absorber (sites: Fe1)");
        badRow("nothing within the radius", fe, {"--rmax", "3"},
               "no atom within 3.000 A of the absorber");
        badRow("too many elements without merging", data("ten-elements.cif"), {"--no-merge"},
               "FEFF 6 accepts 7 unique potentials");
        badRow("listed element not in the structure", data("fe3o4-magnetite.cif"),
               {"--list-sites=Ti"}, "no site of Ti (elements: Fe, O)");
        badRow("listing hydrogen needs --hydrogen", data("mgoh2-brucite.cif"), {"--list-sites=H"},
               "hydrogen sites are left out without --hydrogen");

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

QTEST_GUILESS_MAIN(TestAtoms)
#include "tst_atoms.moc"
