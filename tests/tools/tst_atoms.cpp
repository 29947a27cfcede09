#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QtTest>

#include <cmath>

// Runs the built scatterdeck-atoms as a job runs it and checks what it writes
// against neighbour shells worked out independently: by hand from the lattice
// for the cubic and tetragonal structures, by data/shells.py for the others.

namespace {

struct Shell
{
    QString element;
    int count;
    double distance;
};

struct Result
{
    int exitCode = -1;
    bool crashed = true;
    QByteArray out;
    QByteArray err;
};

struct Atom
{
    double x, y, z;
    int ipot;
    QString tag;
    double distance;
};

// The cards of a FEFF input text that the tests look at.
struct FeffText
{
    QStringList lines;
    QMap<int, QPair<int, QString>> potentials; // ipot -> (Z, tag)
    QVector<Atom> atoms;
};

const double a_cu = 3.6149, a_fe = 2.8665, a_nacl = 5.6402, a_si = 5.4309, a_sto = 3.905;
const double a_mgfeo = 4.25, a_ru = 4.5937, c_ru = 2.9587, x_ru = 0.30478;

QString dataFile(const QString &name)
{
    return QStringLiteral(ATOMS_DATA "/") + name;
}

Result runAtoms(const QStringList &args, const QString &workDir = QString())
{
    QProcess process;
    if (!workDir.isEmpty())
        process.setWorkingDirectory(workDir);
    process.start(QStringLiteral(ATOMS_EXE), args);
    Result r;
    if (!process.waitForFinished(30000))
        return r;
    r.crashed = process.exitStatus() != QProcess::NormalExit;
    r.exitCode = process.exitCode();
    r.out = process.readAllStandardOutput();
    r.err = process.readAllStandardError();
    return r;
}

FeffText parseFeff(const QByteArray &text)
{
    FeffText f;
    f.lines = QString::fromLatin1(text).split('\n');
    enum
    {
        None,
        Potentials,
        Atoms
    } section = None;
    for (const QString &line : qAsConst(f.lines)) {
        const QStringList w = line.simplified().split(' ', Qt::SkipEmptyParts);
        if (w.isEmpty() || w[0].startsWith('*'))
            continue;
        if (w[0] == "POTENTIALS" || w[0] == "ATOMS" || w[0] == "END") {
            section = w[0] == "POTENTIALS" ? Potentials : w[0] == "ATOMS" ? Atoms : None;
        } else if (section == Potentials && w.size() >= 3) {
            f.potentials[w[0].toInt()] = {w[1].toInt(), w[2]};
        } else if (section == Atoms && w.size() >= 6) {
            f.atoms.append({w[0].toDouble(), w[1].toDouble(), w[2].toDouble(), w[3].toInt(), w[4],
                            w[5].toDouble()});
        }
    }
    return f;
}

// Neighbours of the absorber in runs of one element at one distance.
QVector<Shell> shellsOf(const FeffText &f)
{
    QVector<Shell> shells;
    for (int i = 1; i < f.atoms.size(); ++i) {
        const Atom &a = f.atoms[i];
        const QString element = f.potentials.value(a.ipot).second;
        if (shells.isEmpty() || shells.last().element != element ||
            std::abs(shells.last().distance - a.distance) > 2e-4)
            shells.append({element, 0, a.distance});
        ++shells.last().count;
    }
    return shells;
}

QString describe(const QVector<Shell> &shells, int n)
{
    QStringList parts;
    for (int i = 0; i < n && i < shells.size(); ++i)
        parts << QStringLiteral("%1 %2 %3")
                     .arg(shells[i].count)
                     .arg(shells[i].element)
                     .arg(shells[i].distance, 0, 'f', 4);
    return parts.join("; ");
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(data) == data.size();
}

QString noteLines(const FeffText &f)
{
    return f.lines.filter(QRegularExpression("^ \\* note: ")).join('\n');
}

} // namespace

Q_DECLARE_METATYPE(Shell)
Q_DECLARE_METATYPE(QVector<Shell>)

class TestAtoms : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void shells_data();
    void shells();
    void originChoice_data();
    void originChoice();
    void feffRuns_data();
    void feffRuns();
    void holeAndRmax_data();
    void holeAndRmax();
    void potentials_data();
    void potentials();
    void largeClusterCutAtShell();
    void notes_data();
    void notes();
    void awkwardFiles_data();
    void awkwardFiles();
    void badInput_data();
    void badInput();
    void badOptions_data();
    void badOptions();
    void helpListsOptions();
};

void TestAtoms::initTestCase()
{
    // File names in the tests carry non-ASCII letters; pass them as UTF-8
    // whatever locale the test runs under.
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    QVERIFY2(QFile::exists(QStringLiteral(ATOMS_EXE)), ATOMS_EXE);
}

void TestAtoms::shells_data()
{
    QTest::addColumn<QByteArray>("cif");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QVector<Shell>>("expected");

    const double r2 = std::sqrt(2.0), r3 = std::sqrt(3.0);
    QTest::newRow("Cu fcc") << readFile(dataFile("cu-fcc.cif")) << QStringList()
                            << QVector<Shell>{{"Cu", 12, a_cu / r2},
                                              {"Cu", 6, a_cu},
                                              {"Cu", 24, a_cu * std::sqrt(1.5)},
                                              {"Cu", 12, a_cu * r2}};
    QTest::newRow("Fe bcc, element from the label")
        << readFile(dataFile("fe-bcc.cif")) << QStringList()
        << QVector<Shell>{{"Fe", 8, a_fe * r3 / 2},
                          {"Fe", 6, a_fe},
                          {"Fe", 12, a_fe * r2},
                          {"Fe", 24, a_fe * std::sqrt(11.0) / 2},
                          {"Fe", 8, a_fe * r3}};
    QTest::newRow("NaCl, Na absorbing") << readFile(dataFile("nacl.cif")) << QStringList()
                                        << QVector<Shell>{{"Cl", 6, a_nacl / 2},
                                                          {"Na", 12, a_nacl / r2},
                                                          {"Cl", 8, a_nacl * r3 / 2},
                                                          {"Na", 6, a_nacl}};
    QTest::newRow("NaCl, Cl absorbing by label")
        << readFile(dataFile("nacl.cif")) << QStringList{"--core", "Cl1"}
        << QVector<Shell>{{"Na", 6, a_nacl / 2},
                          {"Cl", 12, a_nacl / r2},
                          {"Na", 8, a_nacl * r3 / 2},
                          {"Cl", 6, a_nacl}};
    QTest::newRow("NaCl, Cl absorbing by element")
        << readFile(dataFile("nacl.cif")) << QStringList{"--core", "Cl"}
        << QVector<Shell>{{"Na", 6, a_nacl / 2}, {"Cl", 12, a_nacl / r2}};
    QTest::newRow("Si origin choice 2, trailing Z")
        << readFile(dataFile("si-diamond.cif")) << QStringList()
        << QVector<Shell>{{"Si", 4, a_si * r3 / 4},
                          {"Si", 12, a_si / r2},
                          {"Si", 12, a_si * std::sqrt(11.0) / 4},
                          {"Si", 6, a_si}};
    QTest::newRow("Si origin choice 1, name without suffix")
        << readFile(dataFile("si-origin1.cif")) << QStringList()
        << QVector<Shell>{{"Si", 4, a_si * r3 / 4},
                          {"Si", 12, a_si / r2},
                          {"Si", 12, a_si * std::sqrt(11.0) / 4},
                          {"Si", 6, a_si}};
    QTest::newRow("ZnO wurtzite, Zn absorbing")
        << readFile(dataFile("zno-wurtzite.cif")) << QStringList()
        << QVector<Shell>{{"O", 3, 1.9745},
                          {"O", 1, 1.9884},
                          {"Zn", 6, 3.2090},
                          {"O", 1, 3.2182},
                          {"Zn", 6, 3.2498}};
    QTest::newRow("ZnO wurtzite, O absorbing")
        << readFile(dataFile("zno-wurtzite.cif")) << QStringList{"--core", "O1"}
        << QVector<Shell>{{"Zn", 3, 1.9745},
                          {"Zn", 1, 1.9884},
                          {"O", 6, 3.2090},
                          {"Zn", 1, 3.2182},
                          {"O", 6, 3.2498}};
    QTest::newRow("rutile, Hall symbol")
        << readFile(dataFile("tio2-rutile.cif")) << QStringList()
        << QVector<Shell>{
               {"O", 4, std::sqrt(2 * std::pow((0.5 - x_ru) * a_ru, 2) + std::pow(c_ru / 2, 2))},
               {"O", 2, r2 * x_ru * a_ru},
               {"Ti", 2, c_ru}};
    QTest::newRow("SrTiO3, Sr absorbing, space group by number")
        << readFile(dataFile("srtio3.cif")) << QStringList()
        << QVector<Shell>{{"O", 12, a_sto / r2}, {"Ti", 8, a_sto * r3 / 2}, {"Sr", 6, a_sto}};
    QTest::newRow("SrTiO3, Ti absorbing")
        << readFile(dataFile("srtio3.cif")) << QStringList{"--core", "Ti1"}
        << QVector<Shell>{{"O", 6, a_sto / 2}, {"Sr", 8, a_sto * r3 / 2}, {"Ti", 6, a_sto}};
    const QVector<Shell> corundum{{"O", 3, 1.8547},  {"O", 3, 1.9711},  {"Al", 1, 2.6543},
                                  {"Al", 3, 2.7908}, {"Al", 3, 3.2184}, {"O", 3, 3.2211},
                                  {"O", 3, 3.4288},  {"Al", 6, 3.4981}, {"O", 3, 3.5583}};
    QTest::newRow("corundum, hexagonal axes")
        << readFile(dataFile("al2o3-corundum.cif")) << QStringList() << corundum;
    QTest::newRow("corundum, rhombohedral cell and dotted tags")
        << readFile(dataFile("al2o3-rhombohedral.cif")) << QStringList() << corundum;
    QTest::newRow("ZrO2 monoclinic")
        << readFile(dataFile("zro2-baddeleyite.cif")) << QStringList()
        << QVector<Shell>{{"O", 1, 2.0519},  {"O", 1, 2.0631},  {"O", 1, 2.1528},
                          {"O", 1, 2.1567},  {"O", 1, 2.1764},  {"O", 1, 2.2418},
                          {"O", 1, 2.2667},  {"Zr", 1, 3.3330}, {"Zr", 2, 3.4471},
                          {"Zr", 2, 3.4656}, {"Zr", 1, 3.4747}, {"Zr", 1, 3.5837}};
    QTest::newRow("(Mg,Fe)O, minority Fe absorbing")
        << readFile(dataFile("mgfeo-mixed.cif")) << QStringList{"--core", "Fe"}
        << QVector<Shell>{
               {"O", 6, a_mgfeo / 2}, {"Mg", 12, a_mgfeo / r2}, {"O", 8, a_mgfeo * r3 / 2}};
    QTest::newRow("brucite, O absorbing, hydrogen kept")
        << readFile(dataFile("mgoh2-brucite.cif")) << QStringList{"--core", "O1", "--hydrogen"}
        << QVector<Shell>{{"H", 1, (0.4130 - 0.2203) * 4.7770},
                          {"Mg", 3, std::hypot(3.1442 / r3, 0.2203 * 4.7770)}};

    // Symmetry loops that list only generators, or write translations as
    // decimals, still give the whole group.
    const QByteArray siteLoop = "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n"
                                "_atom_site_fract_z\n";
    QTest::newRow("Fe bcc from its centring written as decimals")
        << QByteArray("data_fe\n_cell_length_a 2.8665\n_cell_length_b 2.8665\n"
                      "_cell_length_c 2.8665\nloop_\n_symmetry_equiv_pos_as_xyz\n'x,y,z'\n"
                      "'x+0.5,0.5+y,z+.50'\n") +
               siteLoop + "Fe1 0 0 0\n"
        << QStringList()
        << QVector<Shell>{{"Fe", 8, a_fe * r3 / 2}, {"Fe", 6, a_fe}, {"Fe", 12, a_fe * r2}};
    QTest::newRow("one distance, two elements: lighter first")
        << QByteArray("data_t\n_cell_length_a 4\n_cell_length_b 4\n_cell_length_c 4\n"
                      "_symmetry_space_group_name_H-M 'P 4/m m m'\n") +
               siteLoop + "Fe1 0 0 0\nO1 0.5 0 0\nN1 0 0 0.5\n"
        << QStringList() << QVector<Shell>{{"N", 2, 2.0}, {"O", 4, 2.0}};
    QTest::newRow("rutile from three generators")
        << QByteArray("data_ru\n_cell_length_a 4.5937\n_cell_length_b 4.5937\n"
                      "_cell_length_c 2.9587\nloop_\n_space_group_symop_operation_xyz\n"
                      "'-y+1/2,x+1/2,z+1/2'\n'-x+1/2,y+1/2,-z+1/2'\n'-x,-y,-z'\n") +
               siteLoop + "Ti1 0 0 0\nO1 0.30478 0.30478 0\n"
        << QStringList()
        << QVector<Shell>{
               {"O", 4, std::sqrt(2 * std::pow((0.5 - x_ru) * a_ru, 2) + std::pow(c_ru / 2, 2))},
               {"O", 2, r2 * x_ru * a_ru},
               {"Ti", 2, c_ru}};
}

void TestAtoms::shells()
{
    QFETCH(QByteArray, cif);
    QFETCH(QStringList, args);
    QFETCH(QVector<Shell>, expected);

    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("structure.cif"), cif));
    const Result r = runAtoms(args << "-c" << dir.filePath("structure.cif"));
    QVERIFY2(!r.crashed && r.exitCode == 0, r.err.constData());
    QVERIFY(r.err.isEmpty());
    const FeffText f = parseFeff(r.out);
    QVERIFY(!f.atoms.isEmpty());
    QCOMPARE(f.atoms[0].ipot, 0);
    QCOMPARE(f.atoms[0].distance, 0.0);

    const QVector<Shell> found = shellsOf(f);
    const QString message = "found " + describe(found, expected.size());
    QVERIFY2(found.size() >= expected.size(), qPrintable(message));
    for (int i = 0; i < expected.size(); ++i) {
        QVERIFY2(found[i].element == expected[i].element && found[i].count == expected[i].count &&
                     std::abs(found[i].distance - expected[i].distance) < 2e-4,
                 qPrintable(QStringLiteral("shell %1: expected %2, %3")
                                .arg(i + 1)
                                .arg(describe({expected[i]}, 1), message)));
    }
    // Every listed atom: coordinates match its distance, one absorber, and
    // every potential but the absorber's is used.
    QSet<int> used;
    for (int i = 0; i < f.atoms.size(); ++i) {
        const Atom &a = f.atoms[i];
        QVERIFY(std::abs(std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z) - a.distance) < 2e-5);
        QVERIFY(i == 0 || a.ipot != 0);
        QVERIFY(i == 0 || a.distance >= f.atoms[i - 1].distance - 1e-5);
        used.insert(a.ipot);
    }
    QCOMPARE(used, QSet<int>(f.potentials.keyBegin(), f.potentials.keyEnd()));
}

void TestAtoms::originChoice_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("position");
    QTest::addColumn<QString>("setting");

    QTest::newRow("\" Z\" suffix") << "F d -3 m Z"
                                   << "0.125 0.125 0.125"
                                   << "origin choice 2";
    QTest::newRow("\":2\" suffix") << "F d -3 m:2"
                                   << "0.125 0.125 0.125"
                                   << "origin choice 2";
    QTest::newRow("\" :2\" and no blanks") << "Fd-3m :2"
                                           << "0.125 0.125 0.125"
                                           << "origin choice 2";
    QTest::newRow("\" S\" suffix") << "F d -3 m S"
                                   << "0 0 0"
                                   << "origin choice 1";
    QTest::newRow("\":1\" suffix") << "F d -3 m:1"
                                   << "0 0 0"
                                   << "origin choice 1";
    QTest::newRow("no suffix") << "F d -3 m"
                               << "0 0 0"
                               << "origin choice 1";
    QTest::newRow("\"S\" for origin 1 with the atom of origin 2") << "F d -3 m S"
                                                                  << "0.125 0.125 0.125"
                                                                  << "wrong";
}

void TestAtoms::originChoice()
{
    QFETCH(QString, name);
    QFETCH(QString, position);
    QFETCH(QString, setting);

    QTemporaryDir dir;
    const QString cif = dir.filePath("si.cif");
    QVERIFY(writeFile(cif, QStringLiteral("data_si\n_cell_length_a 5.4309\n_cell_length_b 5.4309\n"
                                          "_cell_length_c 5.4309\n"
                                          "_symmetry_space_group_name_H-M '%1'\n"
                                          "loop_\n_atom_site_label\n_atom_site_fract_x\n"
                                          "_atom_site_fract_y\n_atom_site_fract_z\nSi1 %2\n")
                               .arg(name, position)
                               .toLatin1()));
    const Result r = runAtoms({"-c", cif});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const QVector<Shell> found = shellsOf(parseFeff(r.out));
    QVERIFY(!found.isEmpty());
    const bool diamond =
        found[0].count == 4 && std::abs(found[0].distance - a_si * std::sqrt(3.0) / 4) < 2e-4;
    QCOMPARE(diamond, setting != "wrong");
    if (diamond)
        QVERIFY2(r.out.contains(setting.toLatin1()), r.out.left(600).constData());
}

void TestAtoms::feffRuns_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("args");

    for (const QString &file : QDir(ATOMS_DATA).entryList({"*.cif"}, QDir::Files, QDir::Name))
        QTest::newRow(qPrintable(file)) << file << QStringList();
    QTest::newRow("NaCl, Cl absorbing") << "nacl.cif" << QStringList{"--core", "Cl1"};
    QTest::newRow("ZnO, O absorbing") << "zno-wurtzite.cif" << QStringList{"--core", "O1"};
    QTest::newRow("brucite with hydrogen") << "mgoh2-brucite.cif" << QStringList{"--hydrogen"};
}

// As a job does it: output and errors merged, the text from the first
// " * This" on written as feff.inp, FEFF run in the same directory.
void TestAtoms::feffRuns()
{
    QFETCH(QString, file);
    QFETCH(QStringList, args);
    if (!QFile::exists(FEFF6_EXE))
        QSKIP("FEFF 6 is not installed at " FEFF6_EXE);

    QTemporaryDir job;
    QProcess atoms;
    atoms.setWorkingDirectory(job.path());
    atoms.setProcessChannelMode(QProcess::MergedChannels);
    atoms.start(ATOMS_EXE, args << "-c" << QFileInfo(dataFile(file)).canonicalFilePath());
    QVERIFY(atoms.waitForFinished(30000));
    const QByteArray console = atoms.readAll();
    const int start = console.indexOf(" * This");
    QVERIFY2(start == 0, console.left(300).constData());
    QVERIFY(writeFile(job.filePath("feff.inp"), console.mid(start)));

    QProcess feff;
    feff.setWorkingDirectory(job.path());
    feff.start(FEFF6_EXE, QStringList());
    QVERIFY(feff.waitForFinished(60000));
    const QByteArray log = feff.readAll();
    // FEFF pads some header lines of chi.dat with NUL bytes.
    const QStringList chi =
        QString::fromLatin1(readFile(job.filePath("chi.dat")).replace('\0', ' ')).split('\n');
    const int header = chi.indexOf(QRegularExpression("^#?\\s*k\\s+chi\\s+mag\\s+phase.*"));
    QVERIFY2(header >= 0, log.right(400).constData());
    int rows = 0;
    for (int i = header + 1; i < chi.size(); ++i)
        rows += chi[i].simplified().split(' ').size() >= 4 ? 1 : 0;
    QVERIFY2(rows > 100, qPrintable(QString::number(rows)));
}

void TestAtoms::holeAndRmax_data()
{
    QTest::addColumn<QString>("cation");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("hole");
    QTest::addColumn<QString>("rmax");

    QTest::newRow("Na: K edge") << "Na" << QStringList() << "1"
                                << "5.0";
    QTest::newRow("La (Z 57): still K") << "La" << QStringList() << "1"
                                        << "5.0";
    QTest::newRow("Ce (Z 58): L3") << "Ce" << QStringList() << "4"
                                   << "5.0";
    QTest::newRow("Ce with --edge K") << "Ce" << QStringList{"--edge", "K"} << "1"
                                      << "5.0";
    QTest::newRow("Na with --edge L1") << "Na" << QStringList{"--edge", "L1"} << "2"
                                       << "5.0";
    QTest::newRow("Na with --edge=l2") << "Na" << QStringList{"--edge=l2"} << "3"
                                       << "5.0";
    QTest::newRow("--feff-rmax 6.25") << "Na" << QStringList{"--feff-rmax", "6.25"} << "1"
                                      << "6.25";
}

void TestAtoms::holeAndRmax()
{
    QFETCH(QString, cation);
    QFETCH(QStringList, args);
    QFETCH(QString, hole);
    QFETCH(QString, rmax);

    QTemporaryDir dir;
    const QString cif = dir.filePath("rocksalt.cif");
    QByteArray text = readFile(dataFile("nacl.cif"));
    text.replace("Na1+", cation.toLatin1());
    QVERIFY(writeFile(cif, text));
    const Result r = runAtoms(args << "-c" << cif);
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const FeffText f = parseFeff(r.out);
    auto card = [&f](const QString &name) {
        const QStringList found = f.lines.filter(QRegularExpression("^ " + name + "\\s"));
        return found.isEmpty() ? QStringList() : found[0].simplified().split(' ');
    };
    QCOMPARE(card("HOLE").mid(0, 3), (QStringList{"HOLE", hole, "1.0"}));
    QCOMPARE(card("RMAX").value(1).toDouble(), rmax.toDouble());
    QCOMPARE(card("CONTROL"), (QStringList{"CONTROL", "1", "1", "1", "1"}));
    QCOMPARE(card("PRINT"), (QStringList{"PRINT", "1", "0", "0", "0"}));
    QCOMPARE(card("NLEG"), (QStringList{"NLEG", "4"}));
    QVERIFY(f.lines[0].startsWith(" * This feff.inp file was generated by"));
    QCOMPARE(f.potentials.value(0).second, cation);
}

void TestAtoms::potentials_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("expected"); // ipot:Z, in order
    QTest::addColumn<QString>("sharing");  // tag:ipot of atoms on a shared potential

    QTest::newRow("Cu: absorber and the other Cu") << "cu-fcc.cif" << QStringList() << "0:29 1:29"
                                                   << "";
    QTest::newRow("minority Fe absorbing: no second Fe potential")
        << "mgfeo-mixed.cif" << QStringList{"--core", "Fe1"} << "0:26 1:8 2:12"
        << "";
    QTest::newRow("SrTiO3 Ti: nearest element first")
        << "srtio3.cif" << QStringList{"--core", "Ti1"} << "0:22 1:8 2:38 3:22"
        << "";
    QTest::newRow("nine elements around Fe: two merged")
        << "ten-elements.cif" << QStringList() << "0:26 1:8 2:16 3:17 4:11 5:12 6:13 7:14"
        << "P1:7 K1:3";
    QTest::newRow("small radius keeps only the first two elements")
        << "ten-elements.cif" << QStringList{"--rmax", "2.3"} << "0:26 1:8 2:16"
        << "";
}

void TestAtoms::potentials()
{
    QFETCH(QString, file);
    QFETCH(QStringList, args);
    QFETCH(QString, expected);
    QFETCH(QString, sharing);

    const Result r = runAtoms(args << "-c" << dataFile(file));
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const FeffText f = parseFeff(r.out);
    QStringList found;
    for (auto it = f.potentials.begin(); it != f.potentials.end(); ++it)
        found << QStringLiteral("%1:%2").arg(it.key()).arg(it.value().first);
    QCOMPARE(found.join(' '), expected);
    for (const QString &pair : sharing.split(' ', Qt::SkipEmptyParts)) {
        const QString tag = pair.section(':', 0, 0);
        bool seen = false;
        for (const Atom &a : f.atoms) {
            if (a.tag == tag) {
                QCOMPARE(a.ipot, pair.section(':', 1).toInt());
                seen = true;
            }
        }
        QVERIFY2(seen, qPrintable(tag));
        QVERIFY(noteLines(f).contains(tag.left(tag.size() - 1) + " shares potential"));
    }
}

void TestAtoms::largeClusterCutAtShell()
{
    // Counted from the fcc lattice by data/shells.py: 627 atoms within 12 A,
    // 459 up to and including the shell at 10.8447 A, 513 with the next.
    const Result r = runAtoms({"--rmax", "12", "-c", dataFile("cu-fcc.cif")});
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const FeffText f = parseFeff(r.out);
    QCOMPARE(f.atoms.size(), 459);
    QVERIFY(std::abs(f.atoms.last().distance - 10.8447) < 2e-4);
    QVERIFY2(noteLines(f).contains("627 atoms") && noteLines(f).contains("cut to 459"),
             qPrintable(noteLines(f)));
}

void TestAtoms::notes_data()
{
    QTest::addColumn<QByteArray>("cif");
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QStringList>("notes");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("tagged"); // atoms with that tag, -1: not checked

    const QByteArray cell = "data_x\n_cell_length_a 4\n_cell_length_b 4\n_cell_length_c 4\n";
    const QString anglesNote =
        "cell angle_alpha, angle_beta, angle_gamma not given: 90 degrees taken";
    QTest::newRow("mixed site, majority placed")
        << readFile(dataFile("mgfeo-mixed.cif")) << QStringList()
        << QStringList{"shared site: Mg1 0.6 Fe1 0.4; Mg1 placed (majority)"} << "Fe1" << 0;
    QTest::newRow("minority absorber")
        << readFile(dataFile("mgfeo-mixed.cif")) << QStringList{"--core", "Fe1"}
        << QStringList{"shared site: Mg1 0.6 Fe1 0.4; Mg1 placed (majority)",
                       "the absorber Fe1 is the minority on its site; the equivalent positions "
                       "carry the majority element"}
        << "Fe1" << 1;
    QTest::newRow("hydrogen left out")
        << readFile(dataFile("mgoh2-brucite.cif")) << QStringList()
        << QStringList{"1 hydrogen site(s) left out (--hydrogen keeps them)"} << "H1" << 0;
    QTest::newRow("no notes for a plain structure")
        << readFile(dataFile("nacl.cif")) << QStringList() << QStringList() << "Na1" << -1;
    QTest::newRow("odd rows and items")
        << QByteArray("data_x\n_cell_length_a 5.6402\n_cell_length_b 5.6402\n"
                      "_cell_length_c 5.6402\n_symmetry_space_group_name_Hall 'nonsense'\n"
                      "_symmetry_space_group_name_H-M 'F m -3 m'\nloop_\n_atom_site_label\n"
                      "_atom_site_type_symbol\n_atom_site_fract_x\n_atom_site_fract_y\n"
                      "_atom_site_fract_z\n_atom_site_occupancy\n_atom_site_calc_flag\n"
                      "Na1 Na+ 0 0 0 1 .\nCl1 Cl- 0.5 0.5 0.5 0.9(1) d\nQ1 ? 0.25 0.25 0.25 1 dum\n"
                      "O1 O ? ? ? 1 .\nVa1 Na 0.25 0.25 0.75 0 .\n")
        << QStringList()
        << QStringList{anglesNote,
                       "Hall symbol 'nonsense' not understood; trying the next symmetry item",
                       "site Cl1 has occupancy 0.9, taken as fully occupied",
                       "dummy site Q1 left out",
                       "site O1 has no position and is left out",
                       "site Va1 has occupancy 0 and is left out"}
        << "Q1" << 0;
    QTest::newRow("no symmetry items")
        << cell + "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n"
                  "_atom_site_fract_z\nFe1 0 0 0\n"
        << QStringList{"--rmax", "4.5"}
        << QStringList{"no symmetry items in the file: space group P 1 assumed", anglesNote,
                       "the cluster reaches only 4.0000 A, less than RMAX"}
        << "Fe1" << 7; // the absorber and its six neighbours at 4 A
    QTest::newRow("atom split around a special position")
        << cell + "_space_group_IT_number 221\nloop_\n_atom_site_label\n_atom_site_fract_x\n"
                  "_atom_site_fract_y\n_atom_site_fract_z\n_atom_site_occupancy\n"
                  "Fe1 0.03 0 0 0.1667\n"
        << QStringList{"--rmax", "4.5"}
        << QStringList{"site Fe1 has occupancy 0.167, taken as fully occupied",
                       "site Fe1: symmetry images up to 0.24 A apart taken as one atom "
                       "(disordered site)",
                       anglesNote, "the cluster reaches only 4.0000 A, less than RMAX"}
        << "Fe1" << 7;
}

void TestAtoms::notes()
{
    QFETCH(QByteArray, cif);
    QFETCH(QStringList, args);
    QFETCH(QStringList, notes);
    QFETCH(QString, tag);
    QFETCH(int, tagged);

    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("structure.cif"), cif));
    const Result r = runAtoms(args << "-c" << dir.filePath("structure.cif"));
    QVERIFY2(r.exitCode == 0, r.err.constData());
    const FeffText f = parseFeff(r.out);
    QStringList expected;
    for (const QString &note : notes)
        expected << " * note: " + note;
    QStringList found = noteLines(f).split('\n', Qt::SkipEmptyParts);
    found.sort();
    expected.sort();
    QCOMPARE(found, expected);
    int count = 0;
    for (const Atom &a : f.atoms)
        count += a.tag == tag ? 1 : 0;
    if (tagged >= 0)
        QCOMPARE(count, tagged);
}

void TestAtoms::awkwardFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents");

    const QByteArray cu = readFile(dataFile("cu-fcc.cif"));
    QByteArray crlf = cu, cr = cu, latin = cu, utf8 = cu;
    crlf.replace("\n", "\r\n");
    cr.replace("\n", "\r");
    latin.replace("'Copper'", "\n;\nKupfer, gr\xfcn angelaufen\n;");
    utf8.replace("'Copper'", "'Kupfer \xc3\xb6 \xe6\x97\xa5\xe6\x9c\xac'");
    QTest::newRow("CRLF line ends") << "cu.cif" << crlf;
    QTest::newRow("CR line ends") << "cu.cif" << cr;
    QTest::newRow("UTF-8 byte-order mark") << "cu.cif" << QByteArray("\xef\xbb\xbf") + cu;
    QTest::newRow("Latin-1 text field") << "cu.cif" << latin;
    QTest::newRow("UTF-8 title") << "cu.cif" << utf8;
    QTest::newRow("blanks and non-ASCII letters in the path")
        << QStringLiteral("Kupfer \u00f6 \u65e5\u672c x.cif") << utf8;
}

void TestAtoms::awkwardFiles()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);

    QTemporaryDir dir;
    const QString cif = dir.filePath(name);
    QVERIFY(writeFile(cif, contents));
    const Result r = runAtoms({"-c", cif}, dir.path());
    QVERIFY2(r.exitCode == 0, r.err.constData());
    for (char ch : r.out)
        QVERIFY2(static_cast<unsigned char>(ch) < 0x80, "non-ASCII byte in the FEFF input");
    const QVector<Shell> found = shellsOf(parseFeff(r.out));
    QVERIFY(!found.isEmpty());
    QCOMPARE(found[0].count, 12);
    QVERIFY(std::abs(found[0].distance - a_cu / std::sqrt(2.0)) < 2e-4);
}

void TestAtoms::badInput_data()
{
    QTest::addColumn<QByteArray>("contents"); // null: no file at all
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");

    const QByteArray cell = "data_x\n_cell_length_a 4\n_cell_length_b 4\n_cell_length_c 4\n";
    const QByteArray sites = "loop_\n_atom_site_label\n_atom_site_fract_x\n_atom_site_fract_y\n"
                             "_atom_site_fract_z\n";
    QTest::newRow("missing file") << QByteArray() << QStringList() << "cannot open the file";
    QTest::newRow("empty file") << QByteArray("") << QStringList() << "the file is empty";
    QTest::newRow("blank lines only")
        << QByteArray("\n \r\n\t\n") << QStringList() << "the file is empty";
    QTest::newRow("FEFF input instead of a CIF")
        << QByteArray(" TITLE Cu\n HOLE 1 1.0\n ATOMS\n 0 0 0 0\n END\n") << QStringList()
        << "not a CIF file";
    QTest::newRow("binary data") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) << QStringList()
                                 << "binary data";
    QTest::newRow("unterminated text field") << cell + ";\nnever closed\n"
                                             << QStringList() << "broken CIF syntax";
    QTest::newRow("no atom sites") << cell + "_symmetry_space_group_name_H-M 'P 1'\n"
                                   << QStringList() << "no atom sites";
    QTest::newRow("no site with a position")
        << cell + sites + "Fe1 ? ? ?\n"
        << QStringList() << "no atom site with a known position";
    QTest::newRow("no cell") << QByteArray("data_x\n") + sites + "Fe1 0 0 0\n"
                             << QStringList() << "no cell: _cell_length_a is missing";
    QTest::newRow("cell without volume")
        << cell + "_cell_angle_alpha 120\n_cell_angle_beta 120\n_cell_angle_gamma 120\n" + sites +
               "Fe1 0 0 0\n"
        << QStringList() << "span no volume";
    QTest::newRow("cell length not a number")
        << QByteArray(cell).replace("_cell_length_b 4", "_cell_length_b four") + sites +
               "Fe1 0 0 0\n"
        << QStringList() << "_cell_length_b 'four' is not a number";
    QTest::newRow("unknown space group")
        << cell + "_symmetry_space_group_name_H-M 'Q 7 7'\n" + sites + "Fe1 0 0 0\n"
        << QStringList() << "space-group name 'Q 7 7' not known";
    QTest::newRow("bad symmetry operation, nothing else")
        << cell + "loop_\n_symmetry_equiv_pos_as_xyz\n'x,y,z'\n'x,y'\n" + sites + "Fe1 0 0 0\n"
        << QStringList() << "symmetry operation 'x,y' not understood";
    QTest::newRow("unknown element") << cell + sites + "Qq1 0 0 0\n"
                                     << QStringList() << "site Qq1: no element";
    QTest::newRow("coordinate not a number") << cell + sites + "Fe1 0 0 1/3\n"
                                             << QStringList() << "coordinate '1/3' is not a number";
    QTest::newRow("only Cartesian coordinates")
        << cell + "loop_\n_atom_site_label\n_atom_site_Cartn_x\n_atom_site_Cartn_y\n"
                  "_atom_site_Cartn_z\nFe1 0 0 0\n"
        << QStringList() << "only Cartesian coordinates";
    QTest::newRow("absorber not in the structure")
        << cell + sites + "Fe1 0 0 0\n"
        << QStringList{"--core", "Cu"} << "no site or element 'Cu' for the absorber (sites: Fe1)";
    QTest::newRow("block not in the file")
        << cell + sites + "Fe1 0 0 0\n"
        << QStringList{"--block", "y"} << "no data block named 'y' (the file has: x)";
    QTest::newRow("nothing within the radius")
        << cell + sites + "Fe1 0 0 0\n"
        << QStringList{"--rmax", "3"} << "no atom within 3.000 A of the absorber";
    QTest::newRow("too many elements without merging")
        << readFile(dataFile("ten-elements.cif")) << QStringList{"--no-merge"}
        << "FEFF 6 accepts 7 unique potentials";
    QTest::newRow("only hydrogen") << cell + sites + "H1 0 0 0\n"
                                   << QStringList() << "only hydrogen";
}

void TestAtoms::badInput()
{
    QFETCH(QByteArray, contents);
    QFETCH(QStringList, args);
    QFETCH(QString, message);

    QTemporaryDir dir;
    const QString cif = dir.filePath("bad * This.cif");
    if (!contents.isNull())
        QVERIFY(writeFile(cif, contents));
    const Result r = runAtoms(args << "-c" << cif, dir.path());
    QVERIFY(!r.crashed);
    QCOMPARE(r.exitCode, 1);
    QCOMPARE(r.out, QByteArray());
    const QString err = QString::fromUtf8(r.err);
    QCOMPARE(err.count('\n'), 1);
    QVERIFY2(err.startsWith("scatterdeck-atoms: " + dir.filePath("bad *_This.cif: ")),
             qPrintable(err));
    QVERIFY2(err.contains(message), qPrintable(err));
    QVERIFY(!err.contains(" * This"));
}

void TestAtoms::badOptions_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");

    const QString cif = dataFile("cu-fcc.cif");
    QTest::newRow("no file") << QStringList() << "no CIF file given";
    QTest::newRow("-c without a file") << QStringList{"-c"} << "-c needs a value";
    QTest::newRow("two files") << QStringList{cif, "-c", cif} << "more than one CIF file";
    QTest::newRow("unknown option") << QStringList{"--rmin", "2", cif} << "unknown option '--rmin'";
    QTest::newRow("negative radius")
        << QStringList{"--rmax", "-1", cif} << "--rmax needs a distance";
    QTest::newRow("radius not a number") << QStringList{"--rmax=8A", cif} << "not '8A'";
    QTest::newRow("huge radius") << QStringList{"--rmax", "1e6", cif} << "at most 50";
    QTest::newRow("zero FEFF rmax") << QStringList{"--feff-rmax", "0", cif} << "--feff-rmax needs";
    QTest::newRow("unknown edge") << QStringList{"--edge", "M5", cif} << "K, L1, L2 or L3";
    QTest::newRow("value on a switch") << QStringList{"--hydrogen=yes", cif} << "takes no value";
}

void TestAtoms::badOptions()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);

    const Result r = runAtoms(args);
    QVERIFY(!r.crashed);
    QCOMPARE(r.exitCode, 2);
    QCOMPARE(r.out, QByteArray());
    QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
}

void TestAtoms::helpListsOptions()
{
    const Result r = runAtoms({"--help"});
    QCOMPARE(r.exitCode, 0);
    for (const char *option : {"-c, --cif FILE", "--block NAME", "--core SITE", "--edge EDGE",
                               "--rmax R", "--feff-rmax R", "--hydrogen", "--no-merge", "--help"})
        QVERIFY2(r.out.contains(option), option);
    QVERIFY(!r.out.contains(" * This"));
}

QTEST_GUILESS_MAIN(TestAtoms)
#include "tst_atoms.moc"
